#pragma once
// The region selector: a borderless window over the whole screen showing the screen as it was when
// the selector opened, with the chosen box drawn inverted and hatched and a label giving its place and
// size. The fixed kind moves a box of a given size with the pointer; the free kind stretches a box from
// the point where the left button went down. Releasing the left button ends the selection
// (WM_REGION_CHOSEN); Escape or the right button cancels it (WM_REGION_CANCELLED).
#include "pipeline/CaptureGeometry.h"

#include <QImage>
#include <QPointer>
#include <QWidget>

class CWndRgn : public QWidget {
    Q_OBJECT
public:
    enum Kind { KIND_FIXED = 0, KIND_FREE = 1 };

    // Messages go to `notify`.
    CWndRgn(Kind kind, QObject* notify);

    // Covers the screen and starts a selection; the fixed kind's box is width × height.
    void Open(int width = 0, int height = 0);
    Kind SelectorKind() const { return kind_; }
    // The box as drawn now.
    const CaptureRect& Box() const { return box_; }
    // The label's text for the box.
    static QString LabelText(const CaptureRect& box);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    void MoveTo(ScreenPoint pointer);
    void Finish();
    void Cancel();
    void Close();
    QRect LabelRect() const;

    Kind kind_;
    QPointer<QObject> notify_;
    QImage screen_;  // the screen under the selector
    int width_ = 0, height_ = 0;
    bool anchored_ = false;
    ScreenPoint anchor_;
    CaptureRect box_;
};
