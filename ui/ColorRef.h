#pragma once
// Windows colour values as the settings and the menus keep them: 0x00BBGGRR, red in the lowest byte.
#include <QColor>

#include <cstdint>

QColor ColorFromRef(uint32_t colorRef);
// The inverse of ColorFromRef; the alpha channel is dropped.
uint32_t ColorToRef(const QColor& color);
