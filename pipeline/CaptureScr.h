#pragma once
// The frame sink: owns every frame source, runs each frame through the effects chain, the colour
// adjustment and the photo step, and hands it to the virtual camera.
#include "effects/EffectChain.h"
#include "pipeline/ImageSource.h"
#include "pipeline/ScreenCapBase.h"
#include "zendracam/CameraTypes.h"
#include "zendracam/CameraWriterHelper.h"
#include "zendracam/MovieParseHelper.h"
#include "zendracam/NormalCameraHelper.h"

#include <QTimer>

#include <array>
#include <atomic>
#include <cstdint>
#include <functional>
#include <string>

class QObject;

// What OnVideoFrame does with a camera frame.
enum CaptureModeKind : int32_t { CAPTURE_PROCESS = 0, CAPTURE_PASS_THROUGH = 1, CAPTURE_IGNORE = -1 };

// Tick of the last camera frame let through, shared by every sink.
extern std::atomic<uint32_t> LastFrameTick;
// The media file PlayMovie started last.
extern std::string CurrentMediaPath;

class CCaptureScr : public IVideoCaptureNotify, public CScreenCapBase {
public:
    static constexpr int kSourceTimerMs = 75;

    // `sourceKind` is the owner's current source (SOURCE_*), read when the sink is destroyed.
    explicit CCaptureScr(const int32_t& sourceKind);
    virtual ~CCaptureScr();

    // Start-up: pick and connect a camera, set up the virtual camera, start capture.
    void StartCamera();
    void Shutdown();
    void StartCameraCapture();
    void StopCameraCapture();
    // The name is cut to 39 bytes on a character boundary. Returns the library's result.
    int ConnectCamera(const std::string& deviceName);
    _DEVIECEFORMAT_LIST* RefreshDeviceLists();
    _DEVIECENAME_LIST* DeviceList() const { return deviceList_; }
    _DEVIECEFORMAT_LIST* ResolutionList() const { return resolutionList_; }

    // Minimum gap between two camera frames, in units of 10 ms.
    void SetFrameInterval(uint32_t tens) { FrameInterval = tens; }
    bool IsFrameDue();

    int OnVideoFrame(uint8_t* frame, size_t length) override;
    void OnScreenFrame(uint8_t* frame, size_t length) override;

    void PlayMovie(const std::string& path);
    void StopMovie(int reason);
    void PauseMovie();
    void ResumeMovie();
    long GetMovieAllTime() { return movie_.GetMovieAllTime(); }
    long GetMovieCurrentTime() { return movie_.GetMovieCurrentTime(); }
    double GetMoviePos() { return movie_.GetCurrentPos(); }
    void SetMoviePos(double fraction) { movie_.SetCurrentPos(fraction); }
    bool IsMovieOpen() const { return movie_.IsConnected(); }

    bool ShowPicture(const std::string& path);
    bool RestartPicture();
    bool StopPicture();
    std::string PicturePath() const { return picture_.Path(); }
    const CImageSource& Picture() const { return picture_; }

    // The shutter sound and other sounds go to whoever plays sounds for the studio.
    void PlaySoundFile(const std::string& path);
    void SetSoundPlayer(std::function<void(const std::string&)> player) { soundPlayer_ = std::move(player); }
    const std::string& ShutterSoundPath() const { return shutterSoundPath_; }

    // The left pane receives the movie and photo notifications; null for none.
    void SetLeftPane(QObject* pane) { leftPane_ = pane; }

    // Sees every frame written to the virtual camera, on the thread that wrote it.
    void SetFrameTap(std::function<void(const uint8_t*, size_t)> tap) { frameTap_ = std::move(tap); }

    CEffectChain& Effects() { return effects_; }

    // The steps every frame takes before it is written: effects, colour adjustment, photo.
    void ProcessFrame(uint8_t* frame);

    std::atomic<bool> MoviePlaying{false};
    std::atomic<uint32_t> FrameInterval{10};
    std::atomic<bool> PictureActive{false};
    std::atomic<int32_t> CaptureMode{CAPTURE_IGNORE};

private:
    int WriteFrame(const uint8_t* frame, size_t length);
    void OnMovieTimer();
    void OnPictureTimer();
    void StartPictureSource(const std::string& path);

    CNormalCameraHelper camera_;
    CEffectChain effects_;
    CCameraWriterHelper writer_;
    _DEVIECEFORMAT_LIST* resolutionList_ = nullptr;
    _DEVIECENAME_LIST* deviceList_ = nullptr;
    CImageSource picture_;
    QTimer pictureTimer_;
    QTimer movieTimer_;
    std::string picturePath_;
    std::string shutterSoundPath_;
    CMovieParseHelper movie_;

    const int32_t& sourceKind_;
    QObject* leftPane_ = nullptr;
    std::function<void(const std::string&)> soundPlayer_;
    std::function<void(const uint8_t*, size_t)> frameTap_;
    std::array<uint8_t, zendracam::kFrameBytes> pictureCopy_{};  // effects never touch the picture itself
};
