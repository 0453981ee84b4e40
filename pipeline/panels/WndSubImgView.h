#pragma once
// The picture browser: a folder tree, the history of folders shown, and the pictures of the chosen
// folder as thumbnails, filled in the background; a double click shows a picture.
#include "pipeline/PictureFolderScan.h"
#include "ui/UIWnd.h"

#include <string>
#include <vector>

class CWndSubImgView : public CUIWnd {
    Q_OBJECT
public:
    static constexpr const char* kMissingFolderText = "找不到指定路径！";
    static constexpr const char* kMissingFolderCaption = "错误";

    explicit CWndSubImgView(QWidget* parent);

    const std::vector<std::string>& History() const { return history_; }
    const std::string& Folder() const { return folder_; }
    // The thumbnails are filled in the background; true once the folder's are all there.
    bool PicturesListed() const { return listed_; }

protected:
    bool OnCreate() override;
    void OnNotify(const ControlNotify& notify) override;

private:
    void ShowFolder(const std::string& folder);
    void ShowHistory();
    void ReportMissingFolder();

    std::vector<std::string> history_;
    std::string folder_;
    bool listed_ = false;
    CPictureFolderScan scan_;
};
