#pragma once
// The video frame every effect works on in place: 320×240, bytes B, G, R, bottom row first.
#include <cstddef>

constexpr int kFrameWidth = 320;
constexpr int kFrameHeight = 240;
constexpr int kFrameStride = 960;
constexpr size_t kFrameBytes = size_t(kFrameStride) * kFrameHeight;
