#include "codeclister/AcmCatalog.h"

#include <cstring>

#include "codeclister/DriverCache.h"
#include "codeclister/Registry.h"

namespace {
const char kDriverCache[] = "SOFTWARE\\Microsoft\\AudioCompressionManager\\DriverCache\\";
const char kDrivers32[] = "SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\Drivers32\\";

std::vector<DriverCacheKey> ReadDriverCache() {
  std::vector<DriverCacheKey> keys;
  for (const std::string& name : RegSubkeys(HKEY_LOCAL_MACHINE, std::string("\\") + kDriverCache)) {
    const std::string key = kDriverCache + name + "\\";
    keys.push_back({name, RegReadDword(HKEY_LOCAL_MACHINE, key + "cFormatTags"),
                    RegReadBinary(HKEY_LOCAL_MACHINE, key + "aFormatTagCache")});
  }
  return keys;
}

// A fixed-size name field, read only up to its size even when it lacks its terminator.
std::string FixedText(const char* field, size_t size) { return std::string(field, strnlen(field, size)); }
}  // namespace

BOOL CALLBACK CAcmCatalog::OnFormatTag(HACMDRIVERID, LPACMFORMATTAGDETAILSA details, DWORD_PTR instance, DWORD) {
  auto* record = reinterpret_cast<AcmDriverRecord*>(instance);
  if (record->formatTagCount < kMaxFormatTags) record->formatTags[record->formatTagCount] = *details;
  ++record->formatTagCount;
  return TRUE;
}

BOOL CALLBACK CAcmCatalog::OnDriver(HACMDRIVERID driverId, DWORD_PTR instance, DWORD) {
  auto* self = reinterpret_cast<CAcmCatalog*>(instance);
  AcmDriverRecord record;
  record.driverId = driverId;
  record.details.cbStruct = sizeof record.details;
  if (acmDriverDetailsA(driverId, &record.details, 0) != MMSYSERR_NOERROR) return TRUE;
  HACMDRIVER driver = nullptr;
  if (acmDriverOpen(&driver, driverId, 0) != MMSYSERR_NOERROR) return TRUE;
  ACMFORMATTAGDETAILSA query{};
  query.cbStruct = sizeof query;
  acmFormatTagEnumA(driver, &query, OnFormatTag, reinterpret_cast<DWORD_PTR>(&record), 0);
  acmDriverClose(driver, 0);
  self->drivers_.push_back(record);
  return TRUE;
}

bool CAcmCatalog::Collect() {
  drivers_.clear();
  return acmDriverEnum(OnDriver, reinterpret_cast<DWORD_PTR>(this), ACM_DRIVERENUMF_NOLOCAL) == MMSYSERR_NOERROR;
}

std::string CAcmCatalog::FindDriverFile(const std::string& name) const {
  std::vector<DriverCacheKey> cache;
  bool cacheRead = false;
  for (const AcmDriverRecord& driver : drivers_) {
    const DWORD kept = driver.formatTagCount < kMaxFormatTags ? driver.formatTagCount : kMaxFormatTags;
    for (DWORD i = 0; i < kept; ++i) {
      const ACMFORMATTAGDETAILSA& tag = driver.formatTags[i];
      if (FixedText(tag.szFormatTag, sizeof tag.szFormatTag) != name) continue;
      if (!cacheRead) {
        cache = ReadDriverCache();
        cacheRead = true;
      }
      const auto alias = FindDriverAlias(cache, driver.formatTagCount, tag.dwFormatTag);
      if (!alias) continue;
      const std::string file = RegReadString(HKEY_LOCAL_MACHINE, kDrivers32 + std::string("msacm.") + *alias);
      if (!file.empty()) return file;
    }
  }
  return {};
}
