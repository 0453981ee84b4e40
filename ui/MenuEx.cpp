#include "ui/MenuEx.h"

CMenuEx::CMenuEx(QWidget* parent) : QMenu(parent) {}

void CMenuEx::SetColors(uint32_t background, uint32_t text, uint32_t separator, uint32_t hoverTop,
                        uint32_t hoverBottom, uint32_t hoverFrame)
{
    const auto name = [](uint32_t ref) { return ColorFromRef(ref).name(); };
    setStyleSheet(QString("QMenu { background: %1; color: %2; border: 1px solid %3; padding: 4px; }"
                          "QMenu::item { padding: 6px 28px 6px 22px; border: 1px solid transparent;"
                          " border-radius: 3px; }"
                          "QMenu::item:selected { color: #ffffff; border: 1px solid %6;"
                          " background: qlineargradient(x1:0, y1:0, x2:0, y2:1, stop:0 %4, stop:1 %5); }"
                          "QMenu::separator { height: 1px; background: %3; margin: 4px 8px; }")
                      .arg(name(background), name(text), name(separator), name(hoverTop), name(hoverBottom),
                           name(hoverFrame)));
}

void CMenuEx::SetProgramColors()
{
    SetColors(0xFFFFFF, 0x333333, 0x333333, 0xFFC2A6, 0xAA593E, 0xAB582E);
}

int ChooseFromMenu(QWidget* owner, const std::vector<MenuChoice>& choices, int checkedId, const QPoint& globalPos)
{
    CMenuEx menu(owner);
    menu.SetProgramColors();
    for (const MenuChoice& choice : choices) {
        QAction* action = menu.addAction(choice.text);
        action->setData(choice.id);
        action->setCheckable(true);
        action->setChecked(choice.id == checkedId);
    }
    const QAction* chosen = menu.exec(globalPos);
    return chosen ? chosen->data().toInt() : -1;
}
