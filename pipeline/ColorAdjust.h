#pragma once
// Brightness, contrast and per-channel colour correction of a frame, in place.
#include <cstdint>

// The brightness offset for a `Bright` setting: trunc((bright - 100) * 2.55), so 0 gives -254 and
// 200 gives 254.
int BrightnessOffset(int32_t bright);

// Walks width × height consecutive 3-byte pixels (blue, green, red). Each channel c with its offset d
// becomes clamp(trunc(clamp(c + d) × contrast / 100) + brightness + 127 - trunc(contrast × 127 / 100)).
// Returns 0 for a null frame, else 1.
int AdjustColor(uint8_t* frame, int width, int height, int brightness, int contrast, int red, int green,
                int blue);
