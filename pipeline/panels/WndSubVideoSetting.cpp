#include "pipeline/panels/WndSubVideoSetting.h"

#include "pipeline/CaptureScr.h"
#include "pipeline/DeviceChoice.h"
#include "pipeline/WaitPictures.h"
#include "pipeline/panels/ComboItems.h"
#include "settings/LinkIni.h"
#include "settings/Settings.h"
#include "ui/SkinResources.h"

#include <QComboBox>
#include <QSignalBlocker>

namespace {

enum : int {
    IDC_DEVICES = 1076,
    IDC_REFRESH = 1077,
    IDC_COLOR_ADJUST = 1078,
    IDC_APPLY = 1079,
    IDC_FORMATS = 1080,
    IDC_SIZES = 1081,
    IDC_FRAME_GAP = 1082,
    IDC_WAIT_PICTURES = 1083,
};

constexpr int kFrameGaps = 15;
constexpr int kDefaultFrameGap = 10;

}  // namespace

CWndSubVideoSetting::CWndSubVideoSetting(QWidget* parent)
    : CUIWnd(IDR_SUB_VIDEO_SETTING, parent), choices_(SplitExcludedNames(ExcludeDevices))
{
}

bool CWndSubVideoSetting::OnCreate()
{
    waitFolder_ = WaitVideoFolder();
    if (auto* devices = Control<QComboBox>(IDC_DEVICES))
        devices->setPlaceholderText(QString::fromUtf8("未找到视频设备"));
    FillDeviceLists();
    std::vector<std::string> gaps;
    for (int gap = 1; gap <= kFrameGaps; ++gap)
        gaps.push_back(std::to_string(gap));
    SetComboItems(Control<QComboBox>(IDC_FRAME_GAP), gaps, kDefaultFrameGap - 1);
    FillWaitPictures();
    return true;
}

void CWndSubVideoSetting::FillDeviceLists()
{
    choices_.FillDevices(CaptureSink ? CaptureSink->DeviceList() : nullptr);
    SetComboItems(Control<QComboBox>(IDC_DEVICES), choices_.Devices(), choices_.Selected());
    choices_.FillFormats(CaptureSink ? CaptureSink->ResolutionList() : nullptr);
    ShowFormats();
}

void CWndSubVideoSetting::ShowFormats()
{
    SetComboItems(Control<QComboBox>(IDC_FORMATS), choices_.Formats(), choices_.Formats().empty() ? -1 : 0);
    SetComboItems(Control<QComboBox>(IDC_SIZES), choices_.Sizes(), choices_.PreferredSize());
}

void CWndSubVideoSetting::FillWaitPictures()
{
    waitPictures_.clear();
    waitListed_ = false;
    SetComboItems(Control<QComboBox>(IDC_WAIT_PICTURES), {}, -1);
    waitScan_.Start(
        waitFolder_, false, this,
        [this](std::vector<ScannedPicture> batch) {
            auto* combo = Control<QComboBox>(IDC_WAIT_PICTURES);
            const QSignalBlocker quiet(combo);
            for (const ScannedPicture& picture : batch) {
                waitPictures_.push_back(picture.name);
                combo->addItem(QString::fromStdString(NameWithoutExtension(picture.name)));
            }
        },
        [this](bool) {
            // The saved picture is selected once the list is complete; a missing folder lists nothing.
            auto* combo = Control<QComboBox>(IDC_WAIT_PICTURES);
            const QSignalBlocker quiet(combo);
            combo->setCurrentIndex(::ChooseWaitPicture(waitFolder_, waitPictures_, Settings.CameraSrc.DefImg));
            waitListed_ = true;
        });
}

void CWndSubVideoSetting::Refresh()
{
    if (CaptureSink)
        CaptureSink->RefreshDeviceLists();
    choices_.Forget();
    FillDeviceLists();
    FillWaitPictures();
}

void CWndSubVideoSetting::Apply()
{
    if (!CaptureSink)
        return;
    choices_.Apply(*CaptureSink);
    ShowFormats();
}

void CWndSubVideoSetting::ChooseWaitPicture(int index)
{
    if (index < 0 || size_t(index) >= waitPictures_.size())
        return;
    Settings.CameraSrc.DefImg = waitFolder_ + "/" + waitPictures_[size_t(index)];
    SendWindowMessage(parentWidget(), WM_SHOW_PICTURE_FILE, 0, 0, Settings.CameraSrc.DefImg);
}

void CWndSubVideoSetting::OnCommand(int id)
{
    switch (id) {
    case IDC_REFRESH:
        Refresh();
        break;
    case IDC_COLOR_ADJUST:
        SendWindowMessage(window(), WM_SWITCH_TO_EFFECTS);
        break;
    case IDC_APPLY:
        Apply();
        break;
    }
}

void CWndSubVideoSetting::OnNotify(const ControlNotify& notify)
{
    if (notify.code != NotifyCode::SelChanged)
        return;
    switch (notify.id) {
    case IDC_DEVICES:
        choices_.Select(notify.index);
        break;
    case IDC_FRAME_GAP:
        if (CaptureSink && notify.text.toInt() > 0)
            CaptureSink->SetFrameInterval(notify.text.toUInt());
        break;
    case IDC_WAIT_PICTURES:
        ChooseWaitPicture(notify.index);
        break;
    }
}
