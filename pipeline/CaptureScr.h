#pragma once
// The frame sink: owns every frame source, runs each frame through the effects chain, the colour
// adjustment and the photo step, and hands it to the virtual camera.
#include "effects/EffectChain.h"
#include "effects/SelectedEffects.h"
#include "pipeline/ImageSource.h"
#include "pipeline/ScreenCapBase.h"
#include "pipeline/SourceKind.h"
#include "record/Mixer.h"
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

// What OnVideoFrame does with a camera frame.
enum CaptureModeKind : int32_t { CAPTURE_PROCESS = 0, CAPTURE_PASS_THROUGH = 1, CAPTURE_IGNORE = -1 };

// Tick of the last camera frame let through, shared by every sink.
extern std::atomic<uint32_t> LastFrameTick;
// The media file PlayMovie started last.
extern std::string CurrentMediaPath;

class CCaptureScr : public IVideoCaptureNotify, public CScreenCapBase {
public:
    static constexpr int kSourceTimerMs = 75;

    // The capture devices are reached through `cameraAccess`: the real ones unless a test stands in.
    explicit CCaptureScr(IVideoDeviceAccess& cameraAccess = Libv4l2Access());
    virtual ~CCaptureScr();

    // The source that feeds the virtual camera now (SOURCE_*); the source switch changes it.
    int32_t SourceKind() const { return sourceKind_; }
    void SetSourceKind(int32_t kind) { sourceKind_ = kind; }

    // Start-up: pick and connect a camera, set up the virtual camera, start capture.
    void StartCamera();
    void Shutdown();
    void StartCameraCapture();
    void StopCameraCapture();
    // The name is cut to 39 bytes on a character boundary. Returns the library's result.
    int ConnectCamera(const std::string& deviceName);
    _DEVIECEFORMAT_LIST* RefreshDeviceLists();
    // The listed name of the camera that is connected and working; empty when none is (a camera that
    // stopped delivering needs ConnectCamera again).
    std::string ConnectedCamera() const { return camera_.HasFailed() ? std::string() : camera_.ConnectedName(); }
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
    // The movie's file has opened (PlayMovie opens it in the background).
    bool IsMovieOpen() const { return movie_.IsOpen(); }

    bool ShowPicture(const std::string& path);
    bool RestartPicture();
    bool StopPicture();
    std::string PicturePath() const { return picture_.Path(); }
    const CImageSource& Picture() const { return picture_; }

    // Sounds go through the chain to the karaoke engine's sound player, unless another player is set.
    void PlaySoundFile(const std::string& path);
    void SetSoundPlayer(std::function<void(const std::string&)> player) { soundPlayer_ = std::move(player); }
    const std::string& ShutterSoundPath() const { return shutterSoundPath_; }

    // The effect pictures in use and their layers.
    bool AddSelectedEffect(int32_t type, const std::string& name, const std::string& folder)
    {
        return selected_.AddSelectedEffect(type, name, folder);
    }
    void RemoveSelectedEffect(const std::string& full) { selected_.RemoveSelectedEffect(full); }
    void ClearSelected() { selected_.ClearSelected(); }
    // Oldest first.
    const std::vector<SubEffImg>& SelectedEffects() const { return selected_.Selection(); }
    const EffectIndex& EffectNames() const { return selected_.Index(); }
    // The saved choice of the settings record applied (layers, picture-in-picture, text line), and
    // handed back to it before it is saved.
    void ApplySavedEffectChoice();
    void StoreEffectChoice() const;

    // The layer list.
    bool SetEffType(int32_t category, int32_t mode) { return effects_.SetEffType(category, mode); }
    int32_t DisplayMode() const { return effects_.DisplayMode(); }
    std::vector<LayerInfo> Layers() const { return effects_.Layers(); }
    bool LayersLoaded() const { return effects_.LayersLoaded(); }

    // The picture-in-picture.
    void SetPip(const SettingsRecord::InnerImgGroup& settings) { effects_.Pip().SetPip(settings); }
    void SetPipClose(bool close) { effects_.Pip().SetPipClose(close); }
    void SetPipBackImage(const std::string& path) { effects_.Pip().SetPipBackImage(path); }

