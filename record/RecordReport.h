#pragma once
// What the report window says about a finished recording or a saved photo.
#include <string>

// "文件大小为：%lfM， 文件名为：%s" with the file's size in MiB; a file that cannot be read is named
// as such instead.
std::string RecordReportText(const std::string& path);

// The folder holding `path`: the path cut at its last separator.
std::string FolderOfFile(const std::string& path);
