#pragma once
// The screen-capture panel: how the region is chosen (a fixed-size box, another program's window, or a
// freely dragged box), whether the frame window shows and follows the pointer, and the start, record,
// pause and stop buttons of the screen source.
#include "pipeline/CaptureGeometry.h"
#include "pipeline/WindowFollow.h"
#include "pipeline/X11Windows.h"
#include "ui/UIWnd.h"

#include <QTimer>

#include <memory>
#include <optional>
#include <string>

class CCapHiteWnd;
class CStaticEx;
class CWndRgn;

class CWndSubCapture : public CUIWnd {
    Q_OBJECT
public:
    enum SelectionMode { MODE_FIXED = 0, MODE_WINDOW = 1, MODE_FREE = 2 };
    enum CaptureState { STATE_IDLE = 0, STATE_CAPTURING = 1, STATE_RECORDING = 2, STATE_PAUSED = 3 };

    explicit CWndSubCapture(QWidget* parent);
    ~CWndSubCapture() override;

    // The full stop: recording and grabbing end, the frame window goes, the buttons are those of idle,
    // and a finished recording is reported.
    void StopCaptureFully();

    int Mode() const { return mode_; }
    int State() const { return state_; }
    const CaptureRect& Region() const { return region_; }
    ScreenWindow PickedWindow() const { return picked_; }
    const std::string& RecordingPath() const { return recordPath_; }
    CCapHiteWnd* FrameWindow() const { return frame_.get(); }
    // The selector that is choosing a region now, or null.
    CWndRgn* OpenSelector() const;

protected:
    bool OnCreate() override;
    void OnCommand(int id) override;
    void OnNotify(const ControlNotify& notify) override;
    bool OnMessage(CWindowMessage& message) override;
    void OnDestroy() override;
    void showEvent(QShowEvent* event) override;

private:
    enum class Pending { None, Capture, Record };

    void OnStart();
    void OnRecord();
    void OnPause();
    void ChooseRegion(Pending pending);
    void OpenRegionChoice();
    void StartGrabbing(const CaptureRect& region);
    void OnRegionChosen(int kind, const CaptureRect& region);
    void OnRegionCancelled();
    void SetMode(int mode);
    void SetState(int state);
    void UpdateControls();

    // The finder and the picked window.
    void OnFinderPressed();
    void OnPickTick();
    void AttachFrameToPicked();
    void OnWindowFollowTick();
    // The frame window's client area, or a box under the pointer, as the capture rectangle.
    void OnFrameFollowTick();
    void OnPointerFollowTick();
    void TakeRegion(const CaptureRect& region);

    // False, after saying so, when there is no X server to capture.
    bool ScreenAvailable();
    void GetOutOfTheWay();
    void ComeBack();
    // The part of `rect` on the screen.
    CaptureRect OnScreen(const CaptureRect& rect);
    std::optional<CaptureRect> PickedWindowRect();

    CStaticEx* finder_ = nullptr;
    std::unique_ptr<CCapHiteWnd> frame_;
    std::unique_ptr<CWndRgn> fixedSelector_;
    std::unique_ptr<CWndRgn> freeSelector_;
    int mode_ = MODE_WINDOW;
    bool showFrame_ = true;
    bool followPointer_ = false;
    int state_ = STATE_IDLE;
    bool recording_ = false;  // a recording runs (also while paused)
    bool regionActive_ = false;
    Pending pending_ = Pending::None;
    CaptureRect region_;
    ScreenWindow picked_ = 0;
    std::string recordPath_;
    bool minimisedMain_ = false;

    CX11Windows windows_;
    CWindowFollow windowFollow_{windows_};
    QTimer pickTimer_;
    QTimer windowFollowTimer_;
    QTimer frameFollowTimer_;
    QTimer pointerFollowTimer_;
    QTimer outlineTimer_;
    CaptureRect outline_;
};
