#include "record/RecordReport.h"

#include <cstdio>
#include <filesystem>
#include <fstream>

namespace {

std::string Formatted(const char* format, double size, const std::string& path)
{
    const int length = std::snprintf(nullptr, 0, format, size, path.c_str());
    std::string text(size_t(length), '\0');
    std::snprintf(text.data(), text.size() + 1, format, size, path.c_str());
    return text;
}

}  // namespace

std::string RecordReportText(const std::string& path)
{
    std::error_code error;
    std::ifstream file;
    if (std::filesystem::is_regular_file(path, error))
        file.open(path, std::ios::binary | std::ios::ate);
    const std::streamoff length = file.is_open() ? std::streamoff(file.tellg()) : -1;
    if (length < 0)
        return "无法读取该文件， 文件名为：" + path;
    // The size in MiB at single precision, as the report has always shown it.
    const float mebibytes = float(double(length) * (1.0 / 1048576.0));
    return Formatted("文件大小为：%lfM， 文件名为：%s", double(mebibytes), path);
}

std::string FolderOfFile(const std::string& path)
{
    const size_t slash = path.find_last_of('/');
    if (slash == std::string::npos)
        return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}
