#include "codeclister/CodecEntry.h"

#include <utility>

namespace {
unsigned char FoldLower(unsigned char c) { return (c >= 'A' && c <= 'Z') ? static_cast<unsigned char>(c + 32) : c; }
}  // namespace

int CompareNoCase(const std::string& a, const std::string& b) {
  const size_t n = a.size() < b.size() ? a.size() : b.size();
  for (size_t i = 0; i < n; ++i) {
    const int ca = FoldLower(static_cast<unsigned char>(a[i]));
    const int cb = FoldLower(static_cast<unsigned char>(b[i]));
    if (ca != cb) return ca - cb;
  }
  if (a.size() == b.size()) return 0;
  return a.size() < b.size() ? -1 : 1;
}

void SortCodecs(std::vector<CodecEntry>& codecs) {
  for (size_t i = 0; i < codecs.size(); ++i) {
    for (size_t j = i + 1; j < codecs.size(); ++j) {
      if (CompareNoCase(codecs[j].name, codecs[i].name) < 0) std::swap(codecs[i], codecs[j]);
    }
  }
}
