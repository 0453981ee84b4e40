#include "codeclister/CodecLister.h"

#include <dmo.h>
#include <uuids.h>

#include <cstdio>

#include "codeclister/FormatCode.h"
#include "codeclister/Registry.h"
#include "codeclister/Win32Text.h"

namespace {
// Category and media type identifiers, spelled out so the program does not depend on which of them
// a given SDK's import libraries carry.
constexpr GUID kAudioInputDevice = {0x33D9A762, 0x90C8, 0x11D0, {0xBD, 0x43, 0x00, 0xA0, 0xC9, 0x11, 0xCE, 0x86}};
constexpr GUID kAudioCompressor = {0x33D9A761, 0x90C8, 0x11D0, {0xBD, 0x43, 0x00, 0xA0, 0xC9, 0x11, 0xCE, 0x86}};
constexpr GUID kVideoInputDevice = {0x860BB310, 0x5D01, 0x11D0, {0xBD, 0x3B, 0x00, 0xA0, 0xC9, 0x11, 0xCE, 0x86}};
constexpr GUID kVideoCompressor = {0x33D9A760, 0x90C8, 0x11D0, {0xBD, 0x43, 0x00, 0xA0, 0xC9, 0x11, 0xCE, 0x86}};
constexpr GUID kDmoAudioDecoder = {0x57F2DB8B, 0xE6BB, 0x4513, {0x9D, 0x43, 0xDC, 0xD2, 0xA6, 0x59, 0x31, 0x25}};
constexpr GUID kDmoVideoDecoder = {0x4A69B442, 0x28BE, 0x4991, {0x96, 0x9C, 0xB5, 0x00, 0xAD, 0xF5, 0xD8, 0xA8}};

constexpr GUID kSystemDeviceEnum = {0x62BE5D10, 0x60EB, 0x11D0, {0xBD, 0x3B, 0x00, 0xA0, 0xC9, 0x11, 0xCE, 0x86}};
constexpr GUID kICreateDevEnum = {0x29840822, 0x5B84, 0x11D0, {0xBD, 0x3B, 0x00, 0xA0, 0xC9, 0x11, 0xCE, 0x86}};
constexpr GUID kFilterMapper2 = {0xCDA42200, 0xBD88, 0x11D0, {0xBD, 0x4E, 0x00, 0xA0, 0xC9, 0x11, 0xCE, 0x86}};
constexpr GUID kIFilterMapper2 = {0xB79BB0B0, 0x33C1, 0x11D1, {0xAB, 0xE1, 0x00, 0xA0, 0xC9, 0x05, 0xF3, 0x75}};
constexpr GUID kIPropertyBag = {0x55272A00, 0x42CB, 0x11CE, {0x81, 0x35, 0x00, 0xAA, 0x00, 0x4B, 0xB8, 0x51}};
constexpr GUID kIBaseFilter = {0x56A86895, 0x0AD4, 0x11CE, {0xB0, 0x3A, 0x00, 0x20, 0xAF, 0x0B, 0xA7, 0x70}};
constexpr GUID kIMediaObject = {0xD8AD0F58, 0x5494, 0x4102, {0x97, 0xC5, 0xEC, 0x79, 0x8E, 0x59, 0xBC, 0xF4}};

// Major types paired with "any subtype" (GUID_NULL) for the mapper query.
constexpr GUID kAudioTypes[6] = {
    {0x73647561, 0x0000, 0x0010, {0x80, 0x00, 0x00, 0xAA, 0x00, 0x38, 0x9B, 0x71}}, {},
    {0x0482DEE1, 0x7817, 0x11CF, {0x8A, 0x03, 0x00, 0xAA, 0x00, 0x6E, 0xCB, 0x65}}, {},
    {0x7364696D, 0x0000, 0x0010, {0x80, 0x00, 0x00, 0xAA, 0x00, 0x38, 0x9B, 0x71}}, {}};
constexpr GUID kVideoTypes[6] = {
    {0x73646976, 0x0000, 0x0010, {0x80, 0x00, 0x00, 0xAA, 0x00, 0x38, 0x9B, 0x71}}, {},
    {0x0482DDE1, 0x7817, 0x11CF, {0x8A, 0x03, 0x00, 0xAA, 0x00, 0x6E, 0xCB, 0x65}}, {},
    {0x73766169, 0x0000, 0x0010, {0x80, 0x00, 0x00, 0xAA, 0x00, 0x38, 0x9B, 0x71}}, {}};

constexpr DWORD kMinimumMerit = 0x600000;

template <typename T>
void Release(T*& p) {
  if (p) p->Release();
  p = nullptr;
}

// A string property of a property bag; empty when it is missing or not a string.
std::string ReadBagString(IPropertyBag* bag, const wchar_t* name) {
  VARIANT value;
  VariantInit(&value);
  std::string text;
  if (SUCCEEDED(bag->Read(name, &value, nullptr)) && value.vt == VT_BSTR && value.bstrVal != nullptr) {
    text = WideToAnsi(value.bstrVal, static_cast<int>(SysStringLen(value.bstrVal)));
  }
  VariantClear(&value);
  return text;
}

void FreeMediaType(AM_MEDIA_TYPE* type) {
  if (!type) return;
  if (type->cbFormat != 0) CoTaskMemFree(type->pbFormat);
  if (type->pUnk) type->pUnk->Release();
  CoTaskMemFree(type);
}

// The format code of the first media type of the filter's first pin that yields one.
std::string FormatCodeFromFirstPin(IMoniker* moniker, const std::string& type) {
  IBaseFilter* filter = nullptr;
  if (FAILED(moniker->BindToObject(nullptr, nullptr, kIBaseFilter, reinterpret_cast<void**>(&filter)))) return {};
  std::string code;
  IEnumPins* pins = nullptr;
  IPin* pin = nullptr;
  IEnumMediaTypes* types = nullptr;
  if (SUCCEEDED(filter->EnumPins(&pins)) && pins && pins->Next(1, &pin, nullptr) == S_OK && pin &&
      SUCCEEDED(pin->EnumMediaTypes(&types)) && types) {
    AM_MEDIA_TYPE* mediaType = nullptr;
    while (code.empty() && types->Next(1, &mediaType, nullptr) == S_OK && mediaType) {
      code = FormatCodeFromSubtype(type, GuidToString(mediaType->subtype));
      FreeMediaType(mediaType);
      mediaType = nullptr;
    }
  }
  Release(types);
  Release(pin);
  Release(pins);
  Release(filter);
  return code;
}

// The format code of a DMO's first input type.
std::string FormatCodeFromDmo(const CLSID& clsid, const std::string& type) {
  IMediaObject* object = nullptr;
  if (FAILED(CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER, kIMediaObject, reinterpret_cast<void**>(&object)))) {
    return {};
  }
  std::string code;
  DMO_MEDIA_TYPE mediaType{};
  if (object->GetInputType(0, 0, &mediaType) == S_OK) {
    code = FormatCodeFromSubtype(type, GuidToString(mediaType.subtype));
    // What MoFreeMediaType does (msdmo's import of it is not declared extern "C" by every SDK).
    if (mediaType.cbFormat != 0) CoTaskMemFree(mediaType.pbFormat);
    if (mediaType.pUnk) mediaType.pUnk->Release();
  }
  Release(object);
  return code;
}

