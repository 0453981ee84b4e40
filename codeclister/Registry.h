// Read-only registry access by registry path ("Key\Sub\Value", trailing "\" for the default value).
// Anything missing, or a value of the wrong type or size, reads as empty or 0.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

// REG_SZ, or REG_EXPAND_SZ with its environment variables expanded.
std::string RegReadString(HKEY root, const std::string& path);
uint32_t RegReadDword(HKEY root, const std::string& path);
std::vector<uint8_t> RegReadBinary(HKEY root, const std::string& path);
// The names of the subkeys of the key named by `keyPath`.
std::vector<std::string> RegSubkeys(HKEY root, const std::string& keyPath);
