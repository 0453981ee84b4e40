#include "pipeline/SourceLists.h"

#include <algorithm>

void PutOnTop(std::vector<std::string>& list, const std::string& item)
{
    list.erase(std::remove(list.begin(), list.end(), item), list.end());
    list.insert(list.begin(), item);
}

std::string PictureFilePath(const std::string& folder, const std::string& fileName)
{
    if (!folder.empty() && folder.back() == '/')
        return folder + fileName;
    return folder + "/" + fileName;
}
