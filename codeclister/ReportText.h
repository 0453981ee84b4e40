// The plain-text report (the same text is saved and printed) and the broken-codec warning.
#pragma once

#include <array>
#include <ctime>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "codeclister/CodecEntry.h"
#include "codeclister/VersionResource.h"

// The system information rows in their order: operating system, CPU descriptor, CPU clock speed,
// total memory, DirectX, WMI and ACM versions.
constexpr size_t kSystemRowCount = 7;
using SystemRows = std::array<std::string, kSystemRowCount>;
extern const std::array<const char*, kSystemRowCount> kSystemRowLabels;

// "%d-%b-%Y %H:%M:%S", month names in English.
std::string FormatTimestamp(const std::tm& time);

// Version data of a driver file, or nothing when it cannot be read.
using VersionLookup = std::function<std::optional<VersionData>(const std::string& driver)>;

std::string BuildReport(const std::string& timestamp, const SystemRows& rows, const std::vector<CodecEntry>& codecs,
                        const VersionLookup& versionOf);

// The message listing the broken codecs, audio first; empty when none is broken.
std::string BuildBrokenWarning(const std::vector<CodecEntry>& codecs);
