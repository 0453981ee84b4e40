#pragma once
// The camera settings: the capture device to use, its formats and sizes, the frame gap, the wait-video
// picture, refresh and apply.
#include "pipeline/CameraChoices.h"
#include "pipeline/PictureFolderScan.h"
#include "ui/UIWnd.h"

#include <string>
#include <vector>

class CWndSubVideoSetting : public CUIWnd {
    Q_OBJECT
public:
    explicit CWndSubVideoSetting(QWidget* parent);

    const CCameraChoices& Choices() const { return choices_; }
    // The wait-video pictures listed so far, as file names.
    const std::vector<std::string>& WaitPictures() const { return waitPictures_; }
    // The wait-video list is filled in the background; true once it is complete.
    bool WaitPicturesListed() const { return waitListed_; }

protected:
    bool OnCreate() override;
    void OnCommand(int id) override;
    void OnNotify(const ControlNotify& notify) override;

private:
    void FillDeviceLists();
    void ShowFormats();
    void FillWaitPictures();
    void Refresh();
    void Apply();
    void ChooseWaitPicture(int index);

    CCameraChoices choices_;
    std::string waitFolder_;
    std::vector<std::string> waitPictures_;
    bool waitListed_ = false;
    CPictureFolderScan waitScan_;
};
