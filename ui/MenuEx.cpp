#include "ui/MenuEx.h"

QColor ColorFromRef(uint32_t colorRef)
{
    return QColor(int(colorRef & 0xFF), int((colorRef >> 8) & 0xFF), int((colorRef >> 16) & 0xFF));
}

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
