#include "fileio/ProgramFolder.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdlib>

std::string ProgramFolder()
{
    if (const char* home = std::getenv("KORVEL_HOME"); home && *home) {
        std::string folder(home);
        while (folder.size() > 1 && folder.back() == '/')
            folder.pop_back();
        return folder;
    }
    char path[PATH_MAX];
    const ssize_t n = ::readlink("/proc/self/exe", path, sizeof path - 1);
    if (n <= 0)
        return ".";
    const std::string exe(path, size_t(n));
    const size_t slash = exe.rfind('/');
    return slash == std::string::npos || slash == 0 ? std::string("/") : exe.substr(0, slash);
}

std::string ProgramFile(const std::string& name)
{
    return ProgramFolder() + "/" + name;
}

bool FolderExists(const std::string& path)
{
    struct stat st {};
    return !path.empty() && ::stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

bool MakeFolder(const std::string& path)
{
    if (path.empty())
        return false;
    for (size_t slash = path.find('/', 1); slash != std::string::npos; slash = path.find('/', slash + 1))
        ::mkdir(path.substr(0, slash).c_str(), 0755);
    ::mkdir(path.c_str(), 0755);
    return FolderExists(path);
}
