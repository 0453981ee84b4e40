#pragma once
// The thumbnail list of one effect folder as a panel shows it: filled from the folder while the window
// stays usable, the pictures followed by three empty items; and the user's copying a picture into the
// folder or deleting one from it.
#include "effects/PictureListing.h"

#include <QString>

#include <functional>
#include <string>

class CSkinThumbs;
class QWidget;

class CEffectPictureList {
public:
    static constexpr int kTrailingItems = 3;
    static const char* const kDamagedFolderText;
    // The open-file dialog's filter for pictures the user picks.
    static const char* const kPictureFilter;

    // `owner` is the panel that holds `thumbs` and asks the questions.
    CEffectPictureList(QWidget* owner, CSkinThumbs* thumbs, std::string folder);

    const std::string& Folder() const { return folder_; }
    // folder + "/" + name.
    std::string FullPath(const QString& name) const;

    // Empties the list and fills it again from the folder, the thumbnails arriving one by one; a
    // missing or empty folder is reported to the user and leaves the list empty.
    void ListPictures();
    bool Listing() const { return listing_.Running(); }

    // Lets the user pick a picture and copies it into the folder, asking before a file of the same name
    // is overwritten; then lists the folder again.
    void AddPicture();
    // Asks, then deletes the selected picture from the folder and lists the folder again; `deleted`
    // receives the deleted picture's full path. Nothing happens without a selected picture.
    void DeletePicture(const std::function<void(const std::string& full)>& deleted);

private:
    void OnListed(bool listed);

    QWidget* owner_;
    CSkinThumbs* thumbs_;
    std::string folder_;
    CPictureListing listing_;
};
