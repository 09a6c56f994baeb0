// TagHeader: the 1024-byte header of a compound index tag. The file header at offset 0 has the
// same layout: it heads the tag directory (the "tag of tags", keyed by tag name), and its free
// list and change counter fields are the ones that count for the whole file.
//
//   Offset Size Meaning (little-endian unless said)
//   0      4    root page offset
//   4      4    free-list head (0 or -1: empty); a free page's first 4 bytes point to the next
//   8      4    change counter, big-endian (file header only)
//   12     2    key length
//   14     1    options: 0x01 unique, 0x08 FOR clause, 0x20 compact, 0x40 compound,
//                0x80 structural
//   15     1    signature, 0x01
//   16     486  zeros
//   502    2    descending (1)
//   504    2    FOR expression position in the pool
//   506    2    FOR expression length, NUL included
//   508    2    key expression position in the pool
//   510    2    key expression length, NUL included
//   512    512  expression pool: key expression then FOR expression, each NUL-terminated
//   1023   1    file header only: 1 while a write of ours is in progress (see CdxBag), else 0
#pragma once

#include <cstdint>
#include <span>
#include <string>

#include "runtime/db/cdx_page.h"

namespace rt::db {

inline constexpr uint8_t kTagUnique = 0x01;
inline constexpr uint8_t kTagFor = 0x08;
inline constexpr uint8_t kTagCompact = 0x20;
inline constexpr uint8_t kTagCompound = 0x40;
inline constexpr uint8_t kTagStructural = 0x80;

struct TagHeader {
  uint32_t root = 0;
  uint32_t freeList = 0;       // kept as read; 0xFFFFFFFF is read as empty too
  uint32_t changeCounter = 0;
  uint16_t keyLen = 0;
  uint8_t options = kTagCompact | kTagCompound;
  uint8_t signature = 1;
  bool descending = false;
  std::string keyExpr;
  std::string forExpr;

  bool unique() const { return options & kTagUnique; }

  // Checks the key length, the root offset's alignment and the expression pool.
  static TagHeader decode(std::span<const uint8_t> bytes, const PageWhere& where);
  void encode(std::span<uint8_t> bytes) const;  // bytes holds kCdxHeaderSize
};

// The file header heads the tag directory: its key is a tag name.
using CdxHeader = TagHeader;
inline constexpr int kTagNameLen = 10;

}  // namespace rt::db
