#include "pipeline/panels/WndSubCapture.h"

#include "pipeline/CaptureScr.h"
#include "pipeline/panels/CapHiteWnd.h"
#include "pipeline/panels/CaptureMessages.h"
#include "pipeline/panels/StaticEx.h"
#include "pipeline/panels/WndRgn.h"
#include "record/panels/WndName.h"
#include "record/panels/WndRecordFinishHite.h"
#include "settings/Settings.h"
#include "ui/SkinResources.h"
#include "ui/WndUserOptHite.h"

#include <QApplication>
#include <QComboBox>

namespace {

enum {
    IDC_MODE_FIXED = 1088,
    IDC_MODE_WINDOW = 1089,
    IDC_MODE_FREE = 1090,
    IDC_SHOW_FRAME = 1091,
    IDC_FOLLOW_POINTER = 1092,
    IDC_START = 1093,
    IDC_RECORD = 1094,
    IDC_PAUSE = 1095,
    IDC_STOP = 1096,
    IDC_FINDER = 1097,
    IDC_FIXED_SIZE = 1099,
};

constexpr int kOutOfTheWayMs = 200;
constexpr int kPickMs = 600;
constexpr int kOutlineMs = 400;
constexpr int kWindowFollowMs = 200;
constexpr int kFrameFollowMs = 200;
constexpr int kPointerFollowMs = 300;

const char* const kPickHint = "请选择要捕获的窗口";
const char* const kNoScreen = "没有找到 X 服务器，无法捕捉屏幕。屏幕捕捉需要 X11 桌面（Wayland 下需要 XWayland）。";

void Tell(QWidget* owner, const char* text)
{
    ShowUserOptHite(owner, QString::fromUtf8(text), CWndUserOptHite::MODE_NOTICE);
}

}  // namespace

CWndSubCapture::CWndSubCapture(QWidget* parent) : CUIWnd(IDR_SUB_CAPTURE, parent)
{
    pickTimer_.setInterval(kPickMs);
    windowFollowTimer_.setInterval(kWindowFollowMs);
    frameFollowTimer_.setInterval(kFrameFollowMs);
    pointerFollowTimer_.setInterval(kPointerFollowMs);
    outlineTimer_.setInterval(kOutlineMs);
    outlineTimer_.setSingleShot(true);
    connect(&pickTimer_, &QTimer::timeout, this, &CWndSubCapture::OnPickTick);
    connect(&windowFollowTimer_, &QTimer::timeout, this, &CWndSubCapture::OnWindowFollowTick);
    connect(&frameFollowTimer_, &QTimer::timeout, this, &CWndSubCapture::OnFrameFollowTick);
    connect(&pointerFollowTimer_, &QTimer::timeout, this, &CWndSubCapture::OnPointerFollowTick);
    // Drawn a second time, the outline is gone.
    connect(&outlineTimer_, &QTimer::timeout, this, [this] { windows_.InvertOutline(outline_); });
}

CWndSubCapture::~CWndSubCapture() = default;

bool CWndSubCapture::OnCreate()
{
    const CSkin* skin = UiSkin();
    finder_ = new CStaticEx(QPixmap(skin->ImagePath("normal_state.ico")), QPixmap(skin->ImagePath("empty_state.ico")),
                            QPixmap(skin->ImagePath("finder_cursor.png")), this);
    finder_->setGeometry(ControlRect(IDC_FINDER));
    connect(finder_, &CStaticEx::Pressed, this, &CWndSubCapture::OnFinderPressed);
    frame_ = std::make_unique<CCapHiteWnd>(this);
    fixedSelector_ = std::make_unique<CWndRgn>(CWndRgn::KIND_FIXED, this);
    freeSelector_ = std::make_unique<CWndRgn>(CWndRgn::KIND_FREE, this);
    SetControlChecked(IDC_MODE_FIXED + mode_, true);
    SetControlChecked(IDC_SHOW_FRAME, showFrame_);
    SetControlChecked(IDC_FOLLOW_POINTER, followPointer_);
    if (auto* sizes = Control<QComboBox>(IDC_FIXED_SIZE))
        sizes->setCurrentIndex(0);
    UpdateControls();
    return true;
}

CWndRgn* CWndSubCapture::OpenSelector() const
{
    for (CWndRgn* selector : {fixedSelector_.get(), freeSelector_.get()})
        if (selector && selector->isVisible())
            return selector;
    return nullptr;
}

