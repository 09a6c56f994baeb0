// Shared facts of the compound index page format: page size, byte-order helpers, the node header
// every page starts with, and the one way a damaged page is reported.
//
// Offsets in the file are byte offsets of 512-byte pages; 0xFFFFFFFF in a sibling field means
// "no sibling". Header integers are little-endian; record numbers and child offsets inside
// interior nodes are big-endian, as is the change counter of the file header.
#pragma once

#include <algorithm>
#include <bit>
#include <cstdint>
#include <cstring>
#include <span>
#include <string>
#include <string_view>

namespace rt::db {

inline constexpr uint32_t kCdxPageSize = 512;
inline constexpr uint32_t kCdxHeaderSize = 1024;  // file header and tag headers: two pages
inline constexpr uint32_t kNoPage = 0xFFFFFFFF;
inline constexpr int kCdxMaxKeyLen = 240;

// Node attributes (offset 0 of every node).
inline constexpr uint16_t kNodeInterior = 0;
inline constexpr uint16_t kNodeRoot = 1;
inline constexpr uint16_t kNodeLeaf = 2;

using PageBytes = std::span<uint8_t, kCdxPageSize>;
using ConstPageBytes = std::span<const uint8_t, kCdxPageSize>;

// Where a structure was read from, for error messages.
struct PageWhere {
  std::string_view file;
  uint64_t offset = 0;
};

// Throws rt::Error(Corrupt) naming the file and the offset of the damaged structure.
[[noreturn]] void throwCorruptIndex(const PageWhere& where, const std::string& what);

inline uint16_t getLe16(const uint8_t* p) { return uint16_t(p[0] | (p[1] << 8)); }
inline uint32_t getLe32(const uint8_t* p) {
  return uint32_t(p[0]) | (uint32_t(p[1]) << 8) | (uint32_t(p[2]) << 16) | (uint32_t(p[3]) << 24);
}
inline uint32_t getBe32(const uint8_t* p) {
  return (uint32_t(p[0]) << 24) | (uint32_t(p[1]) << 16) | (uint32_t(p[2]) << 8) | uint32_t(p[3]);
}
inline void putLe16(uint8_t* p, uint16_t v) {
  p[0] = uint8_t(v);
  p[1] = uint8_t(v >> 8);
}
inline void putLe32(uint8_t* p, uint32_t v) {
  for (int i = 0; i < 4; ++i) p[i] = uint8_t(v >> (8 * i));
}
inline void putBe32(uint8_t* p, uint32_t v) {
  for (int i = 0; i < 4; ++i) p[i] = uint8_t(v >> (24 - 8 * i));
}

// memcmp for the short byte strings keys are, inlined: eight bytes at a time as big-endian words.
inline int compareKeyBytes(const char* a, const char* b, size_t n) {
  size_t i = 0;
  for (; i + 8 <= n; i += 8) {
    uint64_t x, y;
    std::memcpy(&x, a + i, 8);
    std::memcpy(&y, b + i, 8);
    if (x != y) {
      if constexpr (std::endian::native == std::endian::little) {
        x = __builtin_bswap64(x);
        y = __builtin_bswap64(y);
      }
      return x < y ? -1 : 1;
    }
  }
  for (; i < n; ++i)
    if (a[i] != b[i]) return uint8_t(a[i]) < uint8_t(b[i]) ? -1 : 1;
  return 0;
}

// Compares key against prefix over the shorter of the two lengths.
inline int comparePrefix(std::string_view key, std::string_view prefix) {
  return compareKeyBytes(key.data(), prefix.data(), std::min(key.size(), prefix.size()));
}

// Compares (key, recno) pairs as the tree orders entries (keys of one tag have one length).
inline int compareEntry(std::string_view a, uint32_t ra, std::string_view b, uint32_t rb) {
  int c = compareKeyBytes(a.data(), b.data(), std::min(a.size(), b.size()));
  if (c == 0 && a.size() != b.size()) c = a.size() < b.size() ? -1 : 1;
  if (c != 0) return c;
  return ra < rb ? -1 : (ra > rb ? 1 : 0);
}

// The 12 bytes every node starts with.
//   0  2  attributes: bit 0 root, bit 1 leaf (0 interior, 1 root, 2 leaf, 3 root and leaf)
//   2  2  key count
//   4  4  left sibling offset (-1: none)
//   8  4  right sibling offset (-1: none)
struct NodeHeader {
  uint16_t attributes = 0;
  uint16_t keyCount = 0;
  uint32_t left = kNoPage;
  uint32_t right = kNoPage;

  bool isLeaf() const { return attributes & kNodeLeaf; }
  bool isRoot() const { return attributes & kNodeRoot; }

  static NodeHeader decode(const uint8_t* page) {
    return {getLe16(page), getLe16(page + 2), getLe32(page + 4), getLe32(page + 8)};
  }
  void encode(uint8_t* page) const {
    putLe16(page, attributes);
    putLe16(page + 2, keyCount);
    putLe32(page + 4, left);
    putLe32(page + 8, right);
  }
};

}  // namespace rt::db
