// Building a tag's tree in one pass from a list of entries.
//
// KeyBatch collects (key, record number) entries in any order; buildTree() sorts them (a radix
// sort on the first 8 key bytes, then the rest of the key and the record number within runs
// that share them), drops repeated keys for a unique tag (keeping the lowest record number),
// packs full leaves left to right (on free pages first, then at the end of the file), then the interior levels above them,
// and returns the root's offset. Pages are written into the page cache; flush() puts them on
// disk in long runs.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "runtime/db/cdx_pager.h"

namespace rt::db {

class KeyBatch {
 public:
  KeyBatch(int keyLen, char fill) : keyLen_(keyLen), fill_(fill) {}
  void reserve(size_t entries);
  // The key is padded with the fill byte, or cut, to the key length.
  void add(std::string_view key, uint32_t recno);
  // Room for one key (already filled with the fill byte), to be written in place.
  char* addSlot(uint32_t recno);
  size_t size() const { return recnos_.size(); }
  int keyLen() const { return keyLen_; }
  char fill() const { return fill_; }
  std::string_view key(size_t i) const { return std::string_view(keys_).substr(i * keyLen_, keyLen_); }
  uint32_t recno(size_t i) const { return recnos_[i]; }
  void clear();

 private:
  int keyLen_;
  char fill_;
  std::string keys_;
  std::vector<uint32_t> recnos_;
};

// Sorts the batch's entries; the result lists entry indices in tree order (unique: one per key).
std::vector<uint32_t> sortBatch(const KeyBatch& batch, bool unique);

// Writes the tree of the sorted entries; returns the root page offset.
uint32_t buildTree(CdxPager& pager, const KeyBatch& batch, const std::vector<uint32_t>& order);

}  // namespace rt::db
