#include "ui/UIWnd.h"

#include "ui/SkinControls.h"

#include <QBitmap>
#include <QButtonGroup>
#include <QCloseEvent>
#include <QEventLoop>
#include <QGuiApplication>
#include <QScreen>
#include <QMouseEvent>
#include <QPainter>
#include <QWindow>

CUIWnd::CUIWnd(int resource, QWidget* parent, bool ownedWindow) : QWidget(parent), resource_(resource)
{
    if (!parent)
        setWindowFlags(Qt::Window | Qt::FramelessWindowHint);
    else if (ownedWindow)
        setWindowFlags(Qt::Dialog | Qt::FramelessWindowHint);
}

CUIWnd::~CUIWnd()
{
    if (modalLoop_)
        modalLoop_->exit();
    while (!childPanels_.empty())
        childPanels_.pop_back();
}

bool CUIWnd::Create()
{
    if (created_)
        return true;
    const CSkin* skin = UiSkin();
    skinWindow_ = skin ? skin->Window(resource_) : nullptr;
    if (!skinWindow_)
        return false;
    setFixedSize(skinWindow_->size);
    if (!skinWindow_->title.isEmpty())
        setWindowTitle(skinWindow_->title);
    if (!skinWindow_->background.isEmpty())
        background_.load(skin->ImagePath(skinWindow_->background));
    if (isWindow())
        setStyleSheet(skin->StyleSheet());
    BuildControls(*skin);
    UpdateShape();
    created_ = true;
    if (!OnCreate()) {
        created_ = false;
        return false;
    }
    return true;
}

void CUIWnd::BuildControls(const CSkin& skin)
{
    std::map<QString, QButtonGroup*> groups;
    for (const SkinControl& control : skinWindow_->controls) {
        QWidget* widget = CreateSkinControl(skin, control, this);
        if (!widget)
            continue;
        controls_[control.id] = widget;
        const int id = control.id;
        ConnectNotifications(widget, id, [this](const ControlNotify& notify) { OnNotify(notify); });
        auto* button = qobject_cast<CSkinButton*>(widget);
        if (!button)
            continue;
        if (control.kind == ControlKind::Button || control.kind == ControlKind::Tab)
            connect(button, &QAbstractButton::clicked, this, [this, id] { OnCommand(id); });
        if (!control.group.isEmpty()) {
            QButtonGroup*& group = groups[control.group];
            if (!group)
                group = new QButtonGroup(this);
            group->addButton(button, id);
        } else if (control.kind == ControlKind::Radio) {
            button->setAutoExclusive(true);
        }
    }
    NameFromLabels();
}

void CUIWnd::NameFromLabels()
{
    // A control without a text or tip of its own (an edit, a slider, a colour picker) is named by the
    // static text just left of it on the same line, as a reader of the window would name it.
    for (const SkinControl& control : skinWindow_->controls) {
        QWidget* widget = GetControl(control.id);
        const bool namedByText = !control.text.isEmpty() && qobject_cast<CSkinButton*>(widget);
        if (!widget || control.kind == ControlKind::Static || namedByText || !widget->accessibleName().isEmpty())
            continue;
        const SkinControl* nearest = nullptr;
        for (const SkinControl& label : skinWindow_->controls) {
            const int middle = label.rect.center().y();
            if (label.kind != ControlKind::Static || label.text.isEmpty() || label.rect.right() >= control.rect.left() ||
                middle < control.rect.top() || middle > control.rect.bottom())
                continue;
            if (!nearest || label.rect.right() > nearest->rect.right())
                nearest = &label;
        }
        if (nearest)
            widget->setAccessibleName(nearest->text);
    }
}

QWidget* CUIWnd::GetControl(int id) const
{
    const auto found = controls_.find(id);
    return found == controls_.end() ? nullptr : found->second;
}

QRect CUIWnd::ControlRect(int id) const
{
    const SkinControl* control = skinWindow_ ? skinWindow_->Control(id) : nullptr;
    return control ? control->rect : QRect();
}

void CUIWnd::SetControlChecked(int id, bool checked)
{
    auto* button = Control<QAbstractButton>(id);
    if (!button)
        return;
    // An exclusive group refuses to uncheck its checked button; the window's handlers may.
    QButtonGroup* group = button->group();
    const bool exclusive = !checked && group && group->exclusive();
    if (exclusive)
        group->setExclusive(false);
    button->setChecked(checked);
    if (exclusive)
        group->setExclusive(true);
}

