#pragma once
// The output preview: what the virtual camera sends, read back from its frame area and painted
// smoothly scaled. While a recording runs every frame also goes to the recorder. A double click shows
// the picture full screen, above every other window, and a double click there (or Escape) comes back.
// The desktop's panels are the window manager's business: a full-screen window covers them, so no
// taskbar is hidden by hand.
#include "record/Recorder.h"
#include "ui/UIWnd.h"
#include "zendracam/ZendraCameraHelper.h"

#include <QImage>

#include <atomic>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

class CVideoPlayer : public CUIWnd, private IVideoCaptureNotify {
    Q_OBJECT
public:
    // A preview inside `parent`, reading the frame area at `areaPath` (the virtual camera's when empty).
    // It draws itself: there is no skin window behind it.
    explicit CVideoPlayer(QWidget* parent, std::string areaPath = {});
    ~CVideoPlayer() override;

    // Records every frame into `path` until StopRecording.
    void StartRecording(const std::string& path);
    void StopRecording();
    bool IsRecording() const { return recording_; }
    const CRecorder* Recorder() const { return recorder_.get(); }

    void ToggleFullScreen();
    // The full-screen window while it is shown, else null.
    CVideoPlayer* FullScreenWindow() const { return fullScreen_.get(); }

    // The last frame received, top-down; null before the first one.
    QImage Picture() const;
    int FramesReceived() const { return frames_; }

protected:
    void OnDestroy() override;
    void paintEvent(QPaintEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    // The full-screen window of `owner`: it hands its frames to the owner's recording.
    explicit CVideoPlayer(CVideoPlayer* owner);
    int OnVideoFrame(uint8_t* frame, size_t length) override;
    void PushToRecording(const uint8_t* frame);

    CVideoPlayer* const owner_ = nullptr;
    const std::string areaPath_;
    CZendraCameraHelper camera_;
    std::unique_ptr<CVideoPlayer> fullScreen_;

    mutable std::mutex frameLock_;
    std::vector<uint8_t> frame_;
    bool haveFrame_ = false;
    std::atomic<int> frames_{0};
    std::atomic<bool> repaintPending_{false};

    std::mutex recordLock_;  // the recording flag and the pushes, against its stop
    std::atomic<bool> recording_{false};
    std::unique_ptr<CRecorder> recorder_;
};
