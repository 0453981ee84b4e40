#include "pipeline/ArrowCursor.h"

#include <cstring>

namespace {

// 'X' outline (black), 'o' body (white), anything else transparent.
constexpr const char* kArrow[] = {
    "X",
    "XX",
    "XoX",
    "XooX",
    "XoooX",
    "XooooX",
    "XoooooX",
    "XooooooX",
    "XoooooooX",
    "XooooooooX",
    "XoooooooooX",
    "XooooooXXXXX",
    "XoooXooX",
    "XooXXooX",
    "XoX  XooX",
    "XX   XooX",
    "X     XooX",
    "      XooX",
    "       XX",
};

}  // namespace

void DrawArrowCursor(uint8_t* picture, int w, int h, size_t stride, int x, int y)
{
    const int rows = int(sizeof kArrow / sizeof kArrow[0]);
    for (int r = 0; r < rows; ++r) {
        const int py = y + r;
        if (py < 0 || py >= h)
            continue;
        uint8_t* row = picture + size_t(h - 1 - py) * stride;
        const int length = int(std::strlen(kArrow[r]));
        for (int c = 0; c < length; ++c) {
            const int px = x + c;
            const char shape = kArrow[r][c];
            if (px < 0 || px >= w || (shape != 'X' && shape != 'o'))
                continue;
            std::memset(row + 3 * size_t(px), shape == 'X' ? 0 : 255, 3);
        }
    }
}
