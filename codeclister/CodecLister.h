// Finds the codecs installed on the machine: ACM drivers (for the driver lookup), the DirectShow device
// categories, the filter mapper and the DirectX Media Objects, with each codec's driver file, format
// code and broken flag.
#pragma once

#include <windows.h>
#include <strmif.h>

#include <string>
#include <vector>

#include "codeclister/AcmCatalog.h"
#include "codeclister/CodecEntry.h"

// Where the enumeration tells what it is doing.
class IStatusSink {
 public:
  virtual ~IStatusSink() = default;
  virtual void ShowStatus(const std::string& text) = 0;
};

class CCodecLister {
 public:
  CCodecLister() = default;
  ~CCodecLister();
  CCodecLister(const CCodecLister&) = delete;
  CCodecLister& operator=(const CCodecLister&) = delete;

  // Initialises COM and creates the device enumerator and the filter mapper; false when that fails.
  bool Initialize(IStatusSink& status);
  // Runs the phases in order, stopping at the first that fails, then sorts the list.
  void Enumerate(IStatusSink& status);
  // Frees the entries and records, releases the DirectShow objects, uninitialises COM.
  void Close();

  const std::vector<CodecEntry>& Codecs() const { return codecs_; }

 private:
  bool EnumerateDevices(IStatusSink& status, const char* type, const GUID& inputCategory, const char* inputSource,
                        const GUID& compressorCategory, const char* compressorSource, const GUID* mediaTypes);
  // False when the category enumerator cannot be made.
  bool EnumerateCategory(IStatusSink& status, const GUID& category, const char* type, const char* source);
  bool EnumerateMapper(IStatusSink& status, const GUID* mediaTypes, const char* type);
  bool EnumerateDmos(IStatusSink& status);
  void AddMoniker(IStatusSink& status, IMoniker* moniker, const char* type, const char* source,
                  const std::string& category);
  void FillDetails(CodecEntry& entry, const std::string& category) const;
  void FindDevenumKey(CodecEntry& entry, const std::string& category) const;

  bool comReady_ = false;
  ICreateDevEnum* devEnum_ = nullptr;
  IFilterMapper2* mapper_ = nullptr;
  CAcmCatalog acm_;
  std::vector<CodecEntry> codecs_;
};

// Sets `broken` and, when the driver loads from the search path, its full path.
void TestDriverFile(CodecEntry& entry);
