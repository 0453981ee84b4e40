#pragma once
// An INI file read and written the way the Windows private-profile functions do where the settings rely
// on it: section and key names match without regard to case, values are trimmed, a write replaces the
// key's value in place and keeps every other line, a missing section or key is appended.
#include <string>
#include <vector>

class CProfileFile {
public:
    // Reads the file; a missing or unreadable file reads as empty. Text is UTF-8, or GB18030 when not.
    explicit CProfileFile(std::string path);

    // The value, or `fallback` when the section or key is missing; cut to `maxUnits` UTF-16 units.
    std::string GetString(const std::string& section, const std::string& key, const std::string& fallback,
                          size_t maxUnits = 259) const;
    void SetString(const std::string& section, const std::string& key, const std::string& value);

    // Writes the lines back (UTF-8, CR LF) through a temporary file; false when that fails.
    bool Save() const;

private:
    struct KeyLine {
        size_t index;
        std::string value;
    };
    // Index of the header line of the first section with this name, or npos.
    size_t FindSection(const std::string& section) const;
    // End of the section whose header is at `header`: the index of the next header line or the line count.
    size_t SectionEnd(size_t header) const;
    bool FindKey(size_t header, const std::string& key, KeyLine& found) const;

    std::string path_;
    std::vector<std::string> lines_;
};
