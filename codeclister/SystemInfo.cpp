#include "codeclister/SystemInfo.h"

#include <windows.h>
#include <dxdiag.h>
#include <mmreg.h>
#include <msacm.h>
#include <wbemidl.h>

#include <cstdio>

#include "codeclister/DirectXFiles.h"
#include "codeclister/FileVersion.h"
#include "codeclister/Registry.h"
#include "codeclister/SystemText.h"
#include "codeclister/Win32Text.h"

namespace {
constexpr GUID kDxDiagProvider = {0xA65B8071, 0x3BFE, 0x4213, {0x9A, 0x5B, 0x49, 0x1D, 0xA4, 0x46, 0x1C, 0xA7}};
constexpr GUID kIDxDiagProvider = {0x9C6B4CB0, 0x23F8, 0x49CC, {0xA3, 0xED, 0x45, 0xA5, 0x50, 0x00, 0xA6, 0xD2}};
constexpr GUID kWbemLocator = {0x4590F811, 0x1D3A, 0x11D0, {0x89, 0x1F, 0x00, 0xAA, 0x00, 0x4B, 0x2E, 0x24}};
constexpr GUID kIWbemLocator = {0xDC12A687, 0x737F, 0x11CF, {0x88, 0x4D, 0x00, 0xAA, 0x00, 0x4B, 0x2E, 0x24}};
constexpr DWORD kDxDiagHeaderVersion = 111;

template <typename T>
void Release(T*& p) {
  if (p) p->Release();
  p = nullptr;
}

// A BSTR owned for the length of a call.
class Bstr {
 public:
  explicit Bstr(const wchar_t* text) : text_(SysAllocString(text)) {}
  ~Bstr() { SysFreeString(text_); }
  Bstr(const Bstr&) = delete;
  Bstr& operator=(const Bstr&) = delete;
  operator BSTR() const { return text_; }