std::string FullModulePath(HMODULE module) {
  std::vector<char> buffer(MAX_PATH);
  for (int attempt = 0; attempt < 6; ++attempt) {
    const DWORD length = GetModuleFileNameA(module, buffer.data(), static_cast<DWORD>(buffer.size()));
    if (length == 0) return {};
    if (length < buffer.size()) return std::string(buffer.data(), length);
    buffer.resize(buffer.size() * 2);  // cut short: try a larger buffer
  }
  return {};
}
}  // namespace

void TestDriverFile(CodecEntry& entry) {
  entry.broken = 1;
  if (entry.driver.empty()) return;
  const DWORD attributes = GetFileAttributesA(entry.driver.c_str());
  if (attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY)) {
    entry.broken = 0;
    return;
  }
  const UINT oldMode = SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOOPENFILEERRORBOX);
  HMODULE module = LoadLibraryA(entry.driver.c_str());
  SetErrorMode(oldMode);
  if (!module) return;
  entry.broken = 0;
  const std::string path = FullModulePath(module);
  if (!path.empty()) entry.driver = path;
  FreeLibrary(module);
}

CCodecLister::~CCodecLister() { Close(); }

bool CCodecLister::Initialize(IStatusSink& status) {
  status.ShowStatus("Initializing Codec Lister Module");
  if (!comReady_) {
    const HRESULT hr = CoInitialize(nullptr);
    if (FAILED(hr)) return false;
    comReady_ = true;
  }
  if (FAILED(CoCreateInstance(kSystemDeviceEnum, nullptr, CLSCTX_INPROC, kICreateDevEnum,
                              reinterpret_cast<void**>(&devEnum_))) ||
      FAILED(CoCreateInstance(kFilterMapper2, nullptr, CLSCTX_INPROC, kIFilterMapper2,
                              reinterpret_cast<void**>(&mapper_)))) {
    Release(devEnum_);
    Release(mapper_);
    return false;
  }
  return true;
}

