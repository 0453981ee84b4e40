#include "ui/SkinControls.h"

#include "ui/ColorPicker.h"
#include "ui/ShellTree.h"
#include "ui/SkinSpin.h"
#include "ui/SkinThumbs.h"
#include "ui/SkinTree.h"
#include "ui/SkinTreeList.h"

#include <QComboBox>
#include <QEnterEvent>
#include <QHeaderView>
#include <QLineEdit>
#include <QListWidget>
#include <QPainter>
#include <QProgressBar>
#include <QScrollBar>
#include <QSlider>
#include <QStyleOptionButton>

namespace {

const char* const kStateSuffix[] = {"_normal", "_hover", "_pressed", "_checked", "_disabled"};

QPixmap LoadPicture(const CSkin& skin, const QString& name)
{
    QPixmap picture;
    if (!name.isEmpty())
        picture.load(skin.ImagePath(name));
    return picture;
}

// The control's own font and colour; a widget's style sheet outranks the window's.
void ApplyLook(QWidget* widget, const SkinControl& control)
{
    QString css;
    if (control.fontSize > 0)
        css += QString("font-size: %1px;").arg(control.fontSize);
    if (control.bold)
        css += "font-weight: bold;";
    const bool textColour = control.kind == ControlKind::Static || control.kind == ControlKind::Edit;
    if (textColour && control.color.isValid())
        css += QString("color: %1;").arg(control.color.name());
    if (!css.isEmpty())
        widget->setStyleSheet(css);
}

QWidget* BuildWidget(const CSkin& skin, const SkinControl& control, QWidget* parent)
{
    const Qt::Orientation orientation =
        control.rect.width() >= control.rect.height() ? Qt::Horizontal : Qt::Vertical;
    switch (control.kind) {
    case ControlKind::Button:
    case ControlKind::Tab:
    case ControlKind::Check:
    case ControlKind::Radio:
        return new CSkinButton(skin, control, parent);
    case ControlKind::Static:
        return new CSkinStatic(skin, control, parent);
    case ControlKind::Edit: {
        auto* edit = new QLineEdit(control.text, parent);
        edit->setAlignment(control.align);
        return edit;
    }
    case ControlKind::Combo: {
        auto* combo = new QComboBox(parent);
        if (!control.items.isEmpty())
            combo->addItems(control.items);
        return combo;
    }
    case ControlKind::Slider: {
        auto* slider = new QSlider(orientation, parent);
        slider->setRange(control.minimum, control.maximum);
        slider->setValue(control.value);
        return slider;
    }
    case ControlKind::Progress: {
        auto* bar = new QProgressBar(parent);
        bar->setRange(control.minimum, control.maximum);
        bar->setValue(control.value);
        bar->setTextVisible(false);
        return bar;
    }
    case ControlKind::List: {
        auto* list = new QListWidget(parent);
        list->setSelectionMode(QAbstractItemView::SingleSelection);
        list->addItems(control.items);
        return list;
    }
    case ControlKind::Thumbs:
        return new CSkinThumbs(parent);
    case ControlKind::Tree:
        return new CSkinTree(skin, control, parent);
    case ControlKind::TreeList:
        return new CSkinTreeList(control, parent);
    case ControlKind::ScrollBar: {
        auto* bar = new QScrollBar(orientation, parent);
        bar->setRange(control.minimum, control.maximum);
        return bar;
    }
    case ControlKind::Spin:
        return new CSkinSpin(control, parent);
    case ControlKind::Color:
        return new CColorPicker(parent);
    case ControlKind::FolderTree:
        return new CShellTree(parent);
    case ControlKind::Web:
    case ControlKind::Placeholder:
        return nullptr;
    }
    return nullptr;
}

}  // namespace

CSkinButton::CSkinButton(const CSkin& skin, const SkinControl& control, QWidget* parent)
    : QAbstractButton(parent), kind_(control.kind), color_(control.color), checkedColor_(control.checkedColor), align_(control.align)
{
    for (int state = 0; state < StateCount; ++state)
        if (!control.image.isEmpty())
            pictures_[state] = LoadPicture(skin, control.image + kStateSuffix[state] + ".png");
    icon_ = LoadPicture(skin, control.icon);
    checkedIcon_ = LoadPicture(skin, control.checkedIcon);
    setText(control.text);
    setCheckable(kind_ != ControlKind::Button);
    setChecked(control.checked);
    setCursor(Qt::PointingHandCursor);
    setAttribute(Qt::WA_Hover);
}

QSize CSkinButton::sizeHint() const
{
    return pictures_[Normal].isNull() ? QSize(80, 28) : pictures_[Normal].size();
}

