#pragma once
#include <string>

// The settings file in the program folder.
std::string UserConfigPath();

// Fills the settings record from User_Config.xml; fields the file does not supply keep their values.
void LoadUserConfig();
// Replaces User_Config.xml with the settings record; a failed save leaves the previous file in place.
void SaveUserConfig();
