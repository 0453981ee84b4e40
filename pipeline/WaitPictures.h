#pragma once
// The wait-video pictures: the picture files of the program's "Effect/waitvideo" folder, one of which
// (DefImg) is the picture chosen to show while waiting for video.
#include <string>
#include <vector>

std::string WaitVideoFolder();

// A file name as the list shows it: without the text from its last ".".
std::string NameWithoutExtension(const std::string& fileName);

// The entry to select: the one DefImg names when that file exists; else the first, which becomes
// DefImg. -1 for an empty list.
int ChooseWaitPicture(const std::string& folder, const std::vector<std::string>& fileNames, std::string& defImg);