 private:
  BSTR text_;
};

std::string OperatingSystem() {
  OSVERSIONINFOA info{};
  info.dwOSVersionInfoSize = sizeof info;
  if (!GetVersionExA(&info)) return {};
  OsVersion version;
  version.platformId = info.dwPlatformId;
  version.major = info.dwMajorVersion;
  version.minor = info.dwMinorVersion;
  version.build = info.dwBuildNumber;
  version.servicePack.assign(info.szCSDVersion, strnlen(info.szCSDVersion, sizeof info.szCSDVersion));
  std::string productType;
  if (info.dwPlatformId == VER_PLATFORM_WIN32_NT) {
    productType = RegReadString(HKEY_LOCAL_MACHINE, "SYSTEM\\CurrentControlSet\\Control\\ProductOptions\\ProductType");
  }
  return OperatingSystemText(version, productType);
}

bool IsNt() {
  OSVERSIONINFOA info{};
  info.dwOSVersionInfoSize = sizeof info;
  return GetVersionExA(&info) && info.dwPlatformId == VER_PLATFORM_WIN32_NT;
}

bool ReadDxDiagUint(IDxDiagContainer* container, const wchar_t* name, uint32_t& out) {
  VARIANT value;
  VariantInit(&value);
  const bool ok = SUCCEEDED(container->GetProp(name, &value)) && value.vt == VT_UI4;
  if (ok) out = value.ulVal;
  VariantClear(&value);
  return ok;
}

std::optional<DirectXVersion> DirectXFromDiagnostics() {
  IDxDiagProvider* provider = nullptr;
  if (FAILED(CoCreateInstance(kDxDiagProvider, nullptr, CLSCTX_INPROC_SERVER, kIDxDiagProvider,
                              reinterpret_cast<void**>(&provider)))) {
    return std::nullopt;
  }
  DXDIAG_INIT_PARAMS params{};
  params.dwSize = sizeof params;
  params.dwDxDiagHeaderVersion = kDxDiagHeaderVersion;
  params.bAllowWHQLChecks = FALSE;
  params.pReserved = nullptr;
  std::optional<DirectXVersion> found;
  IDxDiagContainer* root = nullptr;
  IDxDiagContainer* system = nullptr;
  if (SUCCEEDED(provider->Initialize(&params)) && SUCCEEDED(provider->GetRootContainer(&root)) && root &&
      SUCCEEDED(root->GetChildContainer(L"DxDiag_SystemInfo", &system)) && system) {
    DirectXVersion version;
    VARIANT letter;
    VariantInit(&letter);
    if (ReadDxDiagUint(system, L"dwDirectXVersionMajor", version.major) &&
        ReadDxDiagUint(system, L"dwDirectXVersionMinor", version.minor) &&
        SUCCEEDED(system->GetProp(L"szDirectXVersionLetter", &letter)) && letter.vt == VT_BSTR) {
      const std::string text = letter.bstrVal ? WideToAnsi(letter.bstrVal) : std::string();
      version.letter = text.empty() ? ' ' : text[0];
      found = version;
    }
    VariantClear(&letter);
  }
  Release(system);
  Release(root);
  Release(provider);
  return found;
}

std::string DirectX() {
  std::optional<DirectXVersion> version = DirectXFromDiagnostics();
  if (!version) {
    const std::string folder = SystemFolder();
    version = DirectXVersionFromFiles([&](const std::string& file) -> std::optional<uint64_t> {
      if (folder.empty()) return std::nullopt;
      return ReadFixedFileVersion(folder + "\\" + file);
    });
  }
  if (!version) return {};
  return DirectXVersionText(version->major, version->minor, version->letter);
}

// BuildVersion of the first Win32_WMISetting object; empty when there is none.
std::string WmiBuildVersion() {
  CoInitializeSecurity(nullptr, -1, nullptr, nullptr, RPC_C_AUTHN_LEVEL_DEFAULT, RPC_C_IMP_LEVEL_IMPERSONATE, nullptr,
                       EOAC_NONE, nullptr);
  IWbemLocator* locator = nullptr;
  if (FAILED(CoCreateInstance(kWbemLocator, nullptr, CLSCTX_INPROC_SERVER, kIWbemLocator,
                              reinterpret_cast<void**>(&locator)))) {
    return {};
  }
  std::string build;
  IWbemServices* services = nullptr;
  IEnumWbemClassObject* results = nullptr;
  IWbemClassObject* object = nullptr;
  Bstr space(L"ROOT\\CIMV2");
  Bstr language(L"WQL");
  Bstr query(L"SELECT * from Win32_WMISetting");
  if (SUCCEEDED(locator->ConnectServer(space, nullptr, nullptr, nullptr, 0, nullptr, nullptr, &services)) &&
      services &&
      SUCCEEDED(CoSetProxyBlanket(services, RPC_C_AUTHN_WINNT, RPC_C_AUTHZ_NONE, nullptr, RPC_C_AUTHN_LEVEL_CALL,
                                  RPC_C_IMP_LEVEL_IMPERSONATE, nullptr, EOAC_NONE)) &&
      SUCCEEDED(services->ExecQuery(language, query, WBEM_FLAG_FORWARD_ONLY | WBEM_FLAG_RETURN_IMMEDIATELY, nullptr,
                                    &results)) &&
      results) {
    ULONG returned = 0;
    if (results->Next(static_cast<LONG>(WBEM_INFINITE), 1, &object, &returned) == S_OK && returned == 1 && object) {
      VARIANT value;
      VariantInit(&value);
      if (SUCCEEDED(object->Get(L"BuildVersion", 0, &value, nullptr, nullptr)) && value.vt == VT_BSTR &&
          value.bstrVal) {
        build = WideToAnsi(value.bstrVal);
      }
      VariantClear(&value);
    }
  }
  Release(object);
  Release(results);
  Release(services);
  Release(locator);
  return build;
}

std::string Wmi() {
  std::string build = RegReadString(HKEY_LOCAL_MACHINE, "\\Software\\Microsoft\\WBEM\\Build");
  std::string queried = WmiBuildVersion();
  if (!queried.empty()) build = queried;
  return Trim(build);
}

std::string Format(const char* format, int value) {
  char text[48];
  std::snprintf(text, sizeof text, format, value);
  return text;
}
}  // namespace

SystemRows CollectSystemRows() {
  SystemRows rows;
  rows[0] = OperatingSystem();
  const bool nt = IsNt();
  const char* const processor = "Hardware\\Description\\System\\CentralProcessor\\0\\";
  if (nt) rows[1] = Trim(RegReadString(HKEY_LOCAL_MACHINE, std::string(processor) + "ProcessorNameString"));
  const uint32_t mhz = nt ? RegReadDword(HKEY_LOCAL_MACHINE, std::string(processor) + "~MHz") : 0;
  rows[2] = Format("%d Mhz.", static_cast<int>(mhz));
  MEMORYSTATUSEX memory{};
  memory.dwLength = sizeof memory;
  const uint64_t totalBytes = GlobalMemoryStatusEx(&memory) ? memory.ullTotalPhys : 0;
  rows[3] = Format("%d Mb.", static_cast<int>(totalBytes >> 20));
  rows[4] = DirectX();
  rows[5] = Wmi();
  rows[6] = AcmVersionText(acmGetVersion());
  return rows;
}
