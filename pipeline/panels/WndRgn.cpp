#include "pipeline/panels/WndRgn.h"

#include "pipeline/panels/CaptureMessages.h"
#include "settings/WindowMessages.h"

#include <QGuiApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <QScreen>

#include <algorithm>
#include <vector>

namespace {

constexpr int kBorder = 3;
constexpr int kLabelPadX = 6, kLabelPadY = 3;
const QColor kHatch(0, 0, 128);  // dark blue

QRect ToQRect(const CaptureRect& r)
{
    return QRect(r.left, r.top, r.Width(), r.Height());
}

// The 3-pixel border of `box` as rectangles that do not overlap, so that inverting each once inverts
// every border pixel exactly once.
std::vector<QRect> BorderBands(const CaptureRect& box)
{
    const int w = box.Width(), h = box.Height();
    if (w <= 0 || h <= 0)
        return {};
    const int top = std::min(kBorder, h), bottom = std::min(kBorder, h - top);
    const int side = std::min(kBorder, w), otherSide = std::min(kBorder, w - side);
    const int middle = h - top - bottom;
    std::vector<QRect> bands{QRect(box.left, box.top, w, top)};
    if (bottom > 0)
        bands.emplace_back(box.left, box.bottom - bottom, w, bottom);
    if (middle > 0) {
        bands.emplace_back(box.left, box.top + top, side, middle);
        if (otherSide > 0)
            bands.emplace_back(box.right - otherSide, box.top + top, otherSide, middle);
    }
    return bands;
}

QFont LabelFont()
{
    QFont font(QStringLiteral("DejaVu Sans"));
    font.setPixelSize(12);
    return font;
}

}  // namespace

CWndRgn::CWndRgn(Kind kind, QObject* notify) : QWidget(nullptr), kind_(kind), notify_(notify)
{
    // Above everything, the window manager's panels included, and never placed or decorated by it.
    setWindowFlags(Qt::Window | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint | Qt::X11BypassWindowManagerHint);
    setAttribute(Qt::WA_OpaquePaintEvent);
    setMouseTracking(true);
    setCursor(Qt::CrossCursor);
    setFocusPolicy(Qt::StrongFocus);
    setAccessibleName(kind == KIND_FIXED ? QStringLiteral("fixed region selector") : QStringLiteral("free region selector"));
}

QString CWndRgn::LabelText(const CaptureRect& box)
{
    return QString::asprintf("Left : %d Top : %d Width : %d Height : %d", box.left, box.top, box.Width(), box.Height());
}

void CWndRgn::Open(int width, int height)
{
    QScreen* screen = QGuiApplication::primaryScreen();
    const QRect area = screen->virtualGeometry();
    // What the person sees under the selector is the screen of this moment: the box is drawn over it.
    screen_ = screen->grabWindow(0).toImage().convertToFormat(QImage::Format_RGB32);
    if (screen_.size() != area.size())
        screen_ = screen_.scaled(area.size());
    width_ = width;
    height_ = height;
    anchored_ = false;
    box_ = {};
    setGeometry(area);
    if (kind_ == KIND_FIXED) {
        const QPoint pointer = QCursor::pos();
        MoveTo({pointer.x(), pointer.y()});
    }
    show();
    raise();
    activateWindow();
    grabKeyboard();
    grabMouse();
}

QRect CWndRgn::LabelRect() const
{
    if (box_.IsEmpty())
        return {};
    const QFontMetrics metrics(LabelFont());
    const QSize size(metrics.horizontalAdvance(LabelText(box_)) + 2 * kLabelPadX, metrics.height() + 2 * kLabelPadY);
    const ScreenPoint at = LabelPosition(box_, size.width(), size.height(), geometry().right() + 1, geometry().bottom() + 1);
    return QRect(QPoint(at.x, at.y), size);
}

void CWndRgn::MoveTo(ScreenPoint pointer)
{
    const QRect area = geometry();
    const int screenW = area.right() + 1, screenH = area.bottom() + 1;
    CaptureRect box = kind_ == KIND_FIXED ? FixedBoxAt(pointer, width_, height_, screenW, screenH)
                      : anchored_         ? FreeBox(anchor_, pointer, screenW, screenH)
                                          : CaptureRect{};
    if (box == box_)
        return;
    // Only the old and the new box and label are painted again.
    QRegion changed = QRegion(LabelRect()) + QRegion(ToQRect(box_));
    box_ = box;
    changed += QRegion(LabelRect()) + QRegion(ToQRect(box_));
    update(changed.translated(-area.topLeft()));
}

void CWndRgn::paintEvent(QPaintEvent* event)
{
    QPainter painter(this);
    painter.setClipRegion(event->region());
    painter.drawImage(0, 0, screen_);
    painter.translate(-geometry().topLeft());
    // The border inverted, except on the hatch lines, which change only by the hatch colour: the same
    // drawing done twice would give the screen back.
    painter.setCompositionMode(QPainter::RasterOp_SourceXorDestination);
    const QColor hatchOverInverted(255 ^ kHatch.red(), 255 ^ kHatch.green(), 255 ^ kHatch.blue());
    for (const QRect& band : BorderBands(box_)) {
        painter.fillRect(band, Qt::white);
        painter.fillRect(band, QBrush(hatchOverInverted, Qt::BDiagPattern));
    }
    painter.setCompositionMode(QPainter::CompositionMode_SourceOver);
    const QRect label = LabelRect();
    if (label.isEmpty())
        return;
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QColor(160, 160, 160));
    painter.setBrush(Qt::white);
    painter.drawRoundedRect(QRectF(label).adjusted(0.5, 0.5, -0.5, -0.5), 4, 4);
    painter.setFont(LabelFont());
    painter.setPen(Qt::black);
    painter.drawText(label, Qt::AlignCenter, LabelText(box_));
}

void CWndRgn::mousePressEvent(QMouseEvent* event)
{
    const QPoint at = event->globalPosition().toPoint();
    if (event->button() == Qt::RightButton) {
        Cancel();
    } else if (event->button() == Qt::LeftButton && kind_ == KIND_FREE) {
        anchored_ = true;
        anchor_ = {at.x(), at.y()};
        MoveTo(anchor_);
    }
}

void CWndRgn::mouseMoveEvent(QMouseEvent* event)
{
    const QPoint at = event->globalPosition().toPoint();
    MoveTo({at.x(), at.y()});
}

void CWndRgn::mouseReleaseEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton)
        return;
    const QPoint at = event->globalPosition().toPoint();
    MoveTo({at.x(), at.y()});
    // A click without a drag chooses nothing: the selector waits for a box.
    if (box_.IsEmpty()) {
        anchored_ = false;
        return;
    }
    Finish();
}

void CWndRgn::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_Escape)
        Cancel();
    else
        QWidget::keyPressEvent(event);
}

void CWndRgn::Close()
{
    releaseMouse();
    releaseKeyboard();
    hide();
    screen_ = QImage();
}

void CWndRgn::Finish()
{
    const CaptureRect box = box_;
    Close();
    PostWindowMessage(notify_, WM_REGION_CHOSEN, uintptr_t(kind_), 0, box);
}

void CWndRgn::Cancel()
{
    Close();
    PostWindowMessage(notify_, WM_REGION_CANCELLED, uintptr_t(kind_));
}
