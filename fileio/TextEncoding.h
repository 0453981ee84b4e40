#pragma once
#include <cstddef>
#include <string>
#include <string_view>

// Text files of the old code page: UTF-8 when the bytes are valid UTF-8, else GB18030. Returns UTF-8;
// byte-order marks at the start are dropped.
std::string DecodeSystemText(std::string_view bytes);

bool IsValidUtf8(std::string_view bytes);

// The text without leading and trailing ASCII white space (space, tab, CR, LF, VT, FF).
std::string_view TrimSpace(std::string_view text);

// The longest prefix of a UTF-8 string that fits in `maxUnits` UTF-16 code units, cut between characters.
std::string CutToUtf16Units(std::string_view utf8, size_t maxUnits);

// The longest prefix of at most `maxBytes` bytes that ends on a character boundary.
std::string CutToUtf8Bytes(std::string_view utf8, size_t maxBytes);
