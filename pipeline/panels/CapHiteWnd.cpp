#include "pipeline/panels/CapHiteWnd.h"

#include "pipeline/panels/CaptureMessages.h"
#include "settings/WindowMessages.h"

#include <QMouseEvent>
#include <QPainter>

#include <algorithm>

namespace {

const QColor kFrame(46, 107, 214);       // the skin's accent blue
const QColor kFrameDark(29, 66, 148);
const char* const kHint = "请调整窗口更改捕捉位置及大小";
constexpr int kCloseSize = 16;
constexpr int kGrip = 8;  // the sizing borders take hold a little into the caption and the client area

QRect ToQRect(const CaptureRect& r)
{
    return QRect(r.left, r.top, r.Width(), r.Height());
}

CaptureRect ToCaptureRect(const QRect& r)
{
    return {r.left(), r.top(), r.left() + r.width(), r.top() + r.height()};
}

}  // namespace

CCapHiteWnd::CCapHiteWnd(QObject* notify) : QWidget(nullptr), notify_(notify)
{
    // A tool window: no task-bar entry, no system menu, above the windows it frames.
    setWindowFlags(Qt::Tool | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint | Qt::WindowDoesNotAcceptFocus);
    setAttribute(Qt::WA_ShowWithoutActivating);
    setMouseTracking(true);
    setWindowTitle(QString::fromUtf8(kHint));
    setAccessibleName(QString::fromUtf8(kHint));
}

void CCapHiteWnd::PlaceClient(const CaptureRect& client)
{
    setGeometry(ToQRect(FrameAround(client, kMetrics)));
}

CaptureRect CCapHiteWnd::ClientRect() const
{
    return ClientOfFrame(ToCaptureRect(geometry()), kMetrics);
}

QRect CCapHiteWnd::CloseBox() const
{
    const int top = kMetrics.border + (kMetrics.caption - kCloseSize) / 2;
    return QRect(width() - kMetrics.border - 3 - kCloseSize, top, kCloseSize, kCloseSize);
}

void CCapHiteWnd::resizeEvent(QResizeEvent*)
{
    // The client area is a hole: the screen inside it, not this window, is what gets captured, and
    // the pointer reaches the windows under it.
    const CaptureRect client = ClientOfFrame({0, 0, width(), height()}, kMetrics);
    setMask(QRegion(rect()) - QRegion(ToQRect(client)));
}

void CCapHiteWnd::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.fillRect(rect(), kFrame);
    painter.setPen(kFrameDark);
    painter.drawRect(rect().adjusted(0, 0, -1, -1));
    const QRect caption(kMetrics.border, kMetrics.border, width() - 2 * kMetrics.border, kMetrics.caption);
    QFont font(QStringLiteral("WenQuanYi Micro Hei"));
    font.setPixelSize(12);
    painter.setFont(font);
    painter.setPen(Qt::white);
    const QRect textArea = caption.adjusted(4, 0, -(kCloseSize + 8), 0);
    painter.drawText(textArea, Qt::AlignVCenter | Qt::AlignLeft,
                     painter.fontMetrics().elidedText(QString::fromUtf8(kHint), Qt::ElideRight, textArea.width()));
    // The close box: a white cross.
    const QRect close = CloseBox();
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(Qt::white, 2));
    painter.drawLine(close.topLeft() + QPoint(4, 4), close.bottomRight() - QPoint(3, 3));
    painter.drawLine(close.topRight() + QPoint(-3, 4), close.bottomLeft() + QPoint(4, -3));
}

Qt::Edges CCapHiteWnd::EdgesAt(const QPoint& pos) const
{
    Qt::Edges edges;
    const bool inCaption = pos.y() >= kMetrics.border && pos.y() < kMetrics.border + kMetrics.caption &&
                           pos.x() >= kGrip && pos.x() < width() - kGrip;
    if (inCaption)
        return edges;
    if (pos.x() < kGrip)
        edges |= Qt::LeftEdge;
    if (pos.x() >= width() - kGrip)
        edges |= Qt::RightEdge;
    if (pos.y() < kMetrics.border)
        edges |= Qt::TopEdge;
    if (pos.y() >= height() - kGrip)
        edges |= Qt::BottomEdge;
    return edges;
}

void CCapHiteWnd::UpdateCursor(const QPoint& pos)
{
    const Qt::Edges edges = style_ == STYLE_FOLLOW ? Qt::Edges() : EdgesAt(pos);
    const bool horizontal = edges & (Qt::LeftEdge | Qt::RightEdge), vertical = edges & (Qt::TopEdge | Qt::BottomEdge);
    if (horizontal && vertical)
        setCursor(((edges & Qt::LeftEdge) != 0) == ((edges & Qt::TopEdge) != 0) ? Qt::SizeFDiagCursor
                                                                                 : Qt::SizeBDiagCursor);
    else if (horizontal)
        setCursor(Qt::SizeHorCursor);
    else if (vertical)
        setCursor(Qt::SizeVerCursor);
    else
        setCursor(Qt::ArrowCursor);
}

void CCapHiteWnd::mousePressEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton)
        return;
    const QPoint pos = event->position().toPoint();
    if (CloseBox().contains(pos)) {
        hide();
        PostWindowMessage(notify_, WM_CAPTURE_FRAME_CLOSED);
        return;
    }
    if (style_ == STYLE_FOLLOW)
        return;
    edges_ = EdgesAt(pos);
    drag_ = edges_ ? Drag::Resize : Drag::Move;
    pressGlobal_ = event->globalPosition().toPoint();
    pressGeometry_ = geometry();
}

void CCapHiteWnd::mouseMoveEvent(QMouseEvent* event)
{
    if (drag_ == Drag::None) {
        UpdateCursor(event->position().toPoint());
        return;
    }
    const QPoint delta = event->globalPosition().toPoint() - pressGlobal_;
    if (drag_ == Drag::Move) {
        move(pressGeometry_.topLeft() + delta);
        return;
    }
    // The smallest frame still has a client area of kMinimumClient × kMinimumClient.
    const int minW = kMinimumClient + 2 * kMetrics.border;
    const int minH = kMinimumClient + 2 * kMetrics.border + kMetrics.caption;
    QRect g = pressGeometry_;
    if (edges_ & Qt::LeftEdge)
        g.setLeft(std::min(g.left() + delta.x(), g.right() + 1 - minW));
    if (edges_ & Qt::RightEdge)
        g.setRight(std::max(g.right() + delta.x(), g.left() + minW - 1));
    if (edges_ & Qt::TopEdge)
        g.setTop(std::min(g.top() + delta.y(), g.bottom() + 1 - minH));
    if (edges_ & Qt::BottomEdge)
        g.setBottom(std::max(g.bottom() + delta.y(), g.top() + minH - 1));
    setGeometry(g);
}

void CCapHiteWnd::mouseReleaseEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton)
        drag_ = Drag::None;
}
