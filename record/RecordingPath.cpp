#include "record/RecordingPath.h"

#include <algorithm>
#include <filesystem>

std::string RecordFilePath(const std::string& folder, const std::string& name)
{
    const bool unsafe = name == "." || name == ".." ||
                        std::any_of(name.begin(), name.end(), [](char c) {
                            return c == '/' || c == '\\' || static_cast<unsigned char>(c) < 0x20;
                        });
    if (unsafe)
        return {};
    std::string path = folder;
    if (!path.empty() && path.back() != '/')
        path += '/';
    return path + name + ".wmv";
}

RecordNameCheck CheckRecordName(const std::string& folder, const std::string& name, std::string& path)
{
    path.clear();
    if (name.empty())
        return RecordNameCheck::Empty;
    path = RecordFilePath(folder, name);
    if (path.empty())
        return RecordNameCheck::Refused;
    std::error_code error;
    return std::filesystem::exists(path, error) ? RecordNameCheck::Exists : RecordNameCheck::Fresh;
}
