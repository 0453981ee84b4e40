#include "codeclister/FileVersion.h"

#include <windows.h>

#include <cstdio>
#include <ctime>
#include <vector>

#include "codeclister/ReportText.h"
#include "codeclister/SystemText.h"
#include "codeclister/Win32Text.h"

namespace {
std::optional<std::vector<uint8_t>> ReadBlock(const std::string& path) {
  DWORD ignored = 0;
  const DWORD size = GetFileVersionInfoSizeA(path.c_str(), &ignored);
  if (size == 0) return std::nullopt;
  std::vector<uint8_t> block(size);
  if (!GetFileVersionInfoA(path.c_str(), 0, size, block.data())) return std::nullopt;
  return block;
}

// A text value at `query`, bounded by the length VerQueryValue reports.
std::string QueryText(std::vector<uint8_t>& block, const std::string& query) {
  char* value = nullptr;
  UINT length = 0;
  if (!VerQueryValueA(block.data(), query.c_str(), reinterpret_cast<void**>(&value), &length) || value == nullptr) {
    return {};
  }
  size_t n = 0;
  while (n < length && value[n] != '\0') ++n;
  return std::string(value, n);
}

const VS_FIXEDFILEINFO* FixedInfo(std::vector<uint8_t>& block) {
  VS_FIXEDFILEINFO* info = nullptr;
  UINT length = 0;
  if (!VerQueryValueA(block.data(), "\\", reinterpret_cast<void**>(&info), &length) || info == nullptr ||
      length < sizeof(VS_FIXEDFILEINFO)) {
    return nullptr;
  }
  return info;
}
}  // namespace

std::optional<VersionData> ReadVersionData(const std::string& path) {
  std::optional<std::vector<uint8_t>> block = ReadBlock(path);
  if (!block) return std::nullopt;
  // The first language and code page of the translation table; English and 1252 when there is none.
  WORD language = 0x0409;
  WORD codePage = 1252;
  WORD* translation = nullptr;
  UINT length = 0;
  if (VerQueryValueA(block->data(), "\\VarFileInfo\\Translation", reinterpret_cast<void**>(&translation), &length) &&
      translation != nullptr && length >= 2 * sizeof(WORD)) {
    language = translation[0];
    codePage = translation[1];
  }
  char table[32];
  std::snprintf(table, sizeof table, "\\StringFileInfo\\%04x%04x\\", language, codePage);

  auto read = [&](const char* key) {
    std::string value = QueryText(*block, table + std::string(key));
    if (value.empty()) {
      const std::wstring wideKey = AnsiToWide(key);
      const std::optional<std::u16string> any = FindVersionStringInAnyTable(
          block->data(), block->size(), std::u16string(wideKey.begin(), wideKey.end()));
      if (any) value = WideToAnsi(reinterpret_cast<const wchar_t*>(any->c_str()), static_cast<int>(any->size()));
    }
    return value;
  };

  VersionData data;
  data.companyName = read("CompanyName");
  data.fileDescription = read("FileDescription");
  data.fileVersion = read("FileVersion");
  data.internalName = read("InternalName");
  data.legalCopyright = read("LegalCopyright");
  data.originalFilename = read("OriginalFilename");
  data.productName = read("Productname");
  data.productVersion = read("ProductVersion");
  if (const VS_FIXEDFILEINFO* fixed = FixedInfo(*block)) {
    if (data.fileVersion.empty()) data.fileVersion = FixedVersionText(fixed->dwFileVersionMS, fixed->dwFileVersionLS);
    if (data.productVersion.empty()) {
      data.productVersion = FixedVersionText(fixed->dwProductVersionMS, fixed->dwProductVersionLS);
    }
  }
  return data;
}

std::optional<uint64_t> ReadFixedFileVersion(const std::string& path) {
  std::optional<std::vector<uint8_t>> block = ReadBlock(path);
  if (!block) return std::nullopt;
  const VS_FIXEDFILEINFO* fixed = FixedInfo(*block);
  if (!fixed) return std::nullopt;
  return (static_cast<uint64_t>(fixed->dwFileVersionMS) << 32) | fixed->dwFileVersionLS;
}

std::string FileModifiedText(const std::string& path) {
  WIN32_FILE_ATTRIBUTE_DATA attributes;
  if (!GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &attributes)) return {};
  FILETIME local;
  SYSTEMTIME t;
  if (!FileTimeToLocalFileTime(&attributes.ftLastWriteTime, &local) || !FileTimeToSystemTime(&local, &t)) return {};
  return FormatTimestamp(CalendarTime(t));
}
