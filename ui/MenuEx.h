#pragma once
// The owner-drawn pop-up menu: white items with dark text, the hovered item on a blue gradient.
#include "ui/ColorRef.h"

#include <QMenu>

#include <cstdint>
#include <vector>

class CMenuEx : public QMenu {
    Q_OBJECT
public:
    explicit CMenuEx(QWidget* parent = nullptr);

    // Colours as 0x00BBGGRR values: item background, text, separator, the two ends of the hovered
    // item's gradient, and the hovered item's frame.
    void SetColors(uint32_t background, uint32_t text, uint32_t separator, uint32_t hoverTop,
                   uint32_t hoverBottom, uint32_t hoverFrame);
    // The colours every menu of the program uses (those of the tray menu).
    void SetProgramColors();
};

// One entry of a menu of choices.
struct MenuChoice {
    int id;
    QString text;
};

// Pops up a menu of `choices` in the program's colours at `globalPos`, the entry `checkedId` checked
// (none when no entry has it), and waits for the user. Returns the chosen entry's id, or -1 when the
// menu was dismissed.
int ChooseFromMenu(QWidget* owner, const std::vector<MenuChoice>& choices, int checkedId, const QPoint& globalPos);