void CWndSubCapture::OnCommand(int id)
{
    switch (id) {
    case IDC_START:
        OnStart();
        break;
    case IDC_RECORD:
        OnRecord();
        break;
    case IDC_PAUSE:
        OnPause();
        break;
    case IDC_STOP:
        StopCaptureFully();
        break;
    }
}

void CWndSubCapture::OnNotify(const ControlNotify& notify)
{
    if (notify.code != NotifyCode::Toggled)
        return;
    const bool on = notify.value != 0;
    switch (notify.id) {
    case IDC_MODE_FIXED:
    case IDC_MODE_WINDOW:
    case IDC_MODE_FREE:
        if (on)
            SetMode(notify.id - IDC_MODE_FIXED);
        break;
    case IDC_SHOW_FRAME:
        showFrame_ = on;
        if (regionActive_ || windowFollow_.Window())
            frame_->setVisible(on);
        break;
    case IDC_FOLLOW_POINTER:
        followPointer_ = on;
        if (!on)
            pointerFollowTimer_.stop();
        else if (regionActive_)
            pointerFollowTimer_.start();
        break;
    }
}

bool CWndSubCapture::OnMessage(CWindowMessage& message)
{
    switch (message.Message()) {
    case WM_REGION_CHOSEN:
        if (const auto* region = std::any_cast<CaptureRect>(&message.payload))
            OnRegionChosen(int(message.wParam), *region);
        return true;
    case WM_REGION_CANCELLED:
        OnRegionCancelled();
        return true;
    case WM_FINDER_RELEASED:
        pickTimer_.stop();
        AttachFrameToPicked();
        return true;
    case WM_CAPTURE_FRAME_CLOSED:
        StopCaptureFully();
        return true;
    }
    return false;
}

void CWndSubCapture::OnDestroy()
{
    for (QTimer* timer : {&pickTimer_, &windowFollowTimer_, &frameFollowTimer_, &pointerFollowTimer_})
        timer->stop();
    if (outlineTimer_.isActive()) {
        outlineTimer_.stop();
        windows_.InvertOutline(outline_);
    }
    if (CaptureSink && state_ != STATE_IDLE) {
        if (recording_)
            CaptureSink->StopScreenRecording();
        CaptureSink->StopScreenCapture();
    }
    for (QWidget* window : {static_cast<QWidget*>(frame_.get()), static_cast<QWidget*>(fixedSelector_.get()),
                            static_cast<QWidget*>(freeSelector_.get())})
        if (window)
            window->hide();
}

void CWndSubCapture::showEvent(QShowEvent* event)
{
    CUIWnd::showEvent(event);
    // Choosing the screen source on a desktop without X: say so at once, not at the first button.
    QTimer::singleShot(0, this, [this] {
        if (isVisible() && !windows_.Open())
            Tell(this, kNoScreen);
    });
}

// ---------------------------------------------------------------- buttons

void CWndSubCapture::OnStart()
{
    if (state_ == STATE_CAPTURING || state_ == STATE_RECORDING)
        return;
    if (state_ == STATE_PAUSED) {
        if (recording_)
            return;  // a paused recording resumes through its own button
        CaptureSink->ResumeScreenCapture();
        SetState(STATE_CAPTURING);
        return;
    }
    ChooseRegion(Pending::Capture);
}

void CWndSubCapture::OnRecord()
{
    if (state_ == STATE_CAPTURING || state_ == STATE_RECORDING)
        return;
    if (state_ == STATE_PAUSED) {
        if (!recording_)
            return;
        CaptureSink->ResumeScreenCapture();
        CaptureSink->ResumeRecorder();
        SetState(STATE_RECORDING);
        return;
    }
    if (pending_ != Pending::None || !ScreenAvailable())
        return;
    // The name first, while the panel is still in view; the region after it.
    if (mode_ == MODE_WINDOW && !PickedWindowRect()) {
        Tell(this, kPickHint);
        return;
    }
    CWndName name(this);
    if (name.DoModal() != IDOK_RESULT)
        return;
    recordPath_ = name.Path();
    ChooseRegion(Pending::Record);
}

void CWndSubCapture::OnPause()
{
    if (state_ != STATE_CAPTURING && state_ != STATE_RECORDING)
        return;
    if (recording_)
        CaptureSink->PauseRecorder();
    CaptureSink->PauseScreenCapture();  // the virtual camera keeps the last frame
    SetState(STATE_PAUSED);
}

