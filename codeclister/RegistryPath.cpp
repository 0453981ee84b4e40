#include "codeclister/RegistryPath.h"

namespace {
std::string_view TrimSlashes(std::string_view s) {
  while (!s.empty() && s.front() == '\\') s.remove_prefix(1);
  while (!s.empty() && s.back() == '\\') s.remove_suffix(1);
  return s;
}
}  // namespace

RegistryPath SplitRegistryPath(std::string_view path) {
  if (!path.empty() && path.front() == '\\') path.remove_prefix(1);
  RegistryPath result;
  const size_t last = path.rfind('\\');
  if (last == std::string_view::npos) {
    result.value = std::string(TrimSlashes(path));
    return result;
  }
  // A doubled separator before the value ("Key\\Value") still names "Key".
  std::string_view key = path.substr(0, last);
  while (!key.empty() && key.back() == '\\') key.remove_suffix(1);
  result.key = std::string(key);
  result.value = std::string(TrimSlashes(path.substr(last + 1)));
  return result;
}

std::string RegistryKeyPath(std::string_view path) { return std::string(TrimSlashes(path)); }