const QPixmap& CSkinButton::Picture(State state) const
{
    // A state without its own picture falls back to the nearest one that exists.
    if (!pictures_[state].isNull())
        return pictures_[state];
    if (state == Pressed && !pictures_[Checked].isNull())
        return pictures_[Checked];
    if (state == Checked && !pictures_[Pressed].isNull())
        return pictures_[Pressed];
    return pictures_[Normal];
}

void CSkinButton::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    State state = Normal;
    if (!isEnabled())
        state = Disabled;
    else if (isDown())
        state = Pressed;
    else if (isChecked())
        state = Checked;
    else if (hovered_)
        state = Hover;
    // Indicators of check boxes and radios are checked or not; hover and press only tint them.
    if ((kind_ == ControlKind::Check || kind_ == ControlKind::Radio) && isEnabled())
        state = isChecked() ? Checked : (hovered_ || isDown() ? Hover : Normal);

    const QPixmap& picture = Picture(state);
    QRect textRect = rect();
    if (kind_ == ControlKind::Check || kind_ == ControlKind::Radio) {
        const int side = picture.isNull() ? 16 : picture.height();
        const QRect box(0, (height() - side) / 2, picture.isNull() ? side : picture.width(), side);
        if (!picture.isNull())
            painter.drawPixmap(box, picture);
        textRect.setLeft(box.right() + 7);
    } else if (!picture.isNull()) {
        painter.drawPixmap(rect(), picture);
    }

    const bool centred = kind_ == ControlKind::Button || kind_ == ControlKind::Tab;
    const QPixmap& icon = (state == Checked || state == Pressed) && !checkedIcon_.isNull() ? checkedIcon_ : icon_;
    if (!icon.isNull()) {
        // Icon and text sit together: centred on push buttons and tabs, at the left otherwise.
        const QSize iconSize = icon.size().boundedTo(size());
        const int gap = text().isEmpty() ? 0 : 6;
        const int group = iconSize.width() + gap + (text().isEmpty() ? 0 : fontMetrics().horizontalAdvance(text()));
        const int x = centred ? (width() - group) / 2 : textRect.left() + 8;
        const QRect iconRect(x, (height() - iconSize.height()) / 2, iconSize.width(), iconSize.height());
        painter.drawPixmap(iconRect, icon);
        textRect.setLeft(iconRect.right() + 1 + gap);
    }

    if (text().isEmpty())
        return;
    QColor color = color_.isValid() ? color_ : palette().color(QPalette::ButtonText);
    if (checkedColor_.isValid() && (state == Checked || state == Pressed))
        color = checkedColor_;
    if (!isEnabled())
        color.setAlpha(110);
    painter.setPen(color);
    painter.setFont(font());
    const int align = !centred ? int(align_) : icon.isNull() ? int(Qt::AlignCenter) : int(Qt::AlignLeft | Qt::AlignVCenter);
    painter.drawText(textRect, align, text());
}

void CSkinButton::enterEvent(QEnterEvent* event)
{
    hovered_ = true;
    update();
    QAbstractButton::enterEvent(event);
}

void CSkinButton::leaveEvent(QEvent* event)
{
    hovered_ = false;
    update();
    QAbstractButton::leaveEvent(event);
}

CSkinStatic::CSkinStatic(const CSkin& skin, const SkinControl& control, QWidget* parent)
    : QLabel(control.text, parent), picture_(LoadPicture(skin, control.image))
{
    setAlignment(control.align);
    setWordWrap(control.wrap);
}

void CSkinStatic::paintEvent(QPaintEvent* event)
{
    if (!picture_.isNull()) {
        QPainter painter(this);
        painter.setRenderHint(QPainter::SmoothPixmapTransform);
        painter.drawPixmap(rect(), picture_);
    }
    QLabel::paintEvent(event);
}

QWidget* CreateSkinControl(const CSkin& skin, const SkinControl& control, QWidget* parent)
{
    QWidget* widget = BuildWidget(skin, control, parent);
    if (!widget)
        return nullptr;
    widget->setObjectName(QString("ctl%1").arg(control.id));
    widget->setProperty("skinKind", ControlKindName(control.kind));
    widget->setGeometry(control.rect);
    ApplyLook(widget, control);
    if (!control.tip.isEmpty())
        widget->setToolTip(control.tip);
    // What a screen reader speaks: the skin's name for it, else the text, else the tip of a control
    // that shows no text (icon buttons).
    if (!control.name.isEmpty())
        widget->setAccessibleName(control.name);
    else if (control.text.isEmpty() && !control.tip.isEmpty())
        widget->setAccessibleName(control.tip);
    widget->setEnabled(control.enabled);
    widget->setVisible(control.visible);
    return widget;
}
