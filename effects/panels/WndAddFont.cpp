#include "effects/panels/WndAddFont.h"

#include "effects/panels/SliderValue.h"
#include "pipeline/CaptureScr.h"
#include "settings/Settings.h"
#include "ui/ColorPicker.h"
#include "ui/SkinResources.h"
#include "ui/SkinSpin.h"

#include <QComboBox>
#include <QFontDatabase>
#include <QLineEdit>

namespace {

enum {
    IDC_TEXT_COLOR = 1000,
    IDC_BAND_COLOR = 2000,
    IDC_FONT_FACE = 1061,
    IDC_FONT_SIZE = 1062,
    IDC_POSITION = 1063,
    IDC_MOVEMENT = 1065,
    IDC_CONTENT = 1066,
    IDC_SPEED = 1067,
    IDC_CLOSE = 1068,
    IDC_SPEED_VALUE = 2110,
};

}  // namespace

CWndAddFont::CWndAddFont(QWidget* parent) : CUIWnd(IDR_ADD_FONT, parent)
{
}

bool CWndAddFont::OnCreate()
{
    const auto& font = Settings.AddFont;
    if (auto* picker = Control<CColorPicker>(IDC_TEXT_COLOR))
        picker->SetColor(font.FontCor);
    if (auto* picker = Control<CColorPicker>(IDC_BAND_COLOR))
        picker->SetColor(font.BackGrdCor);
    if (auto* edit = Control<QLineEdit>(IDC_CONTENT))
        edit->setText(QString::fromStdString(font.Content));
    if (auto* faces = Control<QComboBox>(IDC_FONT_FACE)) {
        // Each installed face once; a face that is not installed shows the first.
        faces->addItems(QFontDatabase::families());
        faces->setCurrentIndex(std::max(0, faces->findText(QString::fromStdString(font.FontName))));
    }
    if (auto* sizes = Control<QComboBox>(IDC_FONT_SIZE)) {
        for (int size = kSmallestSize; size <= kLargestSize; ++size)
            sizes->addItem(QString::number(size));
        sizes->setCurrentIndex(font.FontSize - kSmallestSize);
    }
    ShowSliderValue(*this, IDC_SPEED_VALUE, font.ChangSpeed, IDC_SPEED);
    if (auto* movement = Control<QComboBox>(IDC_MOVEMENT))
        movement->setCurrentIndex(font.ChangeType);
    if (auto* position = Control<CSkinSpin>(IDC_POSITION))
        position->setValue(font.FontHeight);
    SetControlChecked(IDC_CLOSE, font.Close);
    return true;
}

void CWndAddFont::ApplyTextLine()
{
    if (CaptureSink)
        CaptureSink->SetTextLine(Settings.AddFont);
}

template <class T, class V>
void CWndAddFont::Change(T& field, const V& value)
{
    if (field == value)
        return;
    field = value;
    if (!Settings.AddFont.Close)
        ApplyTextLine();
}

void CWndAddFont::OnNotify(const ControlNotify& notify)
{
    auto& font = Settings.AddFont;
    switch (notify.id) {
    case IDC_CONTENT:
        if (notify.code == NotifyCode::TextChanged)
            Change(font.Content, notify.text.toStdString());
        break;
    case IDC_FONT_FACE:
        if (notify.code == NotifyCode::SelChanged)
            Change(font.FontName, notify.text.toStdString());
        break;
    case IDC_FONT_SIZE:
        if (notify.code == NotifyCode::SelChanged && notify.index >= 0)
            Change(font.FontSize, notify.index + kSmallestSize);
        break;
    case IDC_MOVEMENT:
        if (notify.code == NotifyCode::SelChanged && notify.index >= 0)
            Change(font.ChangeType, notify.index);
        break;
    case IDC_SPEED:
        if (notify.code != NotifyCode::ValueChanged)
            break;
        ShowSliderValue(*this, IDC_SPEED_VALUE, notify.value);
        Change(font.ChangSpeed, notify.value);
        break;
    case IDC_POSITION:
        if (notify.code == NotifyCode::ValueChanged)
            Change(font.FontHeight, notify.value);
        break;
    case IDC_TEXT_COLOR:
        if (notify.code == NotifyCode::ValueChanged)
            Change(font.FontCor, uint32_t(notify.value));
        break;
    case IDC_BAND_COLOR:
        if (notify.code == NotifyCode::ValueChanged)
            Change(font.BackGrdCor, uint32_t(notify.value));
        break;
    case IDC_CLOSE:
        if (notify.code != NotifyCode::Toggled)
            break;
        font.Close = notify.value != 0;
        if (CaptureSink)
            CaptureSink->SetTextClose(font.Close);
        if (!font.Close)
            ApplyTextLine();
        break;
    }
}
