#include "settings/CrtNumbers.h"

#include <limits>

namespace {

size_t SkipSpaceAndSign(std::string_view text, bool& negative)
{
    size_t i = 0;
    while (i < text.size() && (text[i] == ' ' || (text[i] >= '\t' && text[i] <= '\r')))
        ++i;
    negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-'))
        negative = text[i++] == '-';
    return i;
}

int HexDigit(char c)
{
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

}  // namespace

int32_t WToI(std::string_view text)
{
    bool negative;
    size_t i = SkipSpaceAndSign(text, negative);
    const int64_t limit = negative ? -int64_t(std::numeric_limits<int32_t>::min())
                                   : int64_t(std::numeric_limits<int32_t>::max());
    int64_t value = 0;
    for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
        value = value * 10 + (text[i] - '0');
        if (value > limit)
            return negative ? std::numeric_limits<int32_t>::min() : std::numeric_limits<int32_t>::max();
    }
    return int32_t(negative ? -value : value);
}

uint32_t WcsToULHex(std::string_view text)
{
    bool negative;
    size_t i = SkipSpaceAndSign(text, negative);
    if (i + 2 < text.size() && text[i] == '0' && (text[i + 1] == 'x' || text[i + 1] == 'X')
        && HexDigit(text[i + 2]) >= 0)
        i += 2;
    uint64_t value = 0;
    for (; i < text.size() && HexDigit(text[i]) >= 0; ++i) {
        value = value * 16 + uint64_t(HexDigit(text[i]));
        if (value > std::numeric_limits<uint32_t>::max())
            return std::numeric_limits<uint32_t>::max();
    }
    return negative ? uint32_t(0u - uint32_t(value)) : uint32_t(value);
}
