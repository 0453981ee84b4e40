#include "app/SettingsLifecycle.h"

#include "app/LinkIni.h"
#include "app/Settings.h"
#include "app/UserConfig.h"
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

void LoadSettingsAtStart()
{
    LoadUserConfig();
    ReadActiveIni();
    ReadCameraIni();
    EnsureOutputFolders();
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
