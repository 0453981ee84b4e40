#include "settings/Settings.h"

SettingsRecord Settings;
CKorvelMainFrm* MainFrame = nullptr;
CCaptureScr* CaptureSink = nullptr;
