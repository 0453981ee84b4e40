#include "effects/panels/WndColorAdjust.h"

#include "effects/panels/SliderValue.h"
#include "fileio/ProgramFolder.h"
#include "settings/Settings.h"
#include "settings/SharedValue.h"
#include "ui/SkinResources.h"
#include "ui/WndUserOptHite.h"

#include <QListWidget>
#include <QSlider>

namespace {

enum {
    IDC_FORBID = 1040,
    IDC_PRESETS = 1047,
    IDC_RESET = 1048,
    IDC_FIRST_VALUE_LABEL = 2110,
};

// The sliders in order, with the field each one moves.
struct SliderField {
    int id;
    int32_t SettingsRecord::AdjustColorGroup::*field;
};
constexpr std::array<SliderField, 6> kSliders = {{
    {1041, &SettingsRecord::AdjustColorGroup::Bright},
    {1042, &SettingsRecord::AdjustColorGroup::Contrast},
    {1043, &SettingsRecord::AdjustColorGroup::Composite},
    {1044, &SettingsRecord::AdjustColorGroup::Red},
    {1045, &SettingsRecord::AdjustColorGroup::Green},
    {1046, &SettingsRecord::AdjustColorGroup::Blue},
}};

}  // namespace

const char* const CWndColorAdjust::kSwitchOnFirstText = "请先启用色彩调节功能,再设置！";

const std::array<CWndColorAdjust::Preset, 4> CWndColorAdjust::kPresets = {{
    {"蓝色光", 90, 120, 0, 102, 150},
    {"黄色光", 90, 120, 102, 90, 0},
    {"紫色光", 90, 120, 60, 60, 120},
    {"红色光", 120, 120, 60, 0, 0},
}};

CWndColorAdjust::CWndColorAdjust(QWidget* parent) : CUIWnd(IDR_COLOR_ADJUST, parent)
{
}

bool CWndColorAdjust::OnCreate()
{
    if (auto* presets = Control<QListWidget>(IDC_PRESETS)) {
        presets->setViewMode(QListView::IconMode);
        presets->setMovement(QListView::Static);
        presets->setIconSize(QSize(40, 40));
        presets->setGridSize(QSize(80, 72));
        for (size_t n = 0; n < kPresets.size(); ++n) {
            // A missing icon leaves its item without a picture.
            const std::string icon = ProgramFile("Effect/SetColor/" + std::to_string(n + 1) + ".bmp");
            const QIcon picture(QString::fromStdString(icon));
            presets->addItem(new QListWidgetItem(picture, QString::fromUtf8(kPresets[n].Label)));
        }
    }
    ShowValues();
    return true;
}

void CWndColorAdjust::ShowValues()
{
    const auto& colour = Settings.AdjustColor;
    SetControlChecked(IDC_FORBID, colour.Forbid);
    for (size_t i = 0; i < kSliders.size(); ++i) {
        ShowSliderValue(*this, IDC_FIRST_VALUE_LABEL + int(i), colour.*kSliders[i].field, kSliders[i].id);
        if (auto* slider = Control<QSlider>(kSliders[i].id))
            slider->setEnabled(!colour.Forbid);
    }
}

bool CWndColorAdjust::AdjustmentOn()
{
    if (!LoadShared(Settings.AdjustColor.Forbid))
        return true;
    ShowUserOptHite(this, QString::fromUtf8(kSwitchOnFirstText), CWndUserOptHite::MODE_NOTICE);
    return false;
}

void CWndColorAdjust::StoreValues(int32_t bright, int32_t contrast, int32_t composite, int32_t red, int32_t green,
                                  int32_t blue)
{
    auto& colour = Settings.AdjustColor;
    StoreShared(colour.Bright, bright);
    StoreShared(colour.Contrast, contrast);
    StoreShared(colour.Composite, composite);
    StoreShared(colour.Red, red);
    StoreShared(colour.Green, green);
    StoreShared(colour.Blue, blue);
    ShowValues();
}

void CWndColorAdjust::OnCommand(int id)
{
    if (id != IDC_RESET || !AdjustmentOn())
        return;
    const auto& factory = Settings.AdjustColorDefaults;
    StoreValues(factory.Bright, factory.Contrast, factory.Composite, factory.Red, factory.Green, factory.Blue);
}

void CWndColorAdjust::OnNotify(const ControlNotify& notify)
{
    if (notify.id == IDC_FORBID && notify.code == NotifyCode::Toggled) {
        StoreShared(Settings.AdjustColor.Forbid, notify.value != 0);
        ShowValues();
        return;
    }
    if (notify.id == IDC_PRESETS && notify.code == NotifyCode::Click) {
        if (notify.index < 0 || size_t(notify.index) >= kPresets.size() || !AdjustmentOn())
            return;
        const Preset& preset = kPresets[size_t(notify.index)];
        StoreValues(preset.Bright, preset.Contrast, 100, preset.Red, preset.Green, preset.Blue);
        return;
    }
    for (size_t i = 0; i < kSliders.size(); ++i) {
        if (notify.id != kSliders[i].id || notify.code != NotifyCode::ValueChanged)
            continue;
        StoreShared(Settings.AdjustColor.*kSliders[i].field, notify.value);
        ShowSliderValue(*this, IDC_FIRST_VALUE_LABEL + int(i), notify.value);
    }
}
