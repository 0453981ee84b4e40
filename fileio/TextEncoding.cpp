#include "fileio/TextEncoding.h"

#include <iconv.h>

#include <cerrno>

namespace {

// Length of the UTF-8 sequence starting at `i`, or 0 when it is not a valid one.
size_t Utf8SequenceLength(std::string_view s, size_t i)
{
    const auto b = [&](size_t k) { return static_cast<unsigned char>(s[k]); };
    const unsigned char c = b(i);
    if (c < 0x80)
        return 1;
    size_t len;
    unsigned int cp;
    if (c >= 0xC2 && c <= 0xDF) { len = 2; cp = c & 0x1F; }
    else if (c >= 0xE0 && c <= 0xEF) { len = 3; cp = c & 0x0F; }
    else if (c >= 0xF0 && c <= 0xF4) { len = 4; cp = c & 0x07; }
    else return 0;
    if (i + len > s.size())
        return 0;
    for (size_t k = 1; k < len; ++k) {
        if ((b(i + k) & 0xC0) != 0x80)
            return 0;
        cp = (cp << 6) | (b(i + k) & 0x3F);
    }
    const bool overlong = (len == 3 && cp < 0x800) || (len == 4 && cp < 0x10000);
    if (overlong || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF))
        return 0;
    return len;
}

}  // namespace

std::string_view TrimSpace(std::string_view text)
{
    const auto space = [](char c) { return c == ' ' || (c >= '\t' && c <= '\r'); };
    while (!text.empty() && space(text.front()))
        text.remove_prefix(1);
    while (!text.empty() && space(text.back()))
        text.remove_suffix(1);
    return text;
}

bool IsValidUtf8(std::string_view bytes)
{
    for (size_t i = 0; i < bytes.size();) {
        const size_t len = Utf8SequenceLength(bytes, i);
        if (len == 0)
            return false;
        i += len;
    }
    return true;
}

namespace {

constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";

// Marks at the start are no text, however many there are and whichever encoding they came in: a
// file written back from what was read then reads the same again.
std::string WithoutByteOrderMarks(std::string text)
{
    size_t marks = 0;
    while (text.compare(marks, kByteOrderMark.size(), kByteOrderMark) == 0)
        marks += kByteOrderMark.size();
    text.erase(0, marks);
    return text;
}

std::string DecodeGb18030(std::string_view bytes)
{
    std::string out;
    iconv_t cd = iconv_open("UTF-8", "GB18030");
    if (cd == reinterpret_cast<iconv_t>(-1))
        return out;
    out.reserve(bytes.size() * 3 / 2 + 16);
    char buffer[4096];
    char* in = const_cast<char*>(bytes.data());
    size_t inLeft = bytes.size();
    while (inLeft > 0) {
        char* outPtr = buffer;
        size_t outLeft = sizeof buffer;
        const size_t r = iconv(cd, &in, &inLeft, &outPtr, &outLeft);
        out.append(buffer, size_t(outPtr - buffer));
        if (r == size_t(-1) && errno != E2BIG) {
            // A byte that starts no character: show a replacement character and go on after it.
            out += "\xEF\xBF\xBD";
            ++in;
            --inLeft;
        }
    }
    iconv_close(cd);
    return out;
}

}  // namespace

std::string DecodeSystemText(std::string_view bytes)
{
    // A UTF-8 mark ahead of GB18030 text is no part of it either.
    if (bytes.substr(0, kByteOrderMark.size()) == kByteOrderMark)
        bytes.remove_prefix(kByteOrderMark.size());
    return WithoutByteOrderMarks(IsValidUtf8(bytes) ? std::string(bytes) : DecodeGb18030(bytes));
}

std::string CutToUtf16Units(std::string_view utf8, size_t maxUnits)
{
    size_t units = 0;
    size_t i = 0;
    while (i < utf8.size()) {
        size_t len = Utf8SequenceLength(utf8, i);
        if (len == 0)
            len = 1;  // a stray byte counts as one unit
        const size_t need = len == 4 ? 2 : 1;
        if (units + need > maxUnits)
            break;
        units += need;
        i += len;
    }
    return std::string(utf8.substr(0, i));
}

std::string CutToUtf8Bytes(std::string_view utf8, size_t maxBytes)
{
    if (utf8.size() <= maxBytes)
        return std::string(utf8);
    size_t end = maxBytes;
    while (end > 0 && (static_cast<unsigned char>(utf8[end]) & 0xC0) == 0x80)
        --end;
    return std::string(utf8.substr(0, end));
}
