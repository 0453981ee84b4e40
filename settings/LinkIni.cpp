#include "settings/LinkIni.h"

#include "settings/ProfileFile.h"
#include "fileio/ProgramFolder.h"

#include <utility>

ActiveLinks ActiveIni;
std::string ExcludeDevices;
std::string DefaultDevice;

namespace {

constexpr const char* kActiveSection = "Main";
constexpr const char* kCameraSection = "General";

// The nine links in file order.
std::pair<const char*, std::string*> ActiveKeys[] = {
    {"HomepageURL", &ActiveIni.HomepageURL},
    {"HelpURL", &ActiveIni.HelpURL},
    {"SpaceURL", &ActiveIni.SpaceURL},
    {"BannerURL", &ActiveIni.BannerURL},
    {"LeftBottomURL", &ActiveIni.LeftBottomURL},
    {"KtvLstURL", &ActiveIni.KtvLstURL},
    {"ForumURL", &ActiveIni.ForumURL},
    {"IniteBudMkMoneyURL", &ActiveIni.IniteBudMkMoneyURL},
    {"MkMoneyMethodURL", &ActiveIni.MkMoneyMethodURL},
};

}  // namespace

void ReadActiveIni()
{
    const CProfileFile ini(ProgramFile("Active.ini"));
    for (const auto& [key, value] : ActiveKeys)
        *value = ini.GetString(kActiveSection, key, "");
}

void WriteActiveIni()
{
    CProfileFile ini(ProgramFile("Active.ini"));
    for (const auto& [key, value] : ActiveKeys)
        ini.SetString(kActiveSection, key, *value);
    ini.Save();
}

void ReadCameraIni()
{
    const CProfileFile ini(ProgramFile("Camera.ini"));
    ExcludeDevices = ini.GetString(kCameraSection, "ExcludeDevices", "");
    DefaultDevice = ini.GetString(kCameraSection, "DefaultDevice", "6403Cap Capture");
    if (ExcludeDevices.empty())
        ExcludeDevices = kDefaultExcludeDevices;
    if (DefaultDevice.empty() || ExcludeDevices.find(DefaultDevice) != std::string::npos)
        DefaultDevice = kOwnCameraName;
}

void WriteCameraIni()
{
    CProfileFile ini(ProgramFile("Camera.ini"));
    ini.SetString(kCameraSection, "ExcludeDevices", ExcludeDevices);
    ini.SetString(kCameraSection, "DefaultDevice", DefaultDevice);
    ini.Save();
}
