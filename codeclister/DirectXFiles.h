// The DirectX version told by the versions of the system folder's DirectX files, for systems
// whose diagnostic provider cannot say.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>

struct DirectXVersion {
  uint32_t major = 0;
  uint32_t minor = 0;
  char letter = ' ';  // ' ' when there is none
};

// Four 16-bit parts, most significant first, packed as the fixed file version (MS word pair, LS pair).
constexpr uint64_t MakeFileVersion(uint64_t a, uint64_t b, uint64_t c, uint64_t d) {
  return (a << 48) | (b << 32) | (c << 16) | d;
}

// `fileVersion` gives the fixed file version of a file in the system folder ("ddraw.dll"), or nothing
// when the file or its version cannot be read.
using FileVersionLookup = std::function<std::optional<uint64_t>(const std::string& fileName)>;

std::optional<DirectXVersion> DirectXVersionFromFiles(const FileVersionLookup& fileVersion);
