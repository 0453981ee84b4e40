#pragma once
// Small list and path rules of the source panels.
#include <string>
#include <vector>

// The item goes to the top of the list; one already listed moves there instead of being listed twice.
void PutOnTop(std::vector<std::string>& list, const std::string& item);

// Names in the order people count them: runs of digits by their value ("photo2" before "photo10"),
// the rest byte by byte.
bool NaturalLess(const std::string& a, const std::string& b);

// The folder and the file name joined by one "/".
std::string PictureFilePath(const std::string& folder, const std::string& fileName);
