#include "pipeline/panels/ComboItems.h"

#include <QComboBox>
#include <QSignalBlocker>

void SetComboItems(QComboBox* combo, const std::vector<std::string>& items, int selected)
{
    if (!combo)
        return;
    const QSignalBlocker quiet(combo);
    combo->clear();
    for (const std::string& item : items)
        combo->addItem(QString::fromStdString(item));
    combo->setCurrentIndex(selected);
}
