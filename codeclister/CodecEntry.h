// One codec found on the machine, and the order the lister shows them in.
#pragma once

#include <string>
#include <vector>

struct CodecEntry {
  std::string type;    // "Audio" or "Video"
  std::string source;  // where it was found, e.g. "Video Compressor"
  std::string name;
  std::string driver;  // path of the driver file, may be empty
  std::string clsid;   // "{...}" registry form
  std::string formatCode;
  int broken = 0;  // 1 when the driver file can be neither found nor loaded
};

// Case-insensitive byte comparison (ASCII letters folded to lower case), like _stricmp in the C locale.
int CompareNoCase(const std::string& a, const std::string& b);

// Exchange sort by name: for each position, every later entry that compares lower is swapped in.
void SortCodecs(std::vector<CodecEntry>& codecs);
