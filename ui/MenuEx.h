#pragma once
// The owner-drawn pop-up menu: white items with dark text, the hovered item on a blue gradient.
#include <QMenu>

#include <cstdint>

class CMenuEx : public QMenu {
    Q_OBJECT
public:
    explicit CMenuEx(QWidget* parent = nullptr);

    // Colours as 0x00BBGGRR values: item background, text, separator, the two ends of the hovered
    // item's gradient, and the hovered item's frame.
    void SetColors(uint32_t background, uint32_t text, uint32_t separator, uint32_t hoverTop,
                   uint32_t hoverBottom, uint32_t hoverFrame);
};

// A 0x00BBGGRR colour value as a Qt colour.
QColor ColorFromRef(uint32_t colorRef);
