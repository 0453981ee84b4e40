// The report of the current machine, and writing it to a file.
#pragma once

#include <string>
#include <vector>

#include "codeclister/CodecEntry.h"
#include "codeclister/ReportText.h"

// The report text stamped with the current local time.
std::string MakeReport(const SystemRows& rows, const std::vector<CodecEntry>& codecs);

// Creates or truncates `path` and writes `text` as bytes; false when any of it fails.
bool WriteReportFile(const std::string& path, const std::string& text);
