#pragma once
// The window finder: an icon the user presses and drags across the screen to pick a window. While it
// is held the icon is empty and the pointer carries the finder's mark; releasing it restores the icon
// and sends WM_FINDER_RELEASED to its window.
#include <QCursor>
#include <QLabel>
#include <QPixmap>

class CStaticEx : public QLabel {
    Q_OBJECT
public:
    // `mark` is the pointer while the finder is held; its hot spot is its centre.
    CStaticEx(const QPixmap& normal, const QPixmap& held, const QPixmap& mark, QWidget* parent);

    bool IsHeld() const { return held_; }

signals:
    void Pressed();

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    QPixmap normal_;
    QPixmap heldPicture_;
    QCursor cursor_;
    bool held_ = false;
};
