#pragma once
// The frame window around the captured area: a tool window with a caption bearing the hint and a
// close box, and sizing borders; its client area, which lets the screen show through, is the capture
// rectangle. It draws its own frame, so it looks and works the same with or without a window manager.
// Moving or resizing it moves or resizes the client area; clicking the close box hides it and sends
// WM_CAPTURE_FRAME_CLOSED. A frame that follows another program's window cannot be moved by hand.
#include "pipeline/CaptureGeometry.h"

#include <QPointer>
#include <QWidget>

class CCapHiteWnd : public QWidget {
    Q_OBJECT
public:
    enum Style { STYLE_FIXED = 0, STYLE_FOLLOW = 1, STYLE_FREE = 2 };
    static constexpr FrameMetrics kMetrics{4, 22};
    static constexpr int kMinimumClient = 16;

    // Messages go to `notify`.
    explicit CCapHiteWnd(QObject* notify);

    void SetStyle(Style style) { style_ = style; }
    Style FrameStyle() const { return style_; }
    // Places the window so that its client area covers `client` exactly.
    void PlaceClient(const CaptureRect& client);
    // The client area in screen coordinates.
    CaptureRect ClientRect() const;
    // The close box, in the window's coordinates.
    QRect CloseBox() const;

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    // Which edges a press at `pos` takes hold of (Qt::Edges), none inside the caption.
    Qt::Edges EdgesAt(const QPoint& pos) const;
    void UpdateCursor(const QPoint& pos);

    QPointer<QObject> notify_;
    Style style_ = STYLE_FIXED;
    enum class Drag { None, Move, Resize } drag_ = Drag::None;
    Qt::Edges edges_;
    QPoint pressGlobal_;
    QRect pressGeometry_;
};
