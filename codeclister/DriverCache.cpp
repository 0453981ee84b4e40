#include "codeclister/DriverCache.h"

namespace {
constexpr size_t kAliasPrefixLength = 6;
constexpr size_t kItemSize = 8;

uint32_t ReadLe32(const uint8_t* p) {
  return static_cast<uint32_t>(p[0]) | (static_cast<uint32_t>(p[1]) << 8) | (static_cast<uint32_t>(p[2]) << 16) |
         (static_cast<uint32_t>(p[3]) << 24);
}

bool CacheHoldsTag(const DriverCacheKey& key, uint32_t count, uint32_t tag) {
  if (key.formatTagCount != count) return false;
  if (static_cast<uint64_t>(key.formatTagCache.size()) != static_cast<uint64_t>(count) * kItemSize) return false;
  for (size_t at = 0; at + kItemSize <= key.formatTagCache.size(); at += kItemSize) {
    if (ReadLe32(key.formatTagCache.data() + at) == tag) return true;
  }
  return false;
}
}  // namespace

std::optional<std::string> FindDriverAlias(const std::vector<DriverCacheKey>& keys, uint32_t driverTagCount,
                                           uint32_t tag) {
  for (const DriverCacheKey& key : keys) {
    if (!CacheHoldsTag(key, driverTagCount, tag)) continue;
    if (key.name.size() <= kAliasPrefixLength) return std::nullopt;
    return key.name.substr(kAliasPrefixLength);
  }
  return std::nullopt;
}
