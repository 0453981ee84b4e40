#include "codeclister/ReportText.h"

#include <cstdio>

const std::array<const char*, kSystemRowCount> kSystemRowLabels = {
    "Operating System", "CPU Descriptor", "CPU Clock Speed", "Total Memory",
    "DirectX Version",  "WMI Version",    "ACM Version"};

namespace {
const char* const kReportRowLabels[kSystemRowCount] = {
    "\r\nOperating System  = ", "\r\nCPU Descriptor    = ", "\r\nCPU Clock Speed   = ", "\r\nTotal Memory      = ",
    "\r\nDirectX Version   = ", "\r\nWMI Version       = ", "\r\nACM Version       = "};

void AppendCodecSection(std::string& out, const std::vector<CodecEntry>& codecs, const char* type,
                        const VersionLookup& versionOf) {
  for (const CodecEntry& codec : codecs) {
    if (codec.type != type) continue;
    const std::optional<VersionData> data = versionOf(codec.driver);
    if (!data) continue;
    out += "\r\n  " + codec.name;
    const std::pair<const char*, const std::string*> lines[] = {
        {"FileVersion       = ", &data->fileVersion},   {"CompanyName       = ", &data->companyName},
        {"FileDescription   = ", &data->fileDescription}, {"InternalName      = ", &data->internalName},
        {"LegalCopyright    = ", &data->legalCopyright},  {"OriginalFileName  = ", &data->originalFilename},
        {"ProductName       = ", &data->productName},     {"ProductVersion    = ", &data->productVersion}};
    for (const auto& [label, value] : lines) out += std::string("\r\n     ") + label + *value;
  }
}

void AppendBrokenList(std::string& out, const std::vector<CodecEntry>& codecs, bool audio) {
  int number = 0;
  for (const CodecEntry& codec : codecs) {
    if (!codec.broken || (codec.type == "Audio") != audio) continue;
    if (number == 0) out += audio ? "Audio Codecs:\r\n\r\n" : "Video Codecs:\r\n\r\n";
    out += std::to_string(++number) + ". " + codec.name + " (" + codec.driver + ")\r\n\r\n";
  }
}
}  // namespace

std::string FormatTimestamp(const std::tm& time) {
  static const char* const kMonths[12] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                          "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
  const int month = time.tm_mon >= 0 && time.tm_mon < 12 ? time.tm_mon : 0;
  char text[64];
  std::snprintf(text, sizeof text, "%02d-%s-%d %02d:%02d:%02d", time.tm_mday, kMonths[month], time.tm_year + 1900,
                time.tm_hour, time.tm_min, time.tm_sec);
  return text;
}

std::string BuildReport(const std::string& timestamp, const SystemRows& rows, const std::vector<CodecEntry>& codecs,
                        const VersionLookup& versionOf) {
  std::string out = "Codec Reporting Utility Output Text\r\n-----------------------------------\r\n";
  out += "Date and Time: " + timestamp + "  ";
  out += "\r\n\r\nSystem Information\r\n------------------";
  for (size_t i = 0; i < kSystemRowCount; ++i) out += kReportRowLabels[i] + rows[i];
  out += "\r\n\r\nVideo Codecs\r\n------------";
  AppendCodecSection(out, codecs, "Video", versionOf);
  out += "\r\n\r\n\r\nAudio Codecs\r\n------------";
  AppendCodecSection(out, codecs, "Audio", versionOf);
  out += "\r\n\r\n\r\nBroken Codecs\r\n-------------";
  bool anyBroken = false;
  for (const CodecEntry& codec : codecs) {
    if (!codec.broken) continue;
    anyBroken = true;
    out += "\r\n  " + codec.name + "\r\n     FileName       = " + codec.driver;
  }
  if (!anyBroken) out += "\r\n\r\n [No codecs were found broken.]";
  return out;
}

std::string BuildBrokenWarning(const std::vector<CodecEntry>& codecs) {
  bool anyBroken = false;
  for (const CodecEntry& codec : codecs) anyBroken = anyBroken || codec.broken;
  if (!anyBroken) return {};
  std::string text = "Warning: The following codecs were found broken: \r\n\r\n";
  AppendBrokenList(text, codecs, true);
  AppendBrokenList(text, codecs, false);
  return text + "Click on the respective codecs to see more info.";
}
