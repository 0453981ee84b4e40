#include <gtest/gtest.h>

#include "codeclister/CodecEntry.h"
#include "codeclister/DriverCache.h"
#include "codeclister/FormatCode.h"
#include "codeclister/RegistryPath.h"

namespace {

std::vector<std::string> Names(const std::vector<CodecEntry>& codecs) {
  std::vector<std::string> names;
  for (const CodecEntry& c : codecs) names.push_back(c.name);
  return names;
}

std::vector<CodecEntry> Codecs(std::initializer_list<const char*> names) {
  std::vector<CodecEntry> codecs;
  for (const char* n : names) codecs.push_back(CodecEntry{"Video", "Video Compressor", n, "", "", "", 0});
  return codecs;
}

TEST(CodecSort, OrdersByNameIgnoringLetterCase) {
  std::vector<CodecEntry> codecs = Codecs({"msrle", "Cinepak Codec by Radius", "Video 1", "ACELP.net", "mpeg"});
  SortCodecs(codecs);
  EXPECT_EQ(Names(codecs),
            (std::vector<std::string>{"ACELP.net", "Cinepak Codec by Radius", "mpeg", "msrle", "Video 1"}));
}

TEST(CodecSort, ComparesBytesAfterFoldingToLowerCase) {
  // '_' (0x5F) sorts before lower-case letters but after upper-case ones: folding goes to lower case.
  EXPECT_LT(CompareNoCase("A_b", "Aab"), 0);
  EXPECT_EQ(CompareNoCase("WMVideo", "wmvideo"), 0);
  EXPECT_LT(CompareNoCase("MP3", "MP3 Decoder"), 0);
  EXPECT_GT(CompareNoCase("\xE9t\xE9", "zzz"), 0);  // bytes above 0x7F compare unsigned
  std::vector<CodecEntry> codecs = Codecs({"b_x", "BAX", "", "bAx"});
  SortCodecs(codecs);
  EXPECT_EQ(Names(codecs), (std::vector<std::string>{"", "b_x", "BAX", "bAx"}));
}

TEST(CodecSort, ExchangeSortMovesEqualNamesAsItSwaps) {
  // Position 0 swaps "a" in and sends "B" to the end, behind its equal "b": not a stable sort.
  std::vector<CodecEntry> codecs = Codecs({"B", "b", "a"});
  SortCodecs(codecs);
  EXPECT_EQ(Names(codecs), (std::vector<std::string>{"a", "b", "B"}));
}

TEST(RegistryPath, SplitsKeyAndValue) {
  struct Case {
    const char* path;
    const char* key;
    const char* value;
  };
  const Case cases[] = {
      {"SYSTEM\\CurrentControlSet\\Control\\ProductOptions\\ProductType",
       "SYSTEM\\CurrentControlSet\\Control\\ProductOptions", "ProductType"},
      {"\\Software\\Microsoft\\WBEM\\Build", "Software\\Microsoft\\WBEM", "Build"},
      {"Software\\Classes\\CLSID\\{X}\\InprocServer32\\", "Software\\Classes\\CLSID\\{X}\\InprocServer32", ""},
      {"Hardware\\Description\\System\\CentralProcessor\\0\\~MHz", "Hardware\\Description\\System\\CentralProcessor\\0",
       "~MHz"},
      {"Key\\\\Value", "Key", "Value"},
      {"Value", "", "Value"},
      {"\\", "", ""},
      {"", "", ""},
  };
  for (const Case& c : cases) {
    const RegistryPath p = SplitRegistryPath(c.path);
    EXPECT_EQ(p.key, c.key) << c.path;
    EXPECT_EQ(p.value, c.value) << c.path;
  }
  EXPECT_EQ(RegistryKeyPath("\\SOFTWARE\\Microsoft\\AudioCompressionManager\\DriverCache\\"),
            "SOFTWARE\\Microsoft\\AudioCompressionManager\\DriverCache");
}

TEST(FormatCode, FourCcSubtypesOnly) {
  struct Case {
    const char* type;
    const char* subtype;
    const char* code;
  };
  const Case cases[] = {
      {"Video", "{64697663-0000-0010-8000-00AA00389B71}", "cvid"},
      {"video", "{31564D57-0000-0010-8000-00aa00389b71}", "WMV1"},
      {"Video", "3334504D-0000-0010-8000-00AA00389B71", "MP43"},
      {"Audio", "{00000055-0000-0010-8000-00AA00389B71}", "85 (0x55)"},
      {"Audio", "{00000161-0000-0010-8000-00AA00389B71}", "353 (0x161)"},
      {"Video", "{00000001-0000-0010-8000-00AA00389B71}", "\x01"},  // a zero byte ends the characters
      {"Video", "{D76E2820-1563-11CF-AC98-00AA004C0FA9}", ""},      // not of the FourCC form
      {"Video", "{64697663-0000-0010-8000-00AA00389B7}", ""},
      {"Video", "{6469766G-0000-0010-8000-00AA00389B71}", ""},
      {"Audio", "", ""},
      {"Audio", "{}", ""},
  };
  for (const Case& c : cases) EXPECT_EQ(FormatCodeFromSubtype(c.type, c.subtype), c.code) << c.subtype;
}

std::vector<uint8_t> TagCache(std::initializer_list<uint32_t> tags) {
  std::vector<uint8_t> blob;
  for (uint32_t tag : tags) {
    for (int i = 0; i < 4; ++i) blob.push_back(static_cast<uint8_t>(tag >> (8 * i)));
    for (int i = 0; i < 4; ++i) blob.push_back(0x32);  // cbFormatSize, any value
  }
  return blob;
}

TEST(DriverCache, FirstKeyWithTheCountAndTheTagGivesTheAlias) {
  const std::vector<DriverCacheKey> keys = {
      {"msacm.l3acm", 2, TagCache({0x55, 0x01})},
      {"msacm.imaadpcm", 2, TagCache({0x01, 0x11})},
      {"msacm.msadpcm", 2, TagCache({0x01, 0x02})},
      {"msacm.msg711", 3, TagCache({0x01, 0x06, 0x07})},
  };
  EXPECT_EQ(FindDriverAlias(keys, 2, 0x11), "imaadpcm");
  EXPECT_EQ(FindDriverAlias(keys, 2, 0x01), "l3acm");  // two drivers with the same count: the first wins
  EXPECT_EQ(FindDriverAlias(keys, 3, 0x07), "msg711");
  EXPECT_EQ(FindDriverAlias(keys, 3, 0x11), std::nullopt);
  EXPECT_EQ(FindDriverAlias(keys, 1, 0x55), std::nullopt);
  // The cbFormatSize half of an item is not a tag.
  EXPECT_EQ(FindDriverAlias(keys, 2, 0x32323232), std::nullopt);
}

TEST(DriverCache, MalformedCachesNeverMatch) {
  std::vector<uint8_t> shortBlob = TagCache({0x01, 0x11});
  shortBlob.resize(12);  // shorter than its count says
  std::vector<uint8_t> longBlob = TagCache({0x11, 0x01});
  longBlob.push_back(0);
  const std::vector<DriverCacheKey> keys = {
      {"msacm.short", 2, shortBlob},
      {"msacm.long", 2, longBlob},
      {"msacm.nocount", 0, TagCache({0x11, 0x01})},
      {"msacm.huge", 0x40000000u, TagCache({0x11})},
      {"msacm.empty", 2, {}},
  };
  EXPECT_EQ(FindDriverAlias(keys, 2, 0x11), std::nullopt);
  EXPECT_EQ(FindDriverAlias(keys, 0x40000000u, 0x11), std::nullopt);
  EXPECT_EQ(FindDriverAlias(keys, 0, 0x11), std::nullopt);
  // A matching key too short to hold an alias gives none rather than a cut past its end.
  EXPECT_EQ(FindDriverAlias({{"msacm", 1, TagCache({0x11})}, {"msacm.x", 1, TagCache({0x11})}}, 1, 0x11),
            std::nullopt);
  EXPECT_EQ(FindDriverAlias({{"msacm.x", 1, TagCache({0x11})}}, 1, 0x11), "x");
}

}  // namespace
