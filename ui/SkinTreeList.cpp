#include "ui/SkinTreeList.h"

#include "ui/Skin.h"

#include <QEvent>
#include <QHeaderView>

#include <algorithm>

CSkinTreeList::CSkinTreeList(const SkinControl& control, QWidget* parent) : QTreeWidget(parent)
{
    setRootIsDecorated(false);
    setItemsExpandable(false);
    setUniformRowHeights(true);
    setAllColumnsShowFocus(true);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    header()->setStretchLastSection(false);
    header()->setSectionsMovable(false);
    SetColumns(control.items.isEmpty() ? QStringList{QString()} : control.items);
}

void CSkinTreeList::SetColumns(const QStringList& headers)
{
    setColumnCount(int(headers.size()));
    setHeaderLabels(headers);
    ApplyProportions();
}

void CSkinTreeList::SetColumnProportions(const std::vector<double>& proportions)
{
    proportions_ = proportions;
    ApplyProportions();
}

void CSkinTreeList::ApplyProportions()
{
    const int columns = columnCount();
    double given = 0;
    int unset = columns;
    for (int i = 0; i < columns && i < int(proportions_.size()); ++i) {
        given += proportions_[size_t(i)];
        --unset;
    }
    const double share = unset > 0 ? std::max(0.0, 1.0 - given) / unset : 0;
    const int width = viewport()->width();
    // Whole pixels, the last column taking the rounding so the columns fill the width exactly.
    int used = 0;
    for (int i = 0; i < columns; ++i) {
        const double fraction = i < int(proportions_.size()) ? proportions_[size_t(i)] : share;
        const int section = i == columns - 1 ? std::max(0, width - used) : int(width * fraction + 0.5);
        header()->resizeSection(i, section);
        used += section;
    }
}

int CSkinTreeList::AddRow(const QStringList& texts)
{
    addTopLevelItem(new QTreeWidgetItem(texts));
    return topLevelItemCount() - 1;
}

void CSkinTreeList::SetCellText(int row, int column, const QString& text)
{
    if (QTreeWidgetItem* item = topLevelItem(row); item && column >= 0 && column < columnCount())
        item->setText(column, text);
}

QString CSkinTreeList::CellText(int row, int column) const
{
    const QTreeWidgetItem* item = topLevelItem(row);
    return item ? item->text(column) : QString();
}

int CSkinTreeList::SelectedRow() const
{
    const QList<QTreeWidgetItem*> selected = selectedItems();
    return selected.isEmpty() ? -1 : indexOfTopLevelItem(selected.first());
}

void CSkinTreeList::SelectRow(int row)
{
    if (QTreeWidgetItem* item = topLevelItem(row))
        setCurrentItem(item);
    else
        clearSelection();
}

bool CSkinTreeList::viewportEvent(QEvent* event)
{
    if (event->type() == QEvent::Resize)
        ApplyProportions();
    return QTreeWidget::viewportEvent(event);
}
