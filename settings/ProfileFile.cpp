#include "settings/ProfileFile.h"

#include "fileio/AtomicFile.h"
#include "fileio/TextEncoding.h"

#include <string_view>

namespace {

bool EqualsNoCase(std::string_view a, std::string_view b)
{
    if (a.size() != b.size())
        return false;
    for (size_t i = 0; i < a.size(); ++i) {
        char x = a[i], y = b[i];
        if (x >= 'A' && x <= 'Z') x = char(x - 'A' + 'a');
        if (y >= 'A' && y <= 'Z') y = char(y - 'A' + 'a');
        if (x != y)
            return false;
    }
    return true;
}

// "[name]" gives name; anything else is not a header.
bool SectionName(std::string_view line, std::string_view& name)
{
    line = TrimSpace(line);
    if (line.empty() || line.front() != '[')
        return false;
    const size_t close = line.find(']');
    name = TrimSpace(line.substr(1, close == std::string_view::npos ? std::string_view::npos : close - 1));
    return true;
}

// A value line's text without line breaks, so a value can never add lines to the file.
std::string OneLine(const std::string& value)
{
    std::string out = value;
    for (char& c : out)
        if (c == '\r' || c == '\n')
            c = ' ';
    return out;
}

// Enclosed in a pair of the same quotes, which reading drops.
bool IsQuoted(std::string_view value)
{
    return value.size() >= 2 && (value.front() == '"' || value.front() == '\'') && value.back() == value.front();
}

// The value as its line holds it. Reading trims white space and drops one pair of quotes, so a value
// that either would change is written in quotes and reads back as it was.
std::string ValueText(const std::string& value)
{
    const std::string text = OneLine(value);
    if (TrimSpace(text).size() != text.size() || IsQuoted(text))
        return '"' + text + '"';
    return text;
}

}  // namespace

CProfileFile::CProfileFile(std::string path) : path_(std::move(path))
{
    const auto bytes = ReadWholeFile(path_);
    if (!bytes)
        return;
    const std::string text = DecodeSystemText(*bytes);
    // Lines end at CR LF, LF or a lone CR: a value never holds a line break, so what is read can be
    // written back as it was.
    size_t start = 0;
    while (start < text.size()) {
        size_t end = text.find_first_of("\r\n", start);
        if (end == std::string::npos)
            end = text.size();
        lines_.push_back(text.substr(start, end - start));
        start = text.compare(end, 2, "\r\n") == 0 ? end + 2 : end + 1;
    }
}

size_t CProfileFile::FindSection(const std::string& section) const
{
    std::string_view name;
    for (size_t i = 0; i < lines_.size(); ++i)
        if (SectionName(lines_[i], name) && EqualsNoCase(name, section))
            return i;
    return std::string::npos;
}

size_t CProfileFile::SectionEnd(size_t header) const
{
    std::string_view name;
    size_t i = header + 1;
    while (i < lines_.size() && !SectionName(lines_[i], name))
        ++i;
    return i;
}

bool CProfileFile::FindKey(size_t header, const std::string& key, KeyLine& found) const
{
    const size_t end = SectionEnd(header);
    for (size_t i = header + 1; i < end; ++i) {
        const std::string_view line = lines_[i];
        const size_t eq = line.find('=');
        if (eq == std::string_view::npos || !EqualsNoCase(TrimSpace(line.substr(0, eq)), key))
            continue;
        std::string_view value = TrimSpace(line.substr(eq + 1));
        if (IsQuoted(value))
            value = value.substr(1, value.size() - 2);
        found = {i, std::string(value)};
        return true;
    }
    return false;
}

std::string CProfileFile::GetString(const std::string& section, const std::string& key,
                                    const std::string& fallback, size_t maxUnits) const
{
    const size_t header = FindSection(section);
    KeyLine found;
    if (header == std::string::npos || !FindKey(header, key, found))
        return CutToUtf16Units(fallback, maxUnits);
    return CutToUtf16Units(found.value, maxUnits);
}

void CProfileFile::SetString(const std::string& section, const std::string& key, const std::string& value)
{
    const std::string keyLine = OneLine(key) + "=" + ValueText(value);
    const size_t header = FindSection(section);
    if (header == std::string::npos) {
        lines_.push_back(std::string("[").append(OneLine(section)).append("]"));
        lines_.push_back(keyLine);
        return;
    }
    KeyLine found;
    if (FindKey(header, key, found)) {
        // The key keeps its spelling in the file.
        const std::string_view old = lines_[found.index];
        lines_[found.index] = std::string(TrimSpace(old.substr(0, old.find('=')))) + "=" + ValueText(value);
        return;
    }
    // After the section's last non-blank line, so blank lines between sections stay where they are.
    size_t insert = SectionEnd(header);
    while (insert > header + 1 && TrimSpace(lines_[insert - 1]).empty())
        --insert;
    lines_.insert(lines_.begin() + std::ptrdiff_t(insert), keyLine);
}

bool CProfileFile::Save() const
{
    std::string text;
    for (const std::string& line : lines_) {
        text += line;
        text += "\r\n";
    }
    return WriteFileAtomically(path_, text);
}
