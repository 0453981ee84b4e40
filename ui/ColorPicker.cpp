#include "ui/ColorPicker.h"

#include "ui/ColorRef.h"

#include <QColorDialog>
#include <QPainter>
#include <QPainterPath>

namespace {

std::optional<QColor> DialogChooser(QWidget* owner, const QColor& initial)
{
    const QColor chosen = QColorDialog::getColor(initial, owner, QString::fromUtf8("颜色"));
    return chosen.isValid() ? std::optional<QColor>(chosen) : std::nullopt;
}

ColorChooser& Chooser()
{
    static ColorChooser chooser = DialogChooser;
    return chooser;
}

}  // namespace

std::optional<uint32_t> ChooseColor(QWidget* owner, uint32_t initialColorRef)
{
    const std::optional<QColor> chosen = Chooser()(owner, ColorFromRef(initialColorRef));
    return chosen ? std::optional<uint32_t>(ColorToRef(*chosen)) : std::nullopt;
}

void SetColorChooser(ColorChooser chooser)
{
    Chooser() = chooser ? std::move(chooser) : ColorChooser(DialogChooser);
}

CColorPicker::CColorPicker(QWidget* parent) : QAbstractButton(parent)
{
    setCursor(Qt::PointingHandCursor);
    setAttribute(Qt::WA_Hover);  // repainted as the mouse enters and leaves
    connect(this, &QAbstractButton::clicked, this, &CColorPicker::Choose);
}

void CColorPicker::SetColor(uint32_t colorRef)
{
    color_ = colorRef & 0xFFFFFF;
    update();
}

QSize CColorPicker::sizeHint() const
{
    return QSize(60, 24);
}

void CColorPicker::Choose()
{
    const std::optional<uint32_t> chosen = ChooseColor(this, color_);
    if (!chosen || *chosen == color_)
        return;
    SetColor(*chosen);
    emit colorChosen(color_);
}

void CColorPicker::paintEvent(QPaintEvent*)
{
    // The look of the skin's edits and combo boxes: a white rounded box, the colour inside, an arrow.
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const QRectF box = QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5);
    const bool active = isEnabled() && (underMouse() || isDown() || hasFocus());
    painter.setPen(active ? QColor(0x2E, 0x6B, 0xD6) : QColor(0xC4, 0xCF, 0xE2));
    painter.setBrush(isEnabled() ? Qt::white : QColor(0xF2, 0xF4, 0xF8));
    painter.drawRoundedRect(box, 4, 4);

    const int arrowWidth = 16;
    const QRect swatch = rect().adjusted(4, 4, -4 - arrowWidth, -4);
    painter.setPen(QColor(0xD6, 0xDE, 0xEC));
    QColor fill = ColorFromRef(color_);
    if (!isEnabled())
        fill.setAlpha(110);
    painter.setBrush(fill);
    painter.drawRoundedRect(QRectF(swatch).adjusted(0.5, 0.5, -0.5, -0.5), 2, 2);

    const QPointF tip(width() - 4 - arrowWidth / 2.0, height() / 2.0 + 2);
    QPainterPath arrow;
    arrow.moveTo(tip + QPointF(-4, -4));
    arrow.lineTo(tip);
    arrow.lineTo(tip + QPointF(4, -4));
    painter.setBrush(Qt::NoBrush);
    painter.setPen(QPen(QColor(0x78, 0x82, 0x96), 1.5));
    painter.drawPath(arrow);
}
