#include "effects/panels/WndSubVideoSpeEffect.h"

#include "effects/panels/EffectCategories.h"
#include "effects/panels/WndSelectedEffect.h"
#include "pipeline/CaptureScr.h"
#include "ui/SkinControls.h"
#include "ui/SkinResources.h"
#include "ui/SkinThumbs.h"

namespace {

enum {
    IDC_REFRESH = 1023,
    IDC_MODE_0 = 1024,
    IDC_MODE_1 = 1025,
    IDC_ADD_PICTURE = 1026,
    IDC_DELETE_PICTURE = 1027,
    IDC_TITLE = 1034,
    IDC_PICTURES = 4102,
};

}  // namespace

CWndSubVideoSpeEffect::CWndSubVideoSpeEffect(int32_t category, std::string folder, CWndSelectedEffect* selected,
                                             QWidget* parent)
    : CUIWnd(IDR_SUB_VIDEO_SPE_EFFECT, parent), category_(category), folder_(std::move(folder)), selected_(selected)
{
}

bool CWndSubVideoSpeEffect::OnCreate()
{
    if (auto* title = Control<CSkinStatic>(IDC_TITLE))
        title->setText(QString::fromUtf8(EffectCategoryLabel(category_)));
    const SettingsRecord::EffTypeGroup* mode = EffTypeOf(category_);
    SetControlChecked(mode && mode->EffType == 1 ? IDC_MODE_1 : IDC_MODE_0, true);
    pictures_ = std::make_unique<CEffectPictureList>(this, Control<CSkinThumbs>(IDC_PICTURES), folder_);
    pictures_->ListPictures();
    return true;
}

void CWndSubVideoSpeEffect::SetMode(int32_t mode)
{
    if (SettingsRecord::EffTypeGroup* group = EffTypeOf(category_))
        group->EffType = mode;
    if (CaptureSink)
        CaptureSink->SetEffType(category_, mode);
}

void CWndSubVideoSpeEffect::OnCommand(int id)
{
    switch (id) {
    case IDC_REFRESH:
        pictures_->ListPictures();
        break;
    case IDC_ADD_PICTURE:
        pictures_->AddPicture();
        break;
    case IDC_DELETE_PICTURE:
        pictures_->DeletePicture([this](const std::string& full) {
            if (selected_)
                selected_->RemoveSelectedEffect(full);
        });
        break;
    }
}

void CWndSubVideoSpeEffect::OnNotify(const ControlNotify& notify)
{
    if (notify.id == IDC_PICTURES && notify.code == NotifyCode::DoubleClick) {
        auto* thumbs = Control<CSkinThumbs>(IDC_PICTURES);
        if (selected_ && thumbs && thumbs->IsPicture(notify.index))
            selected_->AddSelectedEffect(category_, thumbs->PictureName(notify.index).toStdString(), folder_);
        return;
    }
    if (notify.code == NotifyCode::Toggled && notify.value == 1 && (notify.id == IDC_MODE_0 || notify.id == IDC_MODE_1))
        SetMode(notify.id == IDC_MODE_1 ? 1 : 0);
}