void CCodecLister::Close() {
  codecs_.clear();
  acm_.Clear();
  Release(devEnum_);
  Release(mapper_);
  if (comReady_) CoUninitialize();
  comReady_ = false;
}

void CCodecLister::Enumerate(IStatusSink& status) {
  if (!devEnum_ || !mapper_) return;
  status.ShowStatus("Enumerating ACM Codecs");
  if (acm_.Collect()) {
    status.ShowStatus("Enumerating Audio Codecs");
    if (EnumerateDevices(status, "Audio", kAudioInputDevice, "Audio Input Device", kAudioCompressor,
                         "Audio Compressor", kAudioTypes)) {
      status.ShowStatus("Enumerating Video Codecs");
      if (EnumerateDevices(status, "Video", kVideoInputDevice, "Video Input Device", kVideoCompressor,
                           "Video Compressor", kVideoTypes)) {
        status.ShowStatus("Enumerating DirectX Media Objects");
        EnumerateDmos(status);
      }
    }
  }
  SortCodecs(codecs_);
}

bool CCodecLister::EnumerateDevices(IStatusSink& status, const char* type, const GUID& inputCategory,
                                    const char* inputSource, const GUID& compressorCategory,
                                    const char* compressorSource, const GUID* mediaTypes) {
  // An empty category is no failure: a machine without a microphone still lists its codecs.
  return EnumerateCategory(status, inputCategory, type, inputSource) &&
         EnumerateCategory(status, compressorCategory, type, compressorSource) &&
         EnumerateMapper(status, mediaTypes, type);
}

bool CCodecLister::EnumerateCategory(IStatusSink& status, const GUID& category, const char* type,
                                     const char* source) {
  IEnumMoniker* monikers = nullptr;
  const HRESULT hr = devEnum_->CreateClassEnumerator(category, &monikers, 0);
  if (FAILED(hr)) return false;
  if (hr == S_FALSE || !monikers) return true;  // the category is empty
  const std::string categoryText = GuidToString(category);
  IMoniker* moniker = nullptr;
  while (monikers->Next(1, &moniker, nullptr) == S_OK && moniker) {
    AddMoniker(status, moniker, type, source, categoryText);
    Release(moniker);
  }
  Release(monikers);
  return true;
}

bool CCodecLister::EnumerateMapper(IStatusSink& status, const GUID* mediaTypes, const char* type) {
  IEnumMoniker* monikers = nullptr;
  const HRESULT hr = mapper_->EnumMatchingFilters(&monikers, 0, TRUE, kMinimumMerit, TRUE, 3, mediaTypes, nullptr,
                                                  nullptr, FALSE, TRUE, 0, nullptr, nullptr, nullptr);
  if (FAILED(hr) || !monikers) return false;
  IMoniker* moniker = nullptr;
  while (monikers->Next(1, &moniker, nullptr) == S_OK && moniker) {
    AddMoniker(status, moniker, type, "Filter Mapper", std::string());
    Release(moniker);
  }
  Release(monikers);
  return true;
}

