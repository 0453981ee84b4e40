#include "ktv/panels/VideoPlayer.h"

#include <QKeyEvent>
#include <QPainter>
#include <QScreen>

#include <cstring>

namespace {

const QColor kScreenColour(27, 35, 51);
const QColor kScreenText(110, 128, 164);

}  // namespace

CVideoPlayer::CVideoPlayer(QWidget* parent, std::string areaPath)
    : CUIWnd(0, parent), areaPath_(std::move(areaPath)), camera_(areaPath_), frame_(zendracam::kFrameBytes)
{
    setAttribute(Qt::WA_OpaquePaintEvent);
    setToolTip(QString::fromUtf8("双击全屏显示"));
    setAccessibleName(QString::fromUtf8("视频预览"));
    camera_.Connect(this);
    camera_.StartCapture();
}

CVideoPlayer::CVideoPlayer(CVideoPlayer* owner)
    : CUIWnd(0, nullptr), owner_(owner), areaPath_(owner->areaPath_), camera_(areaPath_),
      frame_(zendracam::kFrameBytes)
{
    setAttribute(Qt::WA_OpaquePaintEvent);
    setWindowFlag(Qt::WindowStaysOnTopHint);
    setWindowTitle(QString::fromUtf8("视频预览"));
    setAccessibleName(QString::fromUtf8("全屏视频预览"));
    setCursor(Qt::BlankCursor);
    // The owner's last picture until the first frame comes.
    {
        std::lock_guard lock(owner->frameLock_);
        frame_ = owner->frame_;
        haveFrame_ = owner->haveFrame_;
    }
    camera_.Connect(this);
    camera_.StartCapture();
}

CVideoPlayer::~CVideoPlayer()
{
    // No frame may arrive for a half-destroyed window.
    camera_.StopCapture();
    fullScreen_.reset();
    StopRecording();
}

void CVideoPlayer::OnDestroy()
{
    camera_.StopCapture();
    fullScreen_.reset();
    StopRecording();
}

int CVideoPlayer::OnVideoFrame(uint8_t* frame, size_t length)
{
    if (!frame || length < zendracam::kFrameBytes)
        return 0;
    {
        std::lock_guard lock(frameLock_);
        std::memcpy(frame_.data(), frame, zendracam::kFrameBytes);
        haveFrame_ = true;
    }
    ++frames_;
    PushToRecording(frame);
    // One repaint waiting at a time, however fast frames come.
    if (!repaintPending_.exchange(true)) {
        QMetaObject::invokeMethod(
            this, [this] {
                repaintPending_ = false;
                update();
            },
            Qt::QueuedConnection);
    }
    return 0;
}

void CVideoPlayer::PushToRecording(const uint8_t* frame)
{
    CVideoPlayer& feed = owner_ ? *owner_ : *this;
    std::lock_guard lock(feed.recordLock_);
    if (feed.recording_)
        feed.recorder_->PushFrame(frame, zendracam::kFrameWidth, zendracam::kFrameHeight);
}

void CVideoPlayer::StartRecording(const std::string& path)
{
    if (recording_)
        return;
    if (!recorder_)
        recorder_ = std::make_unique<CRecorder>();
    recorder_->Start(path);
    std::lock_guard lock(recordLock_);
    recording_ = true;
}

void CVideoPlayer::StopRecording()
{
    {
        std::lock_guard lock(recordLock_);
        if (!recording_)
            return;
        recording_ = false;
    }
    recorder_->Stop();
}

QImage CVideoPlayer::Picture() const
{
    std::lock_guard lock(frameLock_);
    if (!haveFrame_)
        return {};
    // Rows are bottom-up in the frame.
    return QImage(frame_.data(), zendracam::kFrameWidth, zendracam::kFrameHeight, int(zendracam::kFrameStride),
                  QImage::Format_BGR888)
        .mirrored(false, true);
}

void CVideoPlayer::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.fillRect(rect(), owner_ ? QColor(Qt::black) : kScreenColour);
    const QImage picture = Picture();
    if (picture.isNull()) {
        painter.setPen(kScreenText);
        QFont font = painter.font();
        font.setPixelSize(13);
        painter.setFont(font);
        painter.drawText(rect(), Qt::AlignCenter, QString::fromUtf8("ZENDRA Capture\n等待视频画面"));
        return;
    }
    // The whole picture, as large as fits, in its own proportions.
    const QSize size = picture.size().scaled(this->size(), Qt::KeepAspectRatio);
    const QRect target(QPoint((width() - size.width()) / 2, (height() - size.height()) / 2), size);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    painter.drawImage(target, picture);
}

void CVideoPlayer::mouseDoubleClickEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton)
        return;
    if (owner_) {
        // The owner deletes this window: not from inside its own event.
        QMetaObject::invokeMethod(owner_, [owner = owner_] { owner->ToggleFullScreen(); }, Qt::QueuedConnection);
        return;
    }
    ToggleFullScreen();
}

void CVideoPlayer::keyPressEvent(QKeyEvent* event)
{
    if (owner_ && event->key() == Qt::Key_Escape) {
        QMetaObject::invokeMethod(owner_, [owner = owner_] { owner->ToggleFullScreen(); }, Qt::QueuedConnection);
        return;
    }
    CUIWnd::keyPressEvent(event);
}

void CVideoPlayer::ToggleFullScreen()
{
    if (owner_)
        return;
    if (fullScreen_) {
        fullScreen_.reset();
        camera_.StartCapture();
        return;
    }
    camera_.StopCapture();
    fullScreen_.reset(new CVideoPlayer(this));
    // The whole screen the preview is on, also where no window manager makes it full screen.
    if (QScreen* screen = window()->screen())
        fullScreen_->setGeometry(screen->geometry());
    fullScreen_->showFullScreen();
    fullScreen_->raise();
    fullScreen_->activateWindow();
}
