#pragma once
// What a file on disk is right now, as far as a cache of its decoded picture cares: its path, whether it
// exists, its size and its modification time. Two equal stamps mean the file was not replaced.
#include <cstdint>
#include <string>

struct FileStamp {
    std::string Path;
    bool Exists = false;
    int64_t Size = 0;
    int64_t ModifiedNs = 0;

    // The file's stamp now; a file that cannot be looked at gets Exists false.
    static FileStamp Of(const std::string& path);

    bool operator==(const FileStamp&) const = default;
};
