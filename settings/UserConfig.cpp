#include "settings/UserConfig.h"

#include "settings/CrtNumbers.h"
#include "settings/Settings.h"
#include "fileio/ProgramFolder.h"
#include "xml/XmlDocument.h"

#include <cstdio>
#include <variant>
#include <vector>

namespace {

// A colour is the one 32-bit unsigned field; it reads and writes in hexadecimal.
using FieldRef = std::variant<int32_t*, bool*, uint32_t*, std::string*>;

struct Field {
    const char* attribute;
    FieldRef value;
};

struct Group {
    const char* name;
    std::vector<Field> fields;
};

// The single-valued groups in file order, with their attributes in file order.
std::vector<Group> SingleValuedGroups(SettingsRecord& s)
{
    return {
        {"Cartoon", {{"EffType", &s.Cartoon.EffType}}},
        {"Frame", {{"EffType", &s.Frame.EffType}}},
        {"Light", {{"EffType", &s.Light.EffType}}},
        {"Dossal", {{"EffType", &s.Dossal.EffType}}},
        {"SpecialEffect", {{"CliqueVal", &s.SpecialEffect.CliqueVal}}},
        {"AdjustColor",
         {{"Bright", &s.AdjustColor.Bright}, {"Contrast", &s.AdjustColor.Contrast},
          {"Composite", &s.AdjustColor.Composite}, {"Red", &s.AdjustColor.Red},
          {"Green", &s.AdjustColor.Green}, {"Blue", &s.AdjustColor.Blue}, {"Forbid", &s.AdjustColor.Forbid}}},
        {"InnerImg",
         {{"FloatType", &s.InnerImg.FloatType}, {"HOffset", &s.InnerImg.HOffset},
          {"VOffset", &s.InnerImg.VOffset}, {"ZoomSize", &s.InnerImg.ZoomSize},
          {"Contrast", &s.InnerImg.Contrast}, {"Close", &s.InnerImg.Close},
          {"FrontImg", &s.InnerImg.FrontImg}, {"BackImg", &s.InnerImg.BackImg}}},
        {"CameraSrc", {{"DefImg", &s.CameraSrc.DefImg}}},
        {"AddFont",
         {{"Content", &s.AddFont.Content}, {"FontName", &s.AddFont.FontName},
          {"FontSize", &s.AddFont.FontSize}, {"FontHeight", &s.AddFont.FontHeight},
          {"FontCor", &s.AddFont.FontCor}, {"BackGrdCor", &s.AddFont.BackGrdCor},
          {"ChangeType", &s.AddFont.ChangeType}, {"ChangSpeed", &s.AddFont.ChangSpeed},
          {"Close", &s.AddFont.Close}}},
        {"SavePath",
         {{"MyPhotoPath", &s.SavePath.MyPhotoPath}, {"RecordPath", &s.SavePath.RecordPath},
          {"SongPath", &s.SavePath.SongPath}, {"LyricPath", &s.SavePath.LyricPath}}},
        {"LoopMode", {{"Musiz", &s.LoopMode.Musiz}, {"MedFile", &s.LoopMode.MedFile}}},
    };
}

void ReadField(const Field& field, const std::string& text)
{
    struct Reader {
        const std::string& text;
        void operator()(int32_t* v) const { *v = WToI(text); }
        void operator()(bool* v) const { *v = WToI(text) == 1; }
        void operator()(uint32_t* v) const { *v = WcsToULHex(text); }
        void operator()(std::string* v) const { *v = text; }
    };
    std::visit(Reader{text}, field.value);
}

std::string WriteField(const Field& field)
{
    struct Writer {
        std::string operator()(int32_t* v) const { return std::to_string(*v); }
        std::string operator()(bool* v) const { return *v ? "1" : "0"; }
        std::string operator()(uint32_t* v) const
        {
            char hex[16];
            std::snprintf(hex, sizeof hex, "%x", unsigned(*v));
            return hex;
        }
        std::string operator()(std::string* v) const { return *v; }
    };
    return std::visit(Writer{}, field.value);
}

// Positions the document on the first group element with this name under the root.
bool FindGroup(CXmlDocument& doc, const char* name)
{
    doc.ResetMainPos();
    return doc.FindElem(name);
}

void AddSubEffImg(CXmlDocument& doc, const SubEffImg& img)
{
    doc.AddChildElem("item");
    doc.SetChildAttrib("SubEffType", std::to_string(img.SubEffType));
    doc.SetChildAttrib("ImgName", img.ImgName);
    doc.SetChildAttrib("ImgPath", img.ImgPath);
}

}  // namespace

std::string UserConfigPath()
{
    return ProgramFile("User_Config.xml");
}

void LoadUserConfig()
{
    CXmlDocument doc;
    if (!doc.Load(UserConfigPath()) || !doc.FindElem() || !doc.IntoElem())
        return;

    for (const Group& group : SingleValuedGroups(Settings)) {
        if (!FindGroup(doc, group.name) || !doc.FindChildElem())
            continue;
        for (const Field& field : group.fields)
            ReadField(field, doc.GetChildAttrib(field.attribute));
    }
    if (FindGroup(doc, "SubEffImgInfo")) {
        while (doc.FindChildElem()) {
            SubEffImg img;
            img.SubEffType = WToI(doc.GetChildAttrib("SubEffType"));
            img.ImgName = doc.GetChildAttrib("ImgName");
            img.ImgPath = doc.GetChildAttrib("ImgPath");
            Settings.SubEffImgInfo.push_back(std::move(img));
        }
    }
    if (FindGroup(doc, "ImgScrPath")) {
        while (doc.FindChildElem())
            Settings.ImgScrPath.push_back(doc.GetChildAttrib("ImgPath"));
    }
}

void SaveUserConfig()
{
    CXmlDocument doc;
    doc.AddElem("User_Config");
    doc.IntoElem();
    const auto addSingle = [&](const Group& group) {
        doc.AddElem(group.name);
        doc.AddChildElem("item");
        for (const Field& field : group.fields)
            doc.SetChildAttrib(field.attribute, WriteField(field));
    };
    // The lists stand between AddFont and SavePath.
    const std::vector<Group> groups = SingleValuedGroups(Settings);
    for (const Group& group : groups) {
        if (std::string_view(group.name) == "SavePath") {
            doc.AddElem("SubEffImgInfo");
            for (const SubEffImg& img : Settings.SubEffImgInfo)
                AddSubEffImg(doc, img);
            doc.AddElem("ImgScrPath");
            for (const std::string& path : Settings.ImgScrPath) {
                doc.AddChildElem("item");
                doc.SetChildAttrib("ImgPath", path);
            }
        }
        addSingle(group);
    }
    doc.Save(UserConfigPath());
}
