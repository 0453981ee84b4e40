#include "pipeline/panels/WndVideoScr.h"

#include "pipeline/CaptureScr.h"
#include "pipeline/SourceKind.h"
#include "pipeline/panels/WndMedList.h"
#include "pipeline/panels/WndMedView.h"
#include "pipeline/panels/WndSubCapture.h"
#include "pipeline/panels/WndSubImgView.h"
#include "pipeline/panels/WndSubVideoSetting.h"
#include "settings/Settings.h"
#include "ui/SkinResources.h"
#include "ui/SkinTree.h"

namespace {

enum : int {
    IDC_SOURCE_TREE = 4201,
    IDC_SUB_AREA = 4203,
    IDC_MEDIA_LIST_AREA = 4204,
    IDC_MEDIA_VIEW_AREA = 4205,
};

}  // namespace

CWndVideoScr::CWndVideoScr(QWidget* parent) : CUIWnd(IDR_VIDEO_SCR, parent)
{
}

bool CWndVideoScr::OnCreate()
{
    auto* tree = Control<CSkinTree>(IDC_SOURCE_TREE);
    if (!tree)
        return false;
    tree->AddItem(QString::fromUtf8("摄像头"), SOURCE_CAMERA);
    tree->AddItem(QString::fromUtf8("媒体文件"), SOURCE_MEDIA);
    tree->AddItem(QString::fromUtf8("图片"), SOURCE_PICTURE);
    tree->AddItem(QString::fromUtf8("屏幕捕捉"), SOURCE_SCREEN);

    cameraPanel_ = CreateChildPanel<CWndSubVideoSetting>(IDC_SUB_AREA, false);
    mediaList_ = CreateChildPanel<CWndMedList>(IDC_MEDIA_LIST_AREA, false);
    mediaView_ = CreateChildPanel<CWndMedView>(IDC_MEDIA_VIEW_AREA, false);
    picturePanel_ = CreateChildPanel<CWndSubImgView>(IDC_SUB_AREA, false);
    screenPanel_ = CreateChildPanel<CWndSubCapture>(IDC_SUB_AREA, false);
    if (!cameraPanel_ || !mediaList_ || !mediaView_ || !picturePanel_ || !screenPanel_)
        return false;
    tree->SelectByData(SOURCE_CAMERA);
    return true;
}

int32_t CWndVideoScr::ChosenSource() const
{
    const auto* tree = Control<CSkinTree>(IDC_SOURCE_TREE);
    return tree ? tree->SelectedData() : -1;
}

void CWndVideoScr::OnNotify(const ControlNotify& notify)
{
    if (notify.id == IDC_SOURCE_TREE && notify.code == NotifyCode::SelChanged)
        ChooseSource(notify.value);
}

void CWndVideoScr::ChooseSource(int32_t source)
{
    if (CaptureSink)
        SwitchSource(*CaptureSink, source, [this] { screenPanel_->StopCaptureFully(); });
    cameraPanel_->setVisible(source == SOURCE_CAMERA);
    mediaList_->setVisible(source == SOURCE_MEDIA);
    mediaView_->setVisible(source == SOURCE_MEDIA);
    picturePanel_->setVisible(source == SOURCE_PICTURE);
    screenPanel_->setVisible(source == SOURCE_SCREEN);
}

void CWndVideoScr::ShowPictureFile(const std::string& path)
{
    if (CaptureSink)
        SwitchToPictureFile(*CaptureSink, path);
}

bool CWndVideoScr::OnMessage(CWindowMessage& message)
{
    switch (message.Message()) {
    case WM_SELECT_SCREEN_SOURCE:
        if (auto* tree = Control<CSkinTree>(IDC_SOURCE_TREE))
            tree->SelectByData(SOURCE_SCREEN);
        return true;
    case WM_MEDIA_LIST_ENDED:
        return SendWindowMessage(mediaList_, WM_MEDIA_LIST_ENDED, message.wParam, message.lParam);
    case WM_SHOW_PICTURE_FILE:
        if (const auto* path = std::any_cast<std::string>(&message.payload))
            ShowPictureFile(*path);
        return true;
    }
    return false;
}
