#include <gtest/gtest.h>

#include "codeclister/VersionResource.h"

namespace {

// Builds VS_VERSIONINFO-style nodes: header, key, aligned value, aligned children.
class NodeWriter {
 public:
  static std::vector<uint8_t> Node(const std::u16string& key, const std::vector<uint8_t>& value, bool text,
                                   const std::vector<std::vector<uint8_t>>& children) {
    std::vector<uint8_t> out(6, 0);
    for (char16_t c : key) PutWord(out, c);
    PutWord(out, 0);
    Align(out);
    out.insert(out.end(), value.begin(), value.end());
    for (const auto& child : children) {
      Align(out);
      out.insert(out.end(), child.begin(), child.end());
    }
    const size_t valueLength = text ? value.size() / 2 : value.size();
    SetWord(out, 0, out.size());
    SetWord(out, 2, valueLength);
    SetWord(out, 4, text ? 1 : 0);
    return out;
  }

  static std::vector<uint8_t> Text(const std::u16string& s) {
    std::vector<uint8_t> out;
    for (char16_t c : s) PutWord(out, c);
    PutWord(out, 0);
    return out;
  }

 private:
  static void PutWord(std::vector<uint8_t>& out, size_t w) {
    out.push_back(static_cast<uint8_t>(w & 0xFF));
    out.push_back(static_cast<uint8_t>(w >> 8));
  }
  static void SetWord(std::vector<uint8_t>& out, size_t at, size_t w) {
    out[at] = static_cast<uint8_t>(w & 0xFF);
    out[at + 1] = static_cast<uint8_t>(w >> 8);
  }
  static void Align(std::vector<uint8_t>& out) {
    while (out.size() % 4) out.push_back(0);
  }
};

std::vector<uint8_t> StringEntry(const std::u16string& key, const std::u16string& value) {
  return NodeWriter::Node(key, NodeWriter::Text(value), true, {});
}

std::vector<uint8_t> SampleBlock() {
  const std::vector<uint8_t> fixed(52, 0xAB);
  const auto english = NodeWriter::Node(u"040904b0", {}, true,
                                        {StringEntry(u"CompanyName", u"Wine"), StringEntry(u"FileVersion", u"1.0")});
  const auto german = NodeWriter::Node(u"040704e4", {}, true,
                                       {StringEntry(u"CompanyName", u"Weinbau"), StringEntry(u"InternalName", u"iccvid")});
  const auto strings = NodeWriter::Node(u"StringFileInfo", {}, true, {english, german});
  const auto translation = NodeWriter::Node(u"Translation", {0x09, 0x04, 0xb0, 0x04}, false, {});
  const auto vars = NodeWriter::Node(u"VarFileInfo", {}, true, {translation});
  return NodeWriter::Node(u"VS_VERSION_INFO", fixed, false, {vars, strings});
}

TEST(VersionResource, SearchesEveryStringTableInOrder) {
  const std::vector<uint8_t> block = SampleBlock();
  EXPECT_EQ(FindVersionStringInAnyTable(block.data(), block.size(), u"CompanyName"), u"Wine");
  EXPECT_EQ(FindVersionStringInAnyTable(block.data(), block.size(), u"InternalName"), u"iccvid");
  EXPECT_EQ(FindVersionStringInAnyTable(block.data(), block.size(), u"FileVersion"), u"1.0");
  EXPECT_EQ(FindVersionStringInAnyTable(block.data(), block.size(), u"Translation"), std::nullopt);
  EXPECT_EQ(FindVersionStringInAnyTable(block.data(), block.size(), u"ProductName"), std::nullopt);
}

TEST(VersionResource, TruncatedOrLyingBlocksAreReadWithinTheirBounds) {
  const std::vector<uint8_t> block = SampleBlock();
  // Every cut of the block, as its own allocation so that the sanitizer sees any read past it.
  for (size_t size = 0; size < block.size(); ++size) {
    std::vector<uint8_t> cut(block.begin(), block.begin() + size);
    const auto found = FindVersionStringInAnyTable(cut.data(), cut.size(), u"InternalName");
    EXPECT_FALSE(found.has_value()) << size;  // the root's length now exceeds the data
  }
  // Lengths that lie: every node claims the largest length, or a length below its header.
  for (uint16_t length : {uint16_t{0xFFFF}, uint16_t{0}, uint16_t{3}, uint16_t{7}}) {
    for (size_t at = 0; at + 1 < block.size(); at += 2) {
      std::vector<uint8_t> bad = block;
      bad[at] = static_cast<uint8_t>(length & 0xFF);
      bad[at + 1] = static_cast<uint8_t>(length >> 8);
      (void)FindVersionStringInAnyTable(bad.data(), bad.size(), u"InternalName");
    }
  }
  EXPECT_EQ(FindVersionStringInAnyTable(nullptr, 0, u"CompanyName"), std::nullopt);
}

TEST(VersionResource, AValueWithoutTerminatorEndsAtItsNode) {
  auto entry = NodeWriter::Node(u"CompanyName", {'A', 0, 'B', 0}, true, {});
  const auto table = NodeWriter::Node(u"040904b0", {}, true, {entry});
  const auto strings = NodeWriter::Node(u"StringFileInfo", {}, true, {table});
  const auto block = NodeWriter::Node(u"VS_VERSION_INFO", {}, false, {strings});
  EXPECT_EQ(FindVersionStringInAnyTable(block.data(), block.size(), u"CompanyName"), u"AB");
}

}  // namespace
