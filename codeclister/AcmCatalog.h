// The ACM drivers that could be opened, with their format tags, and the lookup of a format tag's
// driver file through the driver cache and Drivers32.
#pragma once

#include <windows.h>
#include <mmreg.h>
#include <msacm.h>

#include <string>
#include <vector>

constexpr size_t kMaxFormatTags = 64;

struct AcmDriverRecord {
  HACMDRIVERID driverId = nullptr;
  ACMDRIVERDETAILSA details{};
  ACMFORMATTAGDETAILSA formatTags[kMaxFormatTags]{};
  // Every tag the driver reported; only the first kMaxFormatTags are kept above.
  DWORD formatTagCount = 0;
};

class CAcmCatalog {
 public:
  // Enumerates the drivers (local ones left out); false when the enumeration itself fails.
  bool Collect();
  // The driver file of the first driver whose format tag is named `name`; empty when none is found.
  std::string FindDriverFile(const std::string& name) const;
  void Clear() { drivers_.clear(); }

 private:
  static BOOL CALLBACK OnDriver(HACMDRIVERID driverId, DWORD_PTR instance, DWORD support);
  static BOOL CALLBACK OnFormatTag(HACMDRIVERID driverId, LPACMFORMATTAGDETAILSA details, DWORD_PTR instance,
                                   DWORD support);

  std::vector<AcmDriverRecord> drivers_;
};
