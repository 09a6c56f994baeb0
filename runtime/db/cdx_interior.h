// InteriorNode: a branch page of a tag's B-tree.
//
//   Offset Size Meaning
//   0      12   node header (attributes 0 or 1, key count, left and right sibling)
//   12     ...  entries of keyLen + 8 bytes: key, record number (4, big-endian), child page
//               offset (4, big-endian); an entry's key and record number are those of the
//               largest entry in its child's subtree
// Capacity: (512 - 12) / (keyLen + 8) entries.
//
// Searches run on the raw page (entries have a fixed size), so descending the tree decodes
// nothing; the decoded form is for changing a node.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "runtime/db/cdx_page.h"

namespace rt::db {

inline int interiorCapacity(int keyLen) { return int(kCdxPageSize - 12) / (keyLen + 8); }

// Read-only access to a checked interior page.
class InteriorView {
 public:
  // Checks the attributes and the key count against the capacity; child offsets are checked
  // where they are followed (childChecked) or decoded (InteriorNode).
  InteriorView(const uint8_t* page, int keyLen, const PageWhere& where);
  int count() const { return count_; }
  std::string_view key(int i) const {
    return {reinterpret_cast<const char*>(entry(i)), size_t(keyLen_)};
  }
  uint32_t recno(int i) const { return getBe32(entry(i) + keyLen_); }
  uint32_t child(int i) const { return getBe32(entry(i) + keyLen_ + 4); }
  uint32_t childChecked(int i, uint64_t fileSize, const PageWhere& where) const;
  // First entry whose key prefix (over prefix.size() bytes) is >= prefix; count() when none.
  int lowerBoundPrefix(std::string_view prefix) const;
  // First entry whose key prefix is > prefix; count() when none.
  int upperBoundPrefix(std::string_view prefix) const;
  // First entry with (key, recno) >= (key, recno); count() when none.
  int lowerBoundEntry(std::string_view key, uint32_t recno) const;

 private:
  const uint8_t* entry(int i) const { return page_ + 12 + size_t(i) * (keyLen_ + 8); }
  const uint8_t* page_;
  int keyLen_;
  int count_;
};

struct InteriorNode {
  NodeHeader header;
  int keyLen = 0;
  std::string keys;  // count * keyLen bytes
  std::vector<uint32_t> recnos;
  std::vector<uint32_t> children;

  int count() const { return int(recnos.size()); }
  std::string_view key(int i) const { return std::string_view(keys).substr(size_t(i) * keyLen, keyLen); }
  bool fits() const { return count() <= interiorCapacity(keyLen); }

  void insert(int at, std::string_view key, uint32_t recno, uint32_t child);
  void erase(int at);
  void setKey(int at, std::string_view key, uint32_t recno);
  // Moves entries [from, count) into an empty node.
  void moveTail(int from, InteriorNode& into);

  static InteriorNode decode(ConstPageBytes page, int keyLen, uint64_t fileSize,
                             const PageWhere& where);
  void encode(PageBytes page) const;  // the node must fit
};

}  // namespace rt::db