void CWndSubCapture::StopCaptureFully()
{
    if (state_ == STATE_IDLE)
        return;
    const bool recorded = recording_;
    if (recording_)
        CaptureSink->StopScreenRecording();
    recording_ = false;
    CaptureSink->StopScreenCapture();
    for (QTimer* timer : {&windowFollowTimer_, &frameFollowTimer_, &pointerFollowTimer_})
        timer->stop();
    regionActive_ = false;
    frame_->hide();
    region_ = {};
    if (mode_ == MODE_WINDOW) {
        picked_ = 0;
        windowFollow_.Forget();
    }
    SetState(STATE_IDLE);
    // A stop that ended only a capture has no file to report.
    if (recorded) {
        ComeBack();
        CWndRecordFinishHite report(recordPath_, this);
        report.DoModal();
    }
}

// ---------------------------------------------------------------- choosing the region

void CWndSubCapture::ChooseRegion(Pending pending)
{
    if (pending_ != Pending::None || !ScreenAvailable())
        return;
    pending_ = pending;
    GetOutOfTheWay();
    QTimer::singleShot(kOutOfTheWayMs, this, &CWndSubCapture::OpenRegionChoice);
}

void CWndSubCapture::OpenRegionChoice()
{
    if (pending_ == Pending::None)
        return;
    int width = 0, height = 0;
    const auto* sizes = Control<QComboBox>(IDC_FIXED_SIZE);
    if (mode_ == MODE_FIXED && sizes && ParseFixedSize(sizes->currentText().toStdString(), width, height)) {
        fixedSelector_->Open(width, height);
        return;
    }
    if (mode_ == MODE_FREE) {
        freeSelector_->Open();
        return;
    }
    if (const auto rect = mode_ == MODE_WINDOW ? PickedWindowRect() : std::nullopt) {
        AttachFrameToPicked();
        StartGrabbing(OnScreen(*rect));
        return;
    }
    // No region: nothing starts.
    pending_ = Pending::None;
    ComeBack();
    if (mode_ == MODE_WINDOW)
        Tell(this, kPickHint);
}

void CWndSubCapture::OnRegionChosen(int kind, const CaptureRect& region)
{
    if (pending_ == Pending::None)
        return;
    // A chosen box replaces a picked window the frame may have been following.
    windowFollowTimer_.stop();
    windowFollow_.Forget();
    regionActive_ = true;
    frame_->SetStyle(kind == CWndRgn::KIND_FIXED ? CCapHiteWnd::STYLE_FIXED : CCapHiteWnd::STYLE_FREE);
    frame_->PlaceClient(region);
    frame_->setVisible(showFrame_);
    frameFollowTimer_.start();
    if (followPointer_)
        pointerFollowTimer_.start();
    StartGrabbing(region);
}

void CWndSubCapture::StartGrabbing(const CaptureRect& region)
{
    const Pending pending = pending_;
    pending_ = Pending::None;
    region_ = region;
    CaptureSink->SetCaptureRect(region.left, region.top, region.right, region.bottom);
    if (!CaptureSink->StartScreenCapture()) {
        regionActive_ = false;
        frame_->hide();
        frameFollowTimer_.stop();
        pointerFollowTimer_.stop();
        ComeBack();
        Tell(this, kNoScreen);
        return;
    }
    if (pending == Pending::Record) {
        CaptureSink->StartScreenRecording(recordPath_);
        recording_ = true;
        SetState(STATE_RECORDING);
    } else {
        SetState(STATE_CAPTURING);
    }
}

void CWndSubCapture::OnRegionCancelled()
{
    pending_ = Pending::None;
    frame_->hide();
    ComeBack();
    SetState(STATE_IDLE);
}

// ---------------------------------------------------------------- modes and states

void CWndSubCapture::SetMode(int mode)
{
    mode_ = mode;
    UpdateControls();
}

void CWndSubCapture::SetState(int state)
{
    state_ = state;
    UpdateControls();
}

void CWndSubCapture::UpdateControls()
{
    const bool idle = state_ == STATE_IDLE, running = state_ == STATE_CAPTURING || state_ == STATE_RECORDING;
    const bool paused = state_ == STATE_PAUSED;
    const auto enable = [this](int id, bool on) {
        if (QWidget* control = GetControl(id))
            control->setEnabled(on);
    };
    // A paused capture or recording is resumed by the button that started it, and stopped only after.
    enable(IDC_START, idle || (paused && !recording_));
    enable(IDC_RECORD, idle || (paused && recording_));
    enable(IDC_PAUSE, running);
    enable(IDC_STOP, running);
    enable(IDC_FOLLOW_POINTER, mode_ != MODE_WINDOW);
    enable(IDC_FIXED_SIZE, mode_ == MODE_FIXED);
}

