#include "effects/panels/WndInnerImg.h"

#include "effects/EffectLibrary.h"
#include "effects/panels/SliderValue.h"
#include "fileio/ProgramFolder.h"
#include "pipeline/CaptureScr.h"
#include "settings/Settings.h"
#include "ui/FileDialog.h"
#include "ui/SkinResources.h"
#include "ui/SkinThumbs.h"
#include "ui/WndUserOptHite.h"

#include <QComboBox>

namespace {

enum {
    IDC_MOVEMENT = 1051,
    IDC_RESET = 1056,
    IDC_BACKGROUND = 1057,
    IDC_CLOSE = 1058,
    IDC_FIRST_VALUE_LABEL = 2110,
    IDC_MASKS = 4112,
};

constexpr int IDC_ZOOM_SIZE = 1054;

struct SliderField {
    int id;
    int32_t SettingsRecord::InnerImgGroup::*field;
};
constexpr std::array<SliderField, 4> kSliders = {{
    {1052, &SettingsRecord::InnerImgGroup::HOffset},
    {1053, &SettingsRecord::InnerImgGroup::VOffset},
    {IDC_ZOOM_SIZE, &SettingsRecord::InnerImgGroup::ZoomSize},
    {1055, &SettingsRecord::InnerImgGroup::Contrast},
}};

const char* const kMovements[] = {"固定", "动态叠加", "平面飘动", "水平飘动", "垂直飘动"};

}  // namespace

const char* const CWndInnerImg::kSwitchOnFirstText = "请先启用画中画功能,再设置！";

CWndInnerImg::CWndInnerImg(QWidget* parent) : CUIWnd(IDR_INNER_IMG, parent)
{
}

bool CWndInnerImg::OnCreate()
{
    if (auto* movement = Control<QComboBox>(IDC_MOVEMENT))
        for (const char* entry : kMovements)
            movement->addItem(QString::fromUtf8(entry));
    ShowValues();
    SetControlChecked(IDC_CLOSE, Settings.InnerImg.Close);
    masks_ = std::make_unique<CEffectPictureList>(this, Control<CSkinThumbs>(IDC_MASKS),
                                                  ProgramFile(EffectFolder(EFFECT_DOUBLE_IMAGE)));
    masks_->ListPictures();
    return true;
}

void CWndInnerImg::ShowValues()
{
    const auto& pip = Settings.InnerImg;
    if (auto* movement = Control<QComboBox>(IDC_MOVEMENT))
        movement->setCurrentIndex(pip.FloatType);
    for (size_t i = 0; i < kSliders.size(); ++i)
        ShowSliderValue(*this, IDC_FIRST_VALUE_LABEL + int(i), pip.*kSliders[i].field, kSliders[i].id);
}

void CWndInnerImg::ApplyPip()
{
    if (CaptureSink)
        CaptureSink->SetPip(Settings.InnerImg);
}

void CWndInnerImg::ChooseMask(int index)
{
    auto* thumbs = Control<CSkinThumbs>(IDC_MASKS);
    if (Settings.InnerImg.Close || !thumbs || !thumbs->IsPicture(index))
        return;
    const std::string mask = masks_->FullPath(thumbs->PictureName(index));
    if (mask == Settings.InnerImg.FrontImg)
        return;
    Settings.InnerImg.FrontImg = mask;
    ApplyPip();
}

void CWndInnerImg::ChooseBackground()
{
    const std::string path = ChooseFileToOpen(this, QString::fromUtf8(CEffectPictureList::kPictureFilter));
    if (path.empty())
        return;
    Settings.InnerImg.BackImg = path;
    if (CaptureSink)
        CaptureSink->SetPipBackImage(path);
}

void CWndInnerImg::Reset()
{
    auto& pip = Settings.InnerImg;
    if (pip.Close) {
        ShowUserOptHite(this, QString::fromUtf8(kSwitchOnFirstText), CWndUserOptHite::MODE_NOTICE);
        return;
    }
    const auto& factory = Settings.InnerImgDefaults;
    pip.FloatType = factory.FloatType;
    pip.HOffset = factory.HOffset;
    pip.VOffset = factory.VOffset;
    pip.ZoomSize = factory.ZoomSize;
    pip.Contrast = factory.Contrast;
    ShowValues();
    ApplyPip();
}

void CWndInnerImg::OnCommand(int id)
{
    switch (id) {
    case IDC_RESET:
        Reset();
        break;
    case IDC_BACKGROUND:
        ChooseBackground();
        break;
    }
}

void CWndInnerImg::OnNotify(const ControlNotify& notify)
{
    auto& pip = Settings.InnerImg;
    if (notify.id == IDC_MOVEMENT && notify.code == NotifyCode::SelChanged) {
        if (notify.index < 0 || notify.index == pip.FloatType)
            return;
        pip.FloatType = notify.index;
        ApplyPip();
        return;
    }
    if (notify.id == IDC_MASKS && notify.code == NotifyCode::DoubleClick) {
        ChooseMask(notify.index);
        return;
    }
    if (notify.id == IDC_CLOSE && notify.code == NotifyCode::Toggled) {
        pip.Close = notify.value != 0;
        if (CaptureSink)
            CaptureSink->SetPipClose(pip.Close);
        return;
    }
    for (size_t i = 0; i < kSliders.size(); ++i) {
        const SliderField& slider = kSliders[i];
        if (notify.id != slider.id || notify.code != NotifyCode::ValueChanged)
            continue;
        ShowSliderValue(*this, IDC_FIRST_VALUE_LABEL + int(i), notify.value);
        if (pip.*slider.field == notify.value)
            return;
        // Sizing the copy while no background is set lays the default picture behind it.
        if (slider.id == IDC_ZOOM_SIZE && pip.BackImg.empty())
            pip.BackImg = Settings.CameraSrc.DefImg;
        pip.*slider.field = notify.value;
        ApplyPip();
        return;
    }
}
