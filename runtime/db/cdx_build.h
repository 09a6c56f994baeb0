// Building a tag's tree in one pass from a list of entries.
//
// KeyBatch collects (key, record number) entries in any order, each stored as the key followed
// by the record number in big-endian, so that byte order of a stored entry is tree order.
// sort() orders them in place (an MSD radix sort over those bytes: no memory beyond the batch)
// and, for a unique tag, keeps the first entry of each key (the lowest record number).
// buildTree() then reads the sorted entries front to back, packs leaves left to right (nearly
// full: a little room stays for later inserts), then the interior levels above them, and returns the root's offset. Pages take free-list pages
// first, then go to the end of the file through the pager's bulk path.
#pragma once

#include <cstdint>
#include <string_view>

#include "runtime/db/cdx_memory.h"
#include "runtime/db/cdx_page.h"
#include "runtime/db/cdx_pager.h"

namespace rt::db {

class KeyBatch {
 public:
  KeyBatch(int keyLen, char fill) : keyLen_(keyLen), fill_(fill), stride_(size_t(keyLen) + 4) {}
  void reserve(size_t entries) { entries_.reserve(entries * stride_); }
  // The key is padded with the fill byte, or cut, to the key length.
  void add(std::string_view key, uint32_t recno);
  // Room for one key (already filled with the fill byte), to be written in place.
  char* addSlot(uint32_t recno);
  size_t size() const { return size_; }
  int keyLen() const { return keyLen_; }
  char fill() const { return fill_; }
  std::string_view key(size_t i) const { return {entry(i), size_t(keyLen_)}; }
  uint32_t recno(size_t i) const { return getBe32(reinterpret_cast<const uint8_t*>(entry(i)) + keyLen_); }
  void clear() {
    entries_.clear();
    size_ = 0;
  }
  // Orders the entries by (key, record number); unique keeps one entry per key.
  void sort(bool unique);

 private:
  const char* entry(size_t i) const { return entries_.data() + i * stride_; }
  int keyLen_;
  char fill_;
  size_t stride_;
  size_t size_ = 0;
  BigVector<char> entries_;
};

// Writes the tree of a sorted batch; returns the root page offset.
uint32_t buildTree(CdxPager& pager, const KeyBatch& sorted);

}  // namespace rt::db
