#pragma once
// The four frame sources and the switch between them.
#include <cstdint>
#include <functional>
#include <string>

class CCaptureScr;

enum SourceCode : int32_t {
    SOURCE_CAMERA = 0x10000,
    SOURCE_PICTURE = 0x20000,
    SOURCE_SCREEN = 0x40000,
    SOURCE_MEDIA = 0x80000,
};

// Stops the sink's current source as leaving it for `target` requires, starts the target where a
// switch starts it, and makes the target the sink's source. `stopScreenFully` is the screen panel's full
// stop, used when the screen source gives way to the camera; without one the grabber is stopped.
void SwitchSource(CCaptureScr& sink, int32_t target, const std::function<void()>& stopScreenFully = {});

// A picture chosen while any source runs: that source stops as for a switch to the picture, the
// picture is shown unless it already is, and the picture becomes the source. Returns ShowPicture's
// result.
bool SwitchToPictureFile(CCaptureScr& sink, const std::string& path);
