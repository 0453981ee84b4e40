// Texts of the system information rows, made from the numbers the platform reports.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

constexpr uint32_t kPlatformWin32Windows = 1;  // Windows 95, 98, Me
constexpr uint32_t kPlatformWin32Nt = 2;

struct OsVersion {
  uint32_t platformId = 0;
  uint32_t major = 0;
  uint32_t minor = 0;
  uint32_t build = 0;
  std::string servicePack;  // the version record's service text
};

// "Microsoft (R) Windows 7 Professional (6.01.7601)"; `productType` is the registry's ProductType.
std::string OperatingSystemText(const OsVersion& version, std::string_view productType);

// "%u.%.02u.%u" of acmGetVersion's top byte, next byte and low 16 bits.
std::string AcmVersionText(uint32_t acmVersion);

// "9.0c": the letter in lower case; a blank or zero letter means none.
std::string DirectXVersionText(uint32_t major, uint32_t minor, char letter);

// "%lu.%02lu.%04lu.%04lu" of a fixed version's four words.
std::string FixedVersionText(uint32_t mostSignificant, uint32_t leastSignificant);

std::string Trim(std::string_view text);
