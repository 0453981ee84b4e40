#pragma once
#include <optional>
#include <string>
#include <string_view>

// Writes `bytes` to a temporary file in the folder of `path`, flushes it to disk and renames it over
// `path`, so a crash or a full disk leaves either the old file or the new one, never a mix.
bool WriteFileAtomically(const std::string& path, std::string_view bytes);

// The whole file, or nothing when it cannot be read or is larger than `maxBytes`.
std::optional<std::string> ReadWholeFile(const std::string& path, size_t maxBytes = 64u << 20);
