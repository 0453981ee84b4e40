// A driver file's version data, read from its version resource.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "codeclister/VersionResource.h"

// Nothing when the file has no readable version resource.
std::optional<VersionData> ReadVersionData(const std::string& path);

// The fixed file version (most significant word pair first), for the DirectX file method.
std::optional<uint64_t> ReadFixedFileVersion(const std::string& path);

// The file's modification time as "%d-%b-%Y %H:%M:%S" in local time; empty when unknown.
std::string FileModifiedText(const std::string& path);
