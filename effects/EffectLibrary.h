#pragma once
// The effect picture library: one folder of picture files per category under the program folder,
// listed as thumbnails, added to and deleted from by the user, and an index file beside the program.
#include <QImage>

#include <array>
#include <cstdint>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <vector>

// The picture extensions, lowercase, in this order.
extern const std::array<const char*, 5> kPictureExtensions;

// The text after the last "." (the whole name without one), lowercased, is a picture extension.
bool IsPictureFile(const std::string& name);

// The library folder of a category relative to the program folder ("Effect/frame" …); empty for a code
// without one.
std::string EffectFolder(int32_t category);

// A thumbnail list holds the pictures followed by three empty items; only the former are pictures.
bool IsPictureItem(int index, int itemCount);

using ListingSleep = std::function<void(int milliseconds)>;
void SleepMilliseconds(int milliseconds);

// Hands each picture name of a folder to `found`, in the order the file system gives the entries, until
// `found` returns false. Every directory entry counts towards the pauses: 200 ms after every twentieth
// entry that follows the first, with a counter that starts again after 255. False when the folder cannot
// be read or holds nothing at all.
bool WalkPictureNames(const std::string& folder, const ListingSleep& sleep,
                      const std::function<bool(const std::string&)>& found);

// The picture names of a folder; nullopt when it cannot be read or holds nothing.
std::optional<std::vector<std::string>> ListPictureNames(const std::string& folder,
                                                         const ListingSleep& sleep = SleepMilliseconds);

struct PictureItem {
    std::string Name;
    QImage Thumbnail;  // null when the picture cannot be loaded
};
// A picture of the folder with its 60×40 thumbnail.
PictureItem MakePictureItem(const std::string& folder, const std::string& name);
// The same listing with a 60×40 thumbnail of each picture.
std::optional<std::vector<PictureItem>> ListPictures(const std::string& folder,
                                                     const ListingSleep& sleep = SleepMilliseconds);

// Target pixel (x, y) takes source pixel (x · sw / width, y · sh / height), rounded down; no smoothing.
QImage MakeThumbnail(const QImage& source, int width = 60, int height = 40);

// Where a picture copied into the folder goes: the folder and the source's file name.
std::string PictureTarget(const std::string& source, const std::string& folder);
// Copies the picture into the folder, overwriting; false when nothing was copied.
bool CopyPictureIn(const std::string& source, const std::string& folder);
// Deletes a picture file of the folder; a name that is not a plain file name there deletes nothing.
bool DeletePicture(const std::string& folder, const std::string& name);

// Img_Config.xml: per category element, picture name → "BackGround" number.
struct EffectIndex {
    static constexpr std::array<const char*, 6> kCategories = {"Cartoon", "Frame", "Light", "Other",
                                                              "SpecialEffectIcon", "DoubleImage"};
    std::array<std::map<std::string, int32_t>, 6> Tables;
};
// A missing or malformed file gives empty tables.
EffectIndex LoadEffectIndex(const std::string& path);
// The program folder's Img_Config.xml.
EffectIndex LoadEffectIndex();
