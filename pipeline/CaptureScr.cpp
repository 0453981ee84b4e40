#include "pipeline/CaptureScr.h"

#include "settings/LinkIni.h"
#include "settings/Settings.h"
#include "settings/SharedValue.h"
#include "settings/WindowMessages.h"
#include "fileio/ProgramFolder.h"
#include "effects/SavedEffectChoice.h"
#include "fileio/TextEncoding.h"
#include "pipeline/ColorAdjust.h"
#include "pipeline/DeviceChoice.h"
#include "pipeline/PhotoSnapshot.h"
#include "pipeline/SourceKind.h"
#include "pipeline/TickCount.h"

#include <QThread>

#include <cstring>
#include <filesystem>

std::atomic<uint32_t> LastFrameTick{0};
std::string CurrentMediaPath;

namespace {

// Device names reach the camera library in a buffer of this many bytes, terminator included.
constexpr size_t kDeviceNameBuffer = 40;
static_assert(CNormalCameraHelper::kNameBytes < kDeviceNameBuffer, "listed device names pass whole");
// The mixer's speakers line and its volume control.
constexpr int kSpeakersLine = 4;
constexpr uint32_t kVolumeControlType = 0x50030001;

}  // namespace

CCaptureScr::CCaptureScr(IVideoDeviceAccess& cameraAccess)
    : camera_(cameraAccess), soundPlayer_([this](const std::string& path) { effects_.Karaoke().PlaySound(path); })
{
    QObject::connect(&pictureTimer_, &QTimer::timeout, [this] { OnPictureTimer(); });
    QObject::connect(&movieTimer_, &QTimer::timeout, [this] { OnMovieTimer(); });
}

CCaptureScr::~CCaptureScr()
{
    pictureTimer_.stop();
    movieTimer_.stop();
    StopPicture();
    if (sourceKind_ == SOURCE_MEDIA)
        StopMovie(0);
    StopScreenCapture();
    camera_.StopCapture();
}

void CCaptureScr::StartCamera()
{
    deviceList_ = camera_.getDeviceList(0);
    if (deviceList_) {
        if (const auto* device = ChooseStartupDevice(deviceList_, SplitExcludedNames(ExcludeDevices)))
            camera_.Connect(0, device->name, this);
    }
    resolutionList_ = camera_.getDeviceResolutionList();
    writer_.InitDevice();
    StartCameraCapture();
    shutterSoundPath_ = ProgramFile("Sound") + "/photo.wav";
}

void CCaptureScr::Shutdown()
{
    camera_.StopCapture();
    writer_.UninitDevice();
}

void CCaptureScr::StartCameraCapture()
{
    CaptureMode = CAPTURE_PROCESS;
    camera_.StartCapture();
}

void CCaptureScr::StopCameraCapture()
{
    CaptureMode = CAPTURE_IGNORE;
    camera_.StopCapture();
}

int CCaptureScr::ConnectCamera(const std::string& deviceName)
{
    char name[kDeviceNameBuffer] = {};
    const std::string cut = CutToUtf8Bytes(deviceName, kDeviceNameBuffer - 1);
    std::memcpy(name, cut.data(), cut.size());
    return camera_.Connect(0, name, this);
}

_DEVIECEFORMAT_LIST* CCaptureScr::RefreshDeviceLists()
{
    deviceList_ = camera_.getDeviceList(1);
    resolutionList_ = camera_.getDeviceResolutionList();
    return resolutionList_;
}

bool CCaptureScr::IsFrameDue()
{
    const uint32_t now = GetTickCount();
    if (FrameInterval.load() * 10u > now - LastFrameTick.load())
        return false;
    LastFrameTick = now;
    return true;
}

void CCaptureScr::ProcessFrame(uint8_t* frame)
{
    effects_.RunChain(frame);
    auto& colour = Settings.AdjustColor;
    if (!LoadShared(colour.Forbid))
        AdjustColor(frame, zendracam::kFrameWidth, zendracam::kFrameHeight, BrightnessOffset(LoadShared(colour.Bright)),
                    LoadShared(colour.Contrast), LoadShared(colour.Red), LoadShared(colour.Green),
                    LoadShared(colour.Blue));
    // One photo per request, whichever frame path serves it first.
    if (PhotoRequested.exchange(false))
        TakePhoto(frame);
}

void CCaptureScr::TakePhoto(const uint8_t* frame)
{
    // The shutter player and the file's flush belong to the user-interface thread; a camera frame hands
    // a copy over.
    if (QThread::currentThread() == uiContext_.thread()) {
        SavePhotoAndReport(frame);
        return;
    }
    auto copy = std::make_shared<std::vector<uint8_t>>(frame, frame + zendracam::kFrameBytes);
    QMetaObject::invokeMethod(&uiContext_, [this, copy] { SavePhotoAndReport(copy->data()); }, Qt::QueuedConnection);
}

