// A registry path names a key and a value together: "Key\Sub\Value"; a trailing "\" means the
// key's default value.
#pragma once

#include <string>
#include <string_view>

struct RegistryPath {
  std::string key;
  std::string value;  // empty for the default value
};

RegistryPath SplitRegistryPath(std::string_view path);

// The path taken as a key only (for subkey enumeration): no leading or trailing "\".
std::string RegistryKeyPath(std::string_view path);
