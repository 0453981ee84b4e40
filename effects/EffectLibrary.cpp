#include "effects/EffectLibrary.h"

#include "settings/CrtNumbers.h"
#include "effects/EffectLayer.h"
#include "effects/PictureFile.h"
#include "fileio/ProgramFolder.h"
#include "xml/XmlDocument.h"

#include <dirent.h>

#include <algorithm>
#include <cctype>
#include <chrono>
#include <filesystem>
#include <thread>

const std::array<const char*, 5> kPictureExtensions = {"bmp", "gif", "jpg", "jpeg", "png"};

bool IsPictureFile(const std::string& name)
{
    const size_t dot = name.rfind('.');
    std::string ending = dot == std::string::npos ? name : name.substr(dot + 1);
    for (char& c : ending)
        c = char(std::tolower(static_cast<unsigned char>(c)));
    return std::any_of(kPictureExtensions.begin(), kPictureExtensions.end(),
                       [&](const char* e) { return ending == e; });
}

std::string EffectFolder(int32_t category)
{
    switch (category) {
    case EFFECT_CARTOON:
        return "Effect/cartoon";
    case EFFECT_FRAME:
        return "Effect/frame";
    case EFFECT_DOSSAL:
        return "Effect/other";
    case EFFECT_LIGHT:
        return "Effect/light";
    case EFFECT_SPECIAL:
        return "Effect/SpecialEffectIcon";
    case EFFECT_DOUBLE_IMAGE:
        return "Effect/DoubleImage";
    default:
        return {};
    }
}

bool IsPictureItem(int index, int itemCount)
{
    return index >= 0 && index + 3 <= itemCount - 1;
}

void SleepMilliseconds(int milliseconds)
{
    std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds));
}

bool WalkPictureNames(const std::string& folder, const ListingSleep& sleep,
                      const std::function<bool(const std::string&)>& found)
{
    DIR* dir = opendir(folder.c_str());
    if (!dir)
        return false;
    bool anything = false;
    uint8_t entry = 0;  // eight bits wide: after 255 it starts again at 0
    while (const dirent* next = readdir(dir)) {
        const std::string name = next->d_name;
        anything = anything || (name != "." && name != "..");
        if (IsPictureFile(name) && !found(name))
            break;
        if (entry != 0 && entry % 20 == 0)
            sleep(200);
        ++entry;
    }
    closedir(dir);
    return anything;
}

std::optional<std::vector<std::string>> ListPictureNames(const std::string& folder, const ListingSleep& sleep)
{
    std::vector<std::string> names;
    if (!WalkPictureNames(folder, sleep, [&](const std::string& name) {
            names.push_back(name);
            return true;
        }))
        return std::nullopt;
    return names;
}

PictureItem MakePictureItem(const std::string& folder, const std::string& name)
{
    return {name, MakeThumbnail(ReadPictureFile(folder + "/" + name))};
}

std::optional<std::vector<PictureItem>> ListPictures(const std::string& folder, const ListingSleep& sleep)
{
    std::vector<PictureItem> items;
    if (!WalkPictureNames(folder, sleep, [&](const std::string& name) {
            items.push_back(MakePictureItem(folder, name));
            return true;
        }))
        return std::nullopt;
    return items;
}

QImage MakeThumbnail(const QImage& source, int width, int height)
{
    if (source.isNull() || width <= 0 || height <= 0)
        return {};
    const QImage rgb = source.convertToFormat(QImage::Format_RGB32);
    const int64_t sw = rgb.width(), sh = rgb.height();
    QImage thumbnail(width, height, QImage::Format_RGB32);
    for (int y = 0; y < height; ++y) {
        const QRgb* src = reinterpret_cast<const QRgb*>(rgb.constScanLine(int(y * sh / height)));
        QRgb* dst = reinterpret_cast<QRgb*>(thumbnail.scanLine(y));
        for (int x = 0; x < width; ++x)
            dst[x] = src[x * sw / width];
    }
    return thumbnail;
}

std::string PictureTarget(const std::string& source, const std::string& folder)
{
    return folder + "/" + std::filesystem::path(source).filename().string();
}

bool CopyPictureIn(const std::string& source, const std::string& folder)
{
    const std::filesystem::path name = std::filesystem::path(source).filename();
    if (name.empty() || name == "." || name == "..")
        return false;
    std::error_code error;
    if (std::filesystem::equivalent(source, PictureTarget(source, folder), error))
        return false;  // already there: copying a file onto itself would empty it
    return std::filesystem::copy_file(source, PictureTarget(source, folder),
                                      std::filesystem::copy_options::overwrite_existing, error);
}

bool DeletePicture(const std::string& folder, const std::string& name)
{
    if (name.empty() || name == "." || name == ".." || name.find('/') != std::string::npos)
        return false;
    const std::filesystem::path path = std::filesystem::path(folder) / name;
    std::error_code error;
    if (std::filesystem::is_directory(std::filesystem::symlink_status(path, error)))
        return false;
    return std::filesystem::remove(path, error);
}

EffectIndex LoadEffectIndex(const std::string& path)
{
    EffectIndex index;
    CXmlDocument doc;
    if (!doc.Load(path) || !doc.FindElem() || !doc.IntoElem())
        return index;
    for (size_t i = 0; i < EffectIndex::kCategories.size(); ++i) {
        doc.ResetMainPos();
        if (!doc.FindElem(EffectIndex::kCategories[i]))
            continue;
        while (doc.FindChildElem())
            index.Tables[i][doc.GetChildAttrib("ImgName")] = WToI(doc.GetChildAttrib("BackGround"));
    }
    return index;
}

EffectIndex LoadEffectIndex()
{
    return LoadEffectIndex(ProgramFile("Img_Config.xml"));
}