// ---------------------------------------------------------------- the picked window

void CWndSubCapture::OnFinderPressed()
{
    if (!ScreenAvailable())
        return;
    pickTimer_.start();
}

void CWndSubCapture::OnPickTick()
{
    // Korvel's own windows are never picked: the main window the finder starts from, the frame window.
    std::vector<ScreenWindow> own;
    for (QWidget* window : QApplication::topLevelWidgets())
        if (window->isVisible() && window->internalWinId())
            own.push_back(ScreenWindow(window->internalWinId()));
    const auto found = windows_.WindowUnderPointer(own);
    const auto rect = found ? windows_.WindowRect(*found) : std::nullopt;
    if (!rect)
        return;
    picked_ = *found;
    if (outlineTimer_.isActive()) {
        outlineTimer_.stop();
        windows_.InvertOutline(outline_);
    }
    outline_ = OnScreen(*rect);
    windows_.InvertOutline(outline_);
    outlineTimer_.start();
}

std::optional<CaptureRect> CWndSubCapture::PickedWindowRect()
{
    return picked_ ? windows_.WindowRect(picked_) : std::nullopt;
}

void CWndSubCapture::AttachFrameToPicked()
{
    const auto rect = PickedWindowRect();
    if (!rect)
        return;
    frame_->SetStyle(CCapHiteWnd::STYLE_FOLLOW);
    frame_->PlaceClient(*rect);
    frame_->setVisible(showFrame_);
    windowFollow_.Follow(picked_, *rect);
    windowFollowTimer_.start();
    if (state_ != STATE_IDLE && !regionActive_)
        TakeRegion(OnScreen(*rect));
}

void CWndSubCapture::OnWindowFollowTick()
{
    switch (windowFollow_.Tick()) {
    case CWindowFollow::Change::None:
        break;
    case CWindowFollow::Change::Moved:
        frame_->PlaceClient(windowFollow_.Rect());
        if (state_ != STATE_IDLE && !regionActive_)
            TakeRegion(OnScreen(windowFollow_.Rect()));
        break;
    case CWindowFollow::Change::Gone:
        // The picked window was closed: nothing is left to capture.
        windowFollowTimer_.stop();
        picked_ = 0;
        frame_->hide();
        if (!regionActive_)
            StopCaptureFully();
        break;
    }
}

// ---------------------------------------------------------------- the frame window and the pointer

void CWndSubCapture::OnFrameFollowTick()
{
    if (regionActive_)
        TakeRegion(frame_->ClientRect());
}

void CWndSubCapture::OnPointerFollowTick()
{
    const auto pointer = regionActive_ ? windows_.PointerPosition() : std::nullopt;
    if (!pointer)
        return;
    int screenW, screenH;
    windows_.ScreenSize(screenW, screenH);
    const CaptureRect box = FixedBoxAt(*pointer, region_.Width(), region_.Height(), screenW, screenH);
    frame_->PlaceClient(box);
    TakeRegion(box);
}

void CWndSubCapture::TakeRegion(const CaptureRect& region)
{
    if (region == region_)
        return;
    region_ = region;
    CaptureSink->SetCaptureRect(region.left, region.top, region.right, region.bottom);
}

// ---------------------------------------------------------------- the desktop

bool CWndSubCapture::ScreenAvailable()
{
    if (windows_.Open())
        return true;
    Tell(this, kNoScreen);
    return false;
}

CaptureRect CWndSubCapture::OnScreen(const CaptureRect& rect)
{
    int width, height;
    windows_.ScreenSize(width, height);
    return ClampToScreen(rect, width, height);
}

void CWndSubCapture::GetOutOfTheWay()
{
    QWidget* main = window();
    if (main == this || main->isMinimized())
        return;
    main->showMinimized();
    minimisedMain_ = true;
}

void CWndSubCapture::ComeBack()
{
    if (!minimisedMain_)
        return;
    minimisedMain_ = false;
    QWidget* main = window();
    main->showNormal();
    main->raise();
    main->activateWindow();
}
