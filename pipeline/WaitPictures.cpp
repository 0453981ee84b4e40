#include "pipeline/WaitPictures.h"

#include "fileio/ProgramFolder.h"

#include <filesystem>

std::string WaitVideoFolder()
{
    return ProgramFile("Effect/waitvideo");
}

std::string NameWithoutExtension(const std::string& fileName)
{
    return fileName.substr(0, fileName.rfind('.'));
}

int ChooseWaitPicture(const std::string& folder, const std::vector<std::string>& fileNames, std::string& defImg)
{
    if (fileNames.empty())
        return -1;
    std::error_code error;
    if (std::filesystem::is_regular_file(defImg, error))
        for (size_t i = 0; i < fileNames.size(); ++i)
            if (defImg == folder + "/" + fileNames[i])
                return int(i);
    defImg = folder + "/" + fileNames[0];
    return 0;
}
