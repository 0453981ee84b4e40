#pragma once
// Number parsing as the settings files have always been read: the C runtime's `_wtoi` and
// `wcstoul(…, 16)` on 32-bit values.
#include <cstdint>
#include <string_view>

// Leading white space, an optional sign, decimal digits up to the first other character; no digits
// gives 0; out of range gives INT32_MAX or INT32_MIN.
int32_t WToI(std::string_view text);

// Leading white space, an optional sign, an optional "0x"/"0X", hexadecimal digits up to the first
// other character; no digits gives 0; out of range gives 0xFFFFFFFF; a minus sign negates.
uint32_t WcsToULHex(std::string_view text);
