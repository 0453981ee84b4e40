#include "pipeline/SourceKind.h"

#include "pipeline/CaptureScr.h"

namespace {

void StopForTarget(CCaptureScr& sink, int32_t current, int32_t target, const std::function<void()>& stopScreenFully)
{
    if (current == target)
        return;
    switch (current) {
    case SOURCE_CAMERA:
        sink.StopCameraCapture();
        break;
    case SOURCE_PICTURE:
        sink.StopPicture();
        break;
    case SOURCE_MEDIA:
        sink.StopMovie(1);
        break;
    case SOURCE_SCREEN:
        if (target == SOURCE_CAMERA && stopScreenFully)
            stopScreenFully();
        else
            sink.StopScreenCapture();
        break;
    default:
        break;
    }
}

}  // namespace

void SwitchSource(CCaptureScr& sink, int32_t target, const std::function<void()>& stopScreenFully)
{
    const int32_t previous = sink.SourceKind();
    StopForTarget(sink, previous, target, stopScreenFully);
    if (previous != target) {
        if (target == SOURCE_CAMERA)
            sink.StartCameraCapture();
        else if (target == SOURCE_PICTURE)
            sink.RestartPicture();
    }
    sink.SetSourceKind(target);
}

bool SwitchToPictureFile(CCaptureScr& sink, const std::string& path)
{
    StopForTarget(sink, sink.SourceKind(), SOURCE_PICTURE, {});
    const bool shown = path != sink.PicturePath() && sink.ShowPicture(path);
    sink.SetSourceKind(SOURCE_PICTURE);
    return shown;
}
