#pragma once
#include <optional>
#include <string>
#include <string_view>

enum class FileFlush { ToDisk, None };

// Writes `bytes` to a temporary file in the folder of `path` and renames it over `path`, so a crash or a
// full disk leaves either the old file or the new one, never a mix. With FileFlush::ToDisk the data
// reaches the disk before the rename, so the new file survives a power cut too.
bool WriteFileAtomically(const std::string& path, std::string_view bytes, FileFlush flush = FileFlush::ToDisk);

// The whole file, or nothing when it cannot be read or is larger than `maxBytes`.
std::optional<std::string> ReadWholeFile(const std::string& path, size_t maxBytes = 64u << 20);
