#include "app/WndSetting.h"

#include "app/KorvelMainFrm.h"
#include "settings/Settings.h"
#include "app/WndChoicePath.h"
#include "ui/SkinResources.h"

#include <QLineEdit>

namespace {

enum { IDC_CLOSE = 1002, IDC_EXIT_ON_CLOSE = 1166, IDC_HIDE_ON_CLOSE = 1167, IDC_OK = 1169, IDC_CANCEL = 1170 };
constexpr int kPathEdits[4] = {1171, 1172, 1173, 1174};
constexpr int kBrowseButtons[4] = {1161, 1162, 1163, 1164};
// The order of SettingChecks.
constexpr int kOptionBoxes[10] = {1165, 1152, 1153, 1154, 1155, 1156, 1157, 1158, 1159, 1160};

std::string* SettingPath(int index)
{
    auto& save = Settings.SavePath;
    std::string* fields[4] = {&save.MyPhotoPath, &save.RecordPath, &save.SongPath, &save.LyricPath};
    return fields[index];
}

}  // namespace

CWndSetting::CWndSetting(QWidget* owner) : CUIWnd(IDR_SETTING, owner, true) {}

bool CWndSetting::OnCreate()
{
    for (int i = 0; i < 4; ++i) {
        paths_[i] = QString::fromStdString(*SettingPath(i));
        if (auto* edit = Control<QLineEdit>(kPathEdits[i])) {
            // The folders are chosen with the buttons beside them; the text only shows the choice.
            edit->setReadOnly(true);
            edit->setText(paths_[i]);
            edit->setCursorPosition(0);
        }
    }
    for (int i = 0; i < 10; ++i)
        SetControlChecked(kOptionBoxes[i], Settings.SettingChecks[i] != 0);
    SetControlChecked(Settings.ExitOnClose == 1 ? IDC_EXIT_ON_CLOSE : IDC_HIDE_ON_CLOSE, true);
    return true;
}

int CWndSetting::ChoosePath(int index, QString& path)
{
    CWndChoicePath chooser(this, paths_[index]);
    const int result = chooser.DoModal();
    if (result == IDOK_RESULT)
        path = chooser.ResultPath();
    return result;
}

void CWndSetting::OnCommand(int id)
{
    for (int i = 0; i < 4; ++i) {
        if (id != kBrowseButtons[i])
            continue;
        QString chosen;
        if (ChoosePath(i, chosen) == IDOK_RESULT) {
            paths_[i] = chosen;
            if (auto* edit = Control<QLineEdit>(kPathEdits[i]))
                edit->setText(chosen);
        }
        return;
    }
    if (id == IDC_OK)
        StoreAndClose();
    else if (id == IDC_CANCEL || id == IDC_CLOSE)
        EndModal(IDCANCEL_RESULT);
}

void CWndSetting::StoreAndClose()
{
    for (int i = 0; i < 4; ++i)
        *SettingPath(i) = paths_[i].toStdString();
    for (int i = 0; i < 10; ++i)
        Settings.SettingChecks[i] = IsControlChecked(kOptionBoxes[i]) ? 1 : 0;
    Settings.ExitOnClose = IsControlChecked(IDC_EXIT_ON_CLOSE) ? 1 : 0;
    if (MainFrame)
        MainFrame->ReloadSongList();
    EndModal(IDOK_RESULT);
}