void CCodecLister::AddMoniker(IStatusSink& status, IMoniker* moniker, const char* type, const char* source,
                              const std::string& category) {
  IPropertyBag* bag = nullptr;
  if (FAILED(moniker->BindToStorage(nullptr, nullptr, kIPropertyBag, reinterpret_cast<void**>(&bag))) || !bag) {
    return;
  }
  CodecEntry entry;
  entry.type = type;
  entry.source = source;
  entry.name = ReadBagString(bag, L"FriendlyName");
  entry.clsid = ReadBagString(bag, L"CLSID");
  Release(bag);
  if (entry.name.empty() || entry.clsid.empty()) return;
  status.ShowStatus(entry.name);
  FillDetails(entry, category);
  if (entry.formatCode.empty()) entry.formatCode = FormatCodeFromFirstPin(moniker, entry.type);
  codecs_.push_back(entry);
}

bool CCodecLister::EnumerateDmos(IStatusSink& status) {
  const struct {
    const GUID* category;
    const char* type;
  } categories[] = {{&kDmoAudioDecoder, "Audio"}, {&kAudioCompressor, "Audio"},
                    {&kDmoVideoDecoder, "Video"}, {&kVideoCompressor, "Video"}};
  for (const auto& c : categories) {
    IEnumDMO* dmos = nullptr;
    if (FAILED(DMOEnum(*c.category, 0, 0, nullptr, 0, nullptr, &dmos)) || !dmos) return false;
    CLSID clsid;
    WCHAR* name = nullptr;
    DWORD fetched = 0;
    while (dmos->Next(1, &clsid, &name, &fetched) == S_OK && fetched == 1) {
      CodecEntry entry;
      entry.type = c.type;
      entry.source = "DirectX Media Objects";
      entry.name = WideToAnsi(name);
      CoTaskMemFree(name);
      name = nullptr;
      entry.clsid = GuidToString(clsid);
      status.ShowStatus(entry.name);
      FillDetails(entry, std::string());
      if (entry.formatCode.empty()) entry.formatCode = FormatCodeFromDmo(clsid, entry.type);
      codecs_.push_back(entry);
    }
    Release(dmos);
  }
  return true;
}

void CCodecLister::FindDevenumKey(CodecEntry& entry, const std::string& category) const {
  const std::string devenum = "Software\\Microsoft\\ActiveMovie\\devenum\\" + category + "\\";
  for (const std::string& key : RegSubkeys(HKEY_CURRENT_USER, devenum)) {
    if (RegReadString(HKEY_CURRENT_USER, devenum + key + "\\FriendlyName") != entry.name) continue;
    if (entry.source == "Video Compressor") {
      entry.formatCode = key;
      const std::string file =
          RegReadString(HKEY_LOCAL_MACHINE, "SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\Drivers32\\vidc." + key);
      if (!file.empty()) entry.driver = SystemFolder() + "\\" + file;
    } else {
      const uint32_t acmId = RegReadDword(HKEY_CURRENT_USER, devenum + key + "\\AcmId");
      char code[40];
      std::snprintf(code, sizeof code, "%d (0x%X)", static_cast<int>(acmId), static_cast<unsigned>(acmId));
      entry.formatCode = code;
    }
    return;
  }
}

void CCodecLister::FillDetails(CodecEntry& entry, const std::string& category) const {
  if (entry.source == "Video Compressor") FindDevenumKey(entry, category);
  if (entry.source == "Audio Compressor") {
    FindDevenumKey(entry, category);
    const std::string file = acm_.FindDriverFile(entry.name);
    if (!file.empty()) {
      entry.driver = file;
      entry.formatCode += " (audc) ";
    }
  }
  if (entry.driver.empty()) {
    entry.driver = RegReadString(HKEY_LOCAL_MACHINE, "Software\\Classes\\CLSID\\" + entry.clsid + "\\InprocServer32\\");
    const std::string code = FormatCodeFromSubtype(entry.type, entry.clsid);
    if (!code.empty()) entry.formatCode = code;
  }
  TestDriverFile(entry);
}
