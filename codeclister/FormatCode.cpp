#include "codeclister/FormatCode.h"

#include <cstdio>

#include "codeclister/CodecEntry.h"

namespace {
constexpr std::string_view kFourCcTail = "-0000-0010-8000-00AA00389B71";

int HexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}
}  // namespace

std::optional<uint32_t> FourCcOfSubtype(std::string_view subtype) {
  if (subtype.size() >= 2 && subtype.front() == '{' && subtype.back() == '}') {
    subtype = subtype.substr(1, subtype.size() - 2);
  }
  if (subtype.size() != 8 + kFourCcTail.size()) return std::nullopt;
  uint32_t value = 0;
  for (size_t i = 0; i < 8; ++i) {
    const int d = HexDigit(subtype[i]);
    if (d < 0) return std::nullopt;
    value = (value << 4) | static_cast<uint32_t>(d);
  }
  const std::string tail(subtype.substr(8));
  if (CompareNoCase(tail, std::string(kFourCcTail)) != 0) return std::nullopt;
  return value;
}

std::string FormatCodeFromSubtype(std::string_view type, std::string_view subtype) {
  const std::optional<uint32_t> fourCc = FourCcOfSubtype(subtype);
  if (!fourCc) return {};
  if (CompareNoCase(std::string(type), "Video") == 0) {
    // Four characters, lowest byte first; a zero byte ends the text as it would a C string.
    std::string code;
    for (int shift = 0; shift < 32; shift += 8) {
      const char c = static_cast<char>((*fourCc >> shift) & 0xFF);
      if (c == '\0') break;
      code += c;
    }
    return code;
  }
  char text[32];
  std::snprintf(text, sizeof text, "%u (0x%x)", static_cast<unsigned>(*fourCc), static_cast<unsigned>(*fourCc));
  return text;
}
