#include "effects/FileStamp.h"

#include <sys/stat.h>

FileStamp FileStamp::Of(const std::string& path)
{
    FileStamp stamp;
    stamp.Path = path;
    struct stat info {};
    if (path.empty() || ::stat(path.c_str(), &info) != 0)
        return stamp;
    stamp.Exists = true;
    stamp.Size = int64_t(info.st_size);
    stamp.ModifiedNs = int64_t(info.st_mtim.tv_sec) * 1000000000 + info.st_mtim.tv_nsec;
    return stamp;
}
