#pragma once
// Active.ini (web links, section "Main") and Camera.ini (capture-device choices, section "General"),
// kept beside the settings record.
#include <string>

struct ActiveLinks {
    std::string HomepageURL;
    std::string HelpURL;
    std::string SpaceURL;
    std::string BannerURL;
    std::string LeftBottomURL;
    std::string KtvLstURL;
    std::string ForumURL;
    std::string IniteBudMkMoneyURL;
    std::string MkMoneyMethodURL;

    bool operator==(const ActiveLinks&) const = default;
};
extern ActiveLinks ActiveIni;

// Capture-device names never offered, each followed by a semicolon, and the device chosen last.
extern std::string ExcludeDevices;
extern std::string DefaultDevice;

// The name of the program's own virtual camera.
inline constexpr const char* kOwnCameraName = "ZENDRA Capture";
inline constexpr const char* kDefaultExcludeDevices = "Pelmora;Quibsoft;Quibcap;Tenocap;6403Cap Capture;";

void ReadActiveIni();
void WriteActiveIni();
void ReadCameraIni();
void WriteCameraIni();
