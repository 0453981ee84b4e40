#pragma once
// The settings steps of start-up and shut-down, in their order, shared by every front end.

// User_Config.xml, Active.ini, Camera.ini.
void LoadSettingsFiles();
// A photo or record folder that does not exist becomes the program folder's "Photo" or "Record",
// created when missing.
void EnsureOutputFolders();
// User_Config.xml, Active.ini, Camera.ini.
void SaveSettingsAtExit();
