#include "codeclister/VersionResource.h"

#include <functional>

namespace {
constexpr size_t kHeaderSize = 6;  // wLength, wValueLength, wType

struct Block {
  const uint8_t* data;
  size_t size;

  uint16_t Word(size_t at) const { return static_cast<uint16_t>(data[at] | (data[at + 1] << 8)); }
};

constexpr size_t Align4(size_t at) { return (at + 3) & ~static_cast<size_t>(3); }

// One node of the tree: its key, where its value starts, where its children start and where it ends.
struct Node {
  std::u16string key;
  size_t valueStart = 0;
  size_t childrenStart = 0;
  size_t end = 0;
};

// Reads the node at `at`, which must end by `limit`.
std::optional<Node> ReadNode(const Block& b, size_t at, size_t limit) {
  if (at + kHeaderSize > limit) return std::nullopt;
  const size_t length = b.Word(at);
  if (length < kHeaderSize || length > limit - at) return std::nullopt;
  Node node;
  node.end = at + length;
  const size_t valueLength = b.Word(at + 2);
  const bool textValue = b.Word(at + 4) == 1;
  size_t p = at + kHeaderSize;
  for (;;) {
    if (p + 2 > node.end) return std::nullopt;  // key without its terminating zero
    const char16_t c = static_cast<char16_t>(b.Word(p));
    p += 2;
    if (c == 0) break;
    node.key += c;
  }
  node.valueStart = Align4(p);
  const size_t valueBytes = textValue ? valueLength * 2 : valueLength;
  node.childrenStart = Align4(node.valueStart + valueBytes);
  if (node.valueStart > node.end) node.valueStart = node.end;
  if (node.childrenStart > node.end) node.childrenStart = node.end;
  return node;
}

// Calls `visit` for each child of `parent`; stops early when it returns true.
bool ForEachChild(const Block& b, const Node& parent, const std::function<bool(const Node&)>& visit) {
  size_t at = parent.childrenStart;
  while (at < parent.end) {
    const std::optional<Node> child = ReadNode(b, at, parent.end);
    if (!child) return false;
    if (visit(*child)) return true;
    const size_t next = Align4(child->end);
    if (next <= at) return false;
    at = next;
  }
  return false;
}

std::u16string TextValue(const Block& b, const Node& node) {
  std::u16string text;
  for (size_t p = node.valueStart; p + 2 <= node.end; p += 2) {
    const char16_t c = static_cast<char16_t>(b.Word(p));
    if (c == 0) break;
    text += c;
  }
  return text;
}
}  // namespace

std::optional<std::u16string> FindVersionStringInAnyTable(const uint8_t* block, size_t size, const std::u16string& key) {
  if (block == nullptr) return std::nullopt;
  const Block b{block, size};
  const std::optional<Node> root = ReadNode(b, 0, size);
  if (!root) return std::nullopt;
  std::optional<std::u16string> found;
  ForEachChild(b, *root, [&](const Node& info) {
    if (info.key != u"StringFileInfo") return false;
    return ForEachChild(b, info, [&](const Node& table) {
      return ForEachChild(b, table, [&](const Node& entry) {
        if (entry.key != key) return false;
        found = TextValue(b, entry);
        return true;
      });
    });
  });
  return found;
}
