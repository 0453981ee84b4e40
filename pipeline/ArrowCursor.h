#pragma once
// The standard arrow pointer, drawn into grabbed pictures whatever shape the real pointer has.
#include <cstddef>
#include <cstdint>

inline constexpr int kArrowHotSpotX = 0;
inline constexpr int kArrowHotSpotY = 0;

// Draws the arrow with its top-left corner at (x, y), counted from the picture's top-left, into a
// 24-bit bottom-up picture of w × h; parts outside the picture are left out.
void DrawArrowCursor(uint8_t* picture, int w, int h, size_t stride, int x, int y);
