// Finding an ACM driver's alias in the registry's driver cache
// (HKLM\SOFTWARE\Microsoft\AudioCompressionManager\DriverCache\<key>).
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

struct DriverCacheKey {
  std::string name;                    // e.g. "msacm.imaadpcm"
  uint32_t formatTagCount = 0;         // DWORD "cFormatTags", 0 when missing or not a DWORD
  std::vector<uint8_t> formatTagCache; // binary "aFormatTagCache": 8-byte items, tag number first
};

// The first key whose tag count equals `driverTagCount`, whose cache is exactly that many 8-byte
// items and holds `tag` at the start of one of them; the alias is the key name without its first six
// characters ("msacm.").
std::optional<std::string> FindDriverAlias(const std::vector<DriverCacheKey>& keys, uint32_t driverTagCount,
                                           uint32_t tag);
