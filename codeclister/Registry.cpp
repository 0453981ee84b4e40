#include "codeclister/Registry.h"

#include "codeclister/RegistryPath.h"

namespace {
class OpenKey {
 public:
  OpenKey(HKEY root, const std::string& key) {
    if (RegOpenKeyExA(root, key.c_str(), 0, KEY_READ, &key_) != ERROR_SUCCESS) key_ = nullptr;
  }
  ~OpenKey() {
    if (key_) RegCloseKey(key_);
  }
  OpenKey(const OpenKey&) = delete;
  OpenKey& operator=(const OpenKey&) = delete;
  HKEY get() const { return key_; }

 private:
  HKEY key_ = nullptr;
};

// The raw bytes of a value and its type; false when it is missing.
bool ReadRaw(HKEY root, const std::string& path, DWORD& type, std::vector<uint8_t>& data) {
  const RegistryPath p = SplitRegistryPath(path);
  OpenKey key(root, p.key);
  if (!key.get()) return false;
  // The value may grow between the size query and the read: ask again then.
  for (int attempt = 0; attempt < 4; ++attempt) {
    DWORD size = 0;
    if (RegQueryValueExA(key.get(), p.value.c_str(), nullptr, &type, nullptr, &size) != ERROR_SUCCESS) return false;
    data.assign(size, 0);
    DWORD got = size;
    const LONG rc = RegQueryValueExA(key.get(), p.value.c_str(), nullptr, &type, data.empty() ? nullptr : data.data(), &got);
    if (rc == ERROR_MORE_DATA) continue;
    if (rc != ERROR_SUCCESS) return false;
    data.resize(got < size ? got : size);
    return true;
  }
  return false;
}

// "%SystemRoot%\system32\x.dll" as the path it names; unchanged when it cannot be expanded.
std::string ExpandVariables(const std::string& text) {
  std::vector<char> buffer(text.size() + 256);
  for (int attempt = 0; attempt < 4; ++attempt) {
    const DWORD needed = ExpandEnvironmentStringsA(text.c_str(), buffer.data(), static_cast<DWORD>(buffer.size()));
    if (needed == 0) return text;
    if (needed <= buffer.size()) return std::string(buffer.data());
    buffer.resize(needed);
  }
  return text;
}
}  // namespace

std::string RegReadString(HKEY root, const std::string& path) {
  DWORD type = 0;
  std::vector<uint8_t> data;
  if (!ReadRaw(root, path, type, data) || (type != REG_SZ && type != REG_EXPAND_SZ)) return {};
  // Stored strings need not carry their terminating zero; stop at the first one there is.
  size_t length = 0;
  while (length < data.size() && data[length] != 0) ++length;
  std::string text(reinterpret_cast<const char*>(data.data()), length);
  if (type == REG_EXPAND_SZ) text = ExpandVariables(text);
  return text;
}

uint32_t RegReadDword(HKEY root, const std::string& path) {
  DWORD type = 0;
  std::vector<uint8_t> data;
  if (!ReadRaw(root, path, type, data) || type != REG_DWORD || data.size() != 4) return 0;
  return static_cast<uint32_t>(data[0]) | (static_cast<uint32_t>(data[1]) << 8) |
         (static_cast<uint32_t>(data[2]) << 16) | (static_cast<uint32_t>(data[3]) << 24);
}

std::vector<uint8_t> RegReadBinary(HKEY root, const std::string& path) {
  DWORD type = 0;
  std::vector<uint8_t> data;
  if (!ReadRaw(root, path, type, data) || type != REG_BINARY) return {};
  return data;
}

std::vector<std::string> RegSubkeys(HKEY root, const std::string& keyPath) {
  std::vector<std::string> names;
  OpenKey key(root, RegistryKeyPath(keyPath));
  if (!key.get()) return names;
  char name[256];  // registry key names are at most 255 characters
  for (DWORD index = 0;; ++index) {
    DWORD length = sizeof name;
    const LONG rc = RegEnumKeyExA(key.get(), index, name, &length, nullptr, nullptr, nullptr, nullptr);
    if (rc == ERROR_MORE_DATA) continue;  // a name longer than the registry allows: skip it
    if (rc != ERROR_SUCCESS) break;
    names.emplace_back(name, length < sizeof name ? length : sizeof name - 1);
  }
  return names;
}