bool CUIWnd::IsControlChecked(int id) const
{
    auto* button = Control<QAbstractButton>(id);
    return button && button->isChecked();
}

void CUIWnd::ShowControl(int id, bool visible)
{
    if (QWidget* widget = GetControl(id))
        widget->setVisible(visible);
}

int CUIWnd::DoModal()
{
    if (!created_ && !Create())
        return IDCANCEL_RESULT;
    QEventLoop loop;
    modalLoop_ = &loop;
    modalResult_ = IDCANCEL_RESULT;
    setWindowModality(Qt::ApplicationModal);
    CentreWindow();
    show();
    raise();
    activateWindow();
    loop.exec(QEventLoop::DialogExec);
    modalLoop_ = nullptr;
    hide();
    return modalResult_;
}

void CUIWnd::DestroyWindow()
{
    if (destroyed_)
        return;
    destroyed_ = true;
    for (CUIWnd* child : findChildren<CUIWnd*>(Qt::FindDirectChildrenOnly))
        child->DestroyWindow();
    OnDestroy();
    hide();
}

void CUIWnd::CentreWindow()
{
    if (!isWindow())
        return;
    QRect area;
    if (QWidget* owner = parentWidget(); owner && owner->window()->isVisible())
        area = owner->window()->frameGeometry();
    else if (QScreen* screen = QGuiApplication::primaryScreen())
        area = screen->availableGeometry();
    if (area.isValid())
        move(area.center() - QPoint(width() / 2, height() / 2));
}

void CUIWnd::EndModal(int result)
{
    modalResult_ = result;
    if (modalLoop_)
        modalLoop_->exit();
    else
        hide();
}

void CUIWnd::SetColorKeyEnabled(bool on)
{
    colorKey_ = on;
    UpdateShape();
}

void CUIWnd::UpdateShape()
{
    if (!isWindow() || !skinWindow_)
        return;
    if (colorKey_ && skinWindow_->colorKey.isValid() && !background_.isNull()) {
        const QPixmap shape = background_.size() == size() ? background_ : background_.scaled(size());
        setMask(QRegion(shape.createMaskFromColor(skinWindow_->colorKey, Qt::MaskInColor)));
    } else {
        clearMask();
    }
}

bool CUIWnd::event(QEvent* event)
{
    if (event->type() >= QEvent::User && event->type() <= QEvent::MaxUser) {
        if (auto* message = dynamic_cast<CWindowMessage*>(event)) {
            const bool handled = OnMessage(*message);
            message->setAccepted(handled);
            return handled;
        }
    }
    return QWidget::event(event);
}

void CUIWnd::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    if (!background_.isNull())
        painter.drawPixmap(rect(), background_);
    else if (skinWindow_ && skinWindow_->backColor.isValid())
        painter.fillRect(rect(), skinWindow_->backColor);
}

void CUIWnd::mousePressEvent(QMouseEvent* event)
{
    QWidget* top = window();
    if (event->button() != Qt::LeftButton || !dragAnywhere_ || !CanDragAt(event->position().toPoint()) ||
        top->isMaximized() || top->isMinimized()) {
        QWidget::mousePressEvent(event);
        return;
    }
    // The window manager moves the window when it can; otherwise the window follows the mouse itself.
    if (top->windowHandle() && top->windowHandle()->startSystemMove())
        return;
    dragging_ = true;
    dragOffset_ = event->globalPosition().toPoint() - top->frameGeometry().topLeft();
}

void CUIWnd::mouseMoveEvent(QMouseEvent* event)
{
    if (dragging_ && (event->buttons() & Qt::LeftButton))
        window()->move(event->globalPosition().toPoint() - dragOffset_);
    else
        QWidget::mouseMoveEvent(event);
}

void CUIWnd::mouseReleaseEvent(QMouseEvent* event)
{
    dragging_ = false;
    QWidget::mouseReleaseEvent(event);
}

void CUIWnd::closeEvent(QCloseEvent* event)
{
    if (modalLoop_)
        EndModal(IDCANCEL_RESULT);
    event->accept();
}
