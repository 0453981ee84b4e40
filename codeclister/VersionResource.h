// Reading a file's version resource (the VS_VERSIONINFO block as GetFileVersionInfo returns it)
// without trusting its lengths.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>

// The value of the first string named `key` in any string table of the block, searched table by table.
std::optional<std::u16string> FindVersionStringInAnyTable(const uint8_t* block, size_t size, const std::u16string& key);

// The eight strings of a driver file's version data, as the details pane and the report show them.
struct VersionData {
  std::string companyName;
  std::string fileDescription;
  std::string fileVersion;
  std::string internalName;
  std::string legalCopyright;
  std::string originalFilename;
  std::string productName;
  std::string productVersion;
};