void CCaptureScr::SavePhotoAndReport(const uint8_t* frame)
{
    PlaySoundFile(shutterSoundPath_);
    SavePhoto(frame, zendracam::kFrameWidth, zendracam::kFrameHeight);
    PostWindowMessage(leftPane_, WM_PHOTO_TAKEN, 0, 0, LastPhotoPath);
}

int CCaptureScr::WriteFrame(const uint8_t* frame, size_t length)
{
    const int result = writer_.SetOrgBmp24Data(frame, length);
    if (frameTap_)
        frameTap_(frame, length);
    return result;
}

int CCaptureScr::OnVideoFrame(uint8_t* frame, size_t length)
{
    const int32_t mode = CaptureMode;
    if (mode == CAPTURE_PASS_THROUGH)
        return WriteFrame(frame, length);
    if (mode != CAPTURE_PROCESS || !frame || length < zendracam::kFrameBytes)
        return 0;
    if (!IsFrameDue())
        return 0;
    ProcessFrame(frame);
    return WriteFrame(frame, length);
}

void CCaptureScr::OnScreenFrame(uint8_t* frame, size_t length)
{
    if (!frame || length < zendracam::kFrameBytes)
        return;
    ProcessFrame(frame);
    WriteFrame(frame, length);
}

void CCaptureScr::PlayMovie(const std::string& path)
{
    MoviePlaying = true;
    CaptureMode = CAPTURE_PASS_THROUGH;
    CurrentMediaPath = path;
    movie_.Connect(path.c_str());
    SendWindowMessage(leftPane_, WM_MOVIE_STARTED);
    movieTimer_.start(kSourceTimerMs);
}

void CCaptureScr::StopMovie(int reason)
{
    if (!MoviePlaying)
        return;
    CaptureMode = CAPTURE_IGNORE;
    MoviePlaying = false;
    movie_.Stop();
    SendWindowMessage(leftPane_, WM_MOVIE_STOPPED, uintptr_t(reason));
    movieTimer_.stop();
}

void CCaptureScr::PauseMovie()
{
    SendWindowMessage(leftPane_, WM_MOVIE_PAUSED);
    movie_.Pause();
}

void CCaptureScr::ResumeMovie()
{
    SendWindowMessage(leftPane_, WM_MOVIE_PLAYING);
    movie_.Play();
}

void CCaptureScr::OnMovieTimer()
{
    if (!MoviePlaying)
        return;
    movie_.PrepareSampleData();
    uint8_t* frame = movie_.GetDataPointer();
    if (!frame)
        return;
    ProcessFrame(frame);
    WriteFrame(frame, zendracam::kFrameBytes);
}

void CCaptureScr::StartPictureSource(const std::string& path)
{
    picture_.SetPath(path);
    picture_.Load();
    StopPicture();
    pictureTimer_.start(kSourceTimerMs);
    PictureActive = true;
    picturePath_ = path;
}

bool CCaptureScr::ShowPicture(const std::string& path)
{
    picturePath_ = picture_.Path();
    if (picturePath_ == path)
        return false;
    StartPictureSource(path);
    return true;
}

bool CCaptureScr::RestartPicture()
{
    std::error_code error;
    if (picturePath_.empty() || !std::filesystem::is_regular_file(picturePath_, error))
        return false;
    StartPictureSource(picturePath_);
    return true;
}

bool CCaptureScr::StopPicture()
{
    if (!PictureActive)
        return false;
    PictureActive = false;
    pictureTimer_.stop();
    return true;
}

void CCaptureScr::OnPictureTimer()
{
    if (!PictureActive)
        return;
    std::memcpy(pictureCopy_.data(), picture_.Frame(), pictureCopy_.size());
    ProcessFrame(pictureCopy_.data());
    WriteFrame(pictureCopy_.data(), pictureCopy_.size());
}

void CCaptureScr::ApplySavedEffectChoice()
{
    ::ApplySavedEffectChoice(effects_, selected_);
}

void CCaptureScr::StoreEffectChoice() const
{
    ::StoreEffectChoice(selected_);
}

void CCaptureScr::OpenSpeakerControls(QObject* window)
{
    volume_.Open(window, kSpeakersLine, kVolumeControlType);
    mute_.Open(window, kSpeakersLine);
}

void CCaptureScr::CloseSpeakerControls()
{
    volume_.CloseMixer();
    mute_.CloseMixer();
}

void CCaptureScr::SetSpeakerVolume(int position)
{
    const uint32_t value = SliderToVolume(position);
    volume_.SetValue(value, value);
}

long CCaptureScr::SpeakerVolume()
{
    long left = -1, right = -1;
    volume_.GetValue(left, right);
    return left;
}

void CCaptureScr::PlaySoundFile(const std::string& path)
{
    if (soundPlayer_)
        soundPlayer_(path);
}
