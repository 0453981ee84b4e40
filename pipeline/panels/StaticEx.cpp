#include "pipeline/panels/StaticEx.h"

#include "pipeline/panels/CaptureMessages.h"
#include "settings/WindowMessages.h"

#include <QGuiApplication>
#include <QMouseEvent>

CStaticEx::CStaticEx(const QPixmap& normal, const QPixmap& held, const QPixmap& mark, QWidget* parent)
    : QLabel(parent), normal_(normal), heldPicture_(held),
      cursor_(mark.isNull() ? QCursor(Qt::CrossCursor) : QCursor(mark, mark.width() / 2, mark.height() / 2))
{
    setPixmap(normal_);
    setAlignment(Qt::AlignCenter);
    setCursor(Qt::PointingHandCursor);
    setAccessibleName(QString::fromUtf8("窗口查找器"));
    setToolTip(QString::fromUtf8("按住并拖到要捕捉的窗口上"));
}

void CStaticEx::mousePressEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton || held_)
        return;
    held_ = true;
    setPixmap(heldPicture_);
    // The mark travels with the pointer over the whole screen while the button is held.
    QGuiApplication::setOverrideCursor(cursor_);
    emit Pressed();
}

void CStaticEx::mouseReleaseEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton || !held_)
        return;
    held_ = false;
    QGuiApplication::restoreOverrideCursor();
    setPixmap(normal_);
    PostWindowMessage(parentWidget(), WM_FINDER_RELEASED);
}
