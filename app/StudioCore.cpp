#include "app/StudioCore.h"

#include "pipeline/SourceKind.h"
#include "settings/Settings.h"
#include "settings/SettingsLifecycle.h"

CStudioCore::CStudioCore() : sink_(std::make_unique<CCaptureScr>())
{
}

CStudioCore::~CStudioCore()
{
    StopCapture();
    SaveSettings();
    if (CaptureSink == sink_.get())
        CaptureSink = nullptr;
}

void CStudioCore::Start(const std::function<void()>& buildWindows)
{
    started_ = true;
    CaptureSink = sink_.get();
    LoadSettingsFiles();
    sink_->StartCamera();
    sink_->SetSourceKind(SOURCE_CAMERA);
    sink_->ApplySavedEffectChoice();
    if (buildWindows)
        buildWindows();
    EnsureOutputFolders();
}

void CStudioCore::StopCapture()
{
    if (!started_ || captureStopped_)
        return;
    captureStopped_ = true;
    sink_->Shutdown();
}

void CStudioCore::SaveSettings()
{
    if (!started_ || saved_)
        return;
    saved_ = true;
    // The choice goes back into the record before it is written, so it is there at the next start.
    sink_->StoreEffectChoice();
    SaveSettingsAtExit();
    Settings.SubEffImgInfo.clear();
    Settings.ImgScrPath.clear();
}
