// The "Four CC Code" of a codec, taken from a media subtype of the FourCC family
// (XXXXXXXX-0000-0010-8000-00AA00389B71).
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

// The first group of a class identifier string ("{...}" or bare) when it has the FourCC form.
std::optional<uint32_t> FourCcOfSubtype(std::string_view subtype);

// Video codecs get the four characters (lowest byte first), others "%u (0x%x)"; empty when the
// subtype is not of the FourCC form.
std::string FormatCodeFromSubtype(std::string_view type, std::string_view subtype);
