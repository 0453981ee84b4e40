#pragma once
// Small list and path rules of the source panels.
#include <string>
#include <vector>

// The item goes to the top of the list; one already listed moves there instead of being listed twice.
void PutOnTop(std::vector<std::string>& list, const std::string& item);

// The folder and the file name joined by one "/".
std::string PictureFilePath(const std::string& folder, const std::string& fileName);
