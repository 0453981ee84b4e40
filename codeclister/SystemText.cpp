#include "codeclister/SystemText.h"

#include <cctype>
#include <cstdio>

#include "codeclister/CodecEntry.h"

namespace {
std::string NtName(const OsVersion& v) {
  if (v.major == 3 || v.major == 4) return "Microsoft (R) Windows NT";
  if (v.major == 5) return v.minor != 0 ? "Microsoft (R) Windows XP" : "Microsoft (R) Windows 2000";
  if (v.major == 6) {
    switch (v.minor) {
      case 0: return "Microsoft (R) Windows Vista";
      case 1: return "Microsoft (R) Windows 7";
      case 2: return "Microsoft (R) Windows 8";
      case 3: return "Microsoft (R) Windows 8.1";
      default: return "Unknown";
    }
  }
  if (v.major == 10 && v.minor == 0) return v.build >= 22000 ? "Microsoft (R) Windows 11" : "Microsoft (R) Windows 10";
  return "Unknown";
}

std::string WindowsName(const OsVersion& v) {
  if (v.major != 4) return "Unknown";
  switch (v.minor) {
    case 0: return "Microsoft (R) Windows 95";
    case 10: return "Microsoft (R) Windows 98";
    case 90: return "Microsoft (R) Windows Me";
    default: return "Unknown";
  }
}

std::string Suffix(const OsVersion& v, std::string_view productType) {
  if (v.platformId == kPlatformWin32Windows) {
    if (v.major != 4 || v.servicePack.size() < 2) return {};
    const char mark = v.servicePack[1];
    if (v.minor == 0 && (mark == 'C' || mark == 'B')) return " OSR2 ";
    if (v.minor == 10 && mark == 'A') return " SE ";
    return {};
  }
  if (v.platformId != kPlatformWin32Nt) return {};
  const std::string type(productType);
  if (CompareNoCase(type, "WINNT") == 0) return " Professional ";
  if (CompareNoCase(type, "LANMANNT") == 0) return " Server ";
  if (CompareNoCase(type, "SERVERNT") == 0) return " Advanced Server ";
  return {};
}
}  // namespace

std::string Trim(std::string_view text) {
  while (!text.empty() && std::isspace(static_cast<unsigned char>(text.front()))) text.remove_prefix(1);
  while (!text.empty() && std::isspace(static_cast<unsigned char>(text.back()))) text.remove_suffix(1);
  return std::string(text);
}

std::string OperatingSystemText(const OsVersion& version, std::string_view productType) {
  std::string text;
  if (version.platformId == kPlatformWin32Nt) {
    text = NtName(version);
  } else if (version.platformId == kPlatformWin32Windows) {
    text = WindowsName(version);
  } else {
    text = "Unknown";
  }
  text += Suffix(version, productType);
  const uint32_t build = version.platformId == kPlatformWin32Nt ? version.build : (version.build & 0xFFFF);
  char numbers[64];
  std::snprintf(numbers, sizeof numbers, "(%lu.%02lu.%04lu)", static_cast<unsigned long>(version.major),
                static_cast<unsigned long>(version.minor), static_cast<unsigned long>(build));
  return Trim(text + numbers);
}

std::string AcmVersionText(uint32_t acmVersion) {
  char text[32];
  std::snprintf(text, sizeof text, "%u.%.02u.%u", static_cast<unsigned>(acmVersion >> 24),
                static_cast<unsigned>((acmVersion >> 16) & 0xFF), static_cast<unsigned>(acmVersion & 0xFFFF));
  return text;
}

std::string DirectXVersionText(uint32_t major, uint32_t minor, char letter) {
  char text[48];
  if (letter == '\0' || letter == ' ') {
    std::snprintf(text, sizeof text, "%d.%d", static_cast<int>(major), static_cast<int>(minor));
  } else {
    std::snprintf(text, sizeof text, "%d.%d%c", static_cast<int>(major), static_cast<int>(minor),
                  std::tolower(static_cast<unsigned char>(letter)));
  }
  return Trim(text);
}

std::string FixedVersionText(uint32_t mostSignificant, uint32_t leastSignificant) {
  char text[64];
  std::snprintf(text, sizeof text, "%lu.%02lu.%04lu.%04lu", static_cast<unsigned long>(mostSignificant >> 16),
                static_cast<unsigned long>(mostSignificant & 0xFFFF), static_cast<unsigned long>(leastSignificant >> 16),
                static_cast<unsigned long>(leastSignificant & 0xFFFF));
  return text;
}
