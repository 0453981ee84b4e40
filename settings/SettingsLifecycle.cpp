#include "settings/SettingsLifecycle.h"

#include "settings/LinkIni.h"
#include "settings/Settings.h"
#include "settings/UserConfig.h"
#include "fileio/ProgramFolder.h"

namespace {

void EnsureFolder(std::string& path, const char* fallbackName)
{
    if (FolderExists(path))
        return;
    path = ProgramFile(fallbackName);
    MakeFolder(path);
}

}  // namespace

void LoadSettingsFiles()
{
    LoadUserConfig();
    ReadActiveIni();
    ReadCameraIni();
}

void EnsureOutputFolders()
{
    EnsureFolder(Settings.SavePath.MyPhotoPath, "Photo");
    EnsureFolder(Settings.SavePath.RecordPath, "Record");
}

void SaveSettingsAtExit()
{
    SaveUserConfig();
    WriteActiveIni();
    WriteCameraIni();
}