    // The scrolling text line.
    void SetTextLine(const SettingsRecord::AddFontGroup& settings) { effects_.Text().SetTextLine(settings); }
    void SetTextClose(bool close) { effects_.Text().SetTextClose(close); }

    // The song and its lyric lines.
    void PlaySong(const std::string& songPath, const std::string& lyricPath)
    {
        effects_.Karaoke().PlaySong(songPath, lyricPath);
    }
    void PauseSong() { effects_.Karaoke().Pause(); }
    void ResumeSong() { effects_.Karaoke().Resume(); }
    void StopSong() { effects_.Karaoke().Stop(); }
    void SeekSong(double fraction) { effects_.Karaoke().Seek(fraction); }
    bool IsSongEnded() const { return effects_.Karaoke().IsEnded(); }
    bool IsSongPaused() const { return effects_.Karaoke().IsPaused(); }
    double SongPosition() const { return effects_.Karaoke().Position(); }
    double SongDuration() const { return effects_.Karaoke().Duration(); }
    void ToggleAudioTrack() { effects_.Karaoke().ToggleAudioTrack(); }
    void ToggleBalance() { effects_.Karaoke().ToggleBalance(); }
    void SetSongVolume(int volume) { effects_.Karaoke().SetVolume(volume); }
    // Receives the song's end (WM_MEDIA_ENDED); null for none.
    void SetSongNotify(QObject* notify) { effects_.Karaoke().Player().SetNotifyWindow(notify); }

    // The speakers' master volume and mute, opened for the window that drives them.
    void OpenSpeakerControls(QObject* window);
    void CloseSpeakerControls();
    // A 0..100 slider position, the same for both channels.
    void SetSpeakerVolume(int position);
    // 0..kMaximum of the first channel, -1 when unavailable.
    long SpeakerVolume();
    void SetSpeakerMute(bool mute) { mute_.SetMute(mute); }
    // 1 muted, 0 sounding, -1 unavailable.
    int SpeakerMute() { return mute_.GetMute(); }

    // The left pane receives the movie and photo notifications; null for none.
    void SetLeftPane(QObject* pane) { leftPane_ = pane; }

    // Sees every frame written to the virtual camera, on the thread that wrote it.
    void SetFrameTap(std::function<void(const uint8_t*, size_t)> tap) { frameTap_ = std::move(tap); }

    // The steps every frame takes before it is written: effects, colour adjustment, photo.
    void ProcessFrame(uint8_t* frame);

    std::atomic<bool> MoviePlaying{false};
    std::atomic<uint32_t> FrameInterval{10};
    std::atomic<bool> PictureActive{false};
    std::atomic<int32_t> CaptureMode{CAPTURE_IGNORE};

private:
    friend struct CaptureScrTestAccess;
    int WriteFrame(const uint8_t* frame, size_t length);
    void OnMovieTimer();
    void OnPictureTimer();
    void StartPictureSource(const std::string& path);
    void TakePhoto(const uint8_t* frame);
    void SavePhotoAndReport(const uint8_t* frame);

    CNormalCameraHelper camera_;
    CEffectChain effects_;
    CSelectedEffects selected_{effects_};
    CCameraWriterHelper writer_;
    _DEVIECEFORMAT_LIST* resolutionList_ = nullptr;
    _DEVIECENAME_LIST* deviceList_ = nullptr;
    CImageSource picture_;
    QTimer pictureTimer_;
    QTimer movieTimer_;
    std::string picturePath_;
    std::string shutterSoundPath_;
    CVolumControl volume_;
    CMuteControl mute_;
    CMovieParseHelper movie_;

    int32_t sourceKind_ = SOURCE_CAMERA;
    QObject* leftPane_ = nullptr;
    std::function<void(const std::string&)> soundPlayer_;
    std::function<void(const uint8_t*, size_t)> frameTap_;
    std::array<uint8_t, zendracam::kFrameBytes> pictureCopy_{};  // effects never touch the picture itself
    QObject uiContext_;  // lives on the thread that built the sink: the user-interface thread
};
