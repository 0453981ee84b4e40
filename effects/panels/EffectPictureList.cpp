#include "effects/panels/EffectPictureList.h"

#include "ui/FileDialog.h"
#include "ui/SkinThumbs.h"
#include "ui/WndUserOptHite.h"

#include <QApplication>

#include <filesystem>

const char* const CEffectPictureList::kDamagedFolderText = "资源文件被破坏， 加载失败！";
const char* const CEffectPictureList::kPictureFilter = "图像文件(*.bmp;*.jpg;*.jpeg;*.gif;)|*.bmp;*.jpg;*.jpeg;*.gif;||";

CEffectPictureList::CEffectPictureList(QWidget* owner, CSkinThumbs* thumbs, std::string folder)
    : owner_(owner), thumbs_(thumbs), folder_(std::move(folder)),
      listing_([this](const PictureItem& item) {
          thumbs_->AddPicture(QString::fromStdString(item.Name), item.Thumbnail);
      }, [this](bool listed) { OnListed(listed); })
{
}

std::string CEffectPictureList::FullPath(const QString& name) const
{
    return folder_ + "/" + name.toStdString();
}

void CEffectPictureList::ListPictures()
{
    if (!thumbs_)
        return;
    listing_.Stop();
    thumbs_->clear();
    listing_.Start(folder_);
}

void CEffectPictureList::OnListed(bool listed)
{
    if (!listed) {
        thumbs_->clear();
        ShowMessageBox(owner_, QString::fromUtf8(kDamagedFolderText), QString::fromUtf8("错误"));
        return;
    }
    thumbs_->AddEmptyItems(kTrailingItems);
}

void CEffectPictureList::AddPicture()
{
    const std::string source = ChooseFileToOpen(owner_, QString::fromUtf8(kPictureFilter));
    if (source.empty())
        return;
    std::error_code error;
    if (std::filesystem::exists(PictureTarget(source, folder_), error) &&
        ShowMessageBox(owner_, QString::fromUtf8("文件已存在，是否覆盖？"), QString::fromUtf8("提示"),
                       BoxButtons::YesNo) != BoxAnswer::Yes)
        return;
    QApplication::setOverrideCursor(Qt::WaitCursor);
    CopyPictureIn(source, folder_);
    QApplication::restoreOverrideCursor();
    ListPictures();
}

void CEffectPictureList::DeletePicture(const std::function<void(const std::string& full)>& deleted)
{
    if (!thumbs_)
        return;
    const int index = thumbs_->SelectedPicture();
    if (index < 0)
        return;
    const QString name = thumbs_->PictureName(index);
    if (ShowMessageBox(owner_, QString::fromUtf8("确定删除特效图片") + name + "?", QString::fromUtf8("提示"),
                       BoxButtons::YesNo) != BoxAnswer::Yes)
        return;
    ::DeletePicture(folder_, name.toStdString());
    deleted(FullPath(name));
    ListPictures();
}
