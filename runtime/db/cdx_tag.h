// CdxTag: one tag of a compound index file, a B-tree of (key, record number) entries, as an
// rt::db::Order.
//
// Tree invariants kept by every change:
//   - leaves hold the entries in ascending (key, record number) order, left to right, and are
//     linked both ways through their sibling fields; interior nodes on each level are linked too;
//   - an interior entry carries the key and record number of the largest entry of its child's
//     subtree, so a search picks the first child whose entry is >= what it looks for;
//   - the root has the root bit; an empty tag is a root leaf with no keys; no other page is
//     empty (a page that loses its last entry goes to the free list).
// Underfull pages are left as they are: searches stay correct and later inserts fill them.
//
// stamp() moves whenever the tag's entries change or the file's cached pages were dropped;
// cursors compare it to find their entry again.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "runtime/db/cdx_header.h"
#include "runtime/db/cdx_interior.h"
#include "runtime/db/cdx_leaf.h"
#include "runtime/db/cdx_pager.h"
#include "runtime/db/order.h"

namespace rt::db {

class CdxTag final : public Order {
 public:
  CdxTag(CdxPager& pager, uint32_t headerOffset, TagInfo info);

  const TagInfo& info() const override { return info_; }
  std::unique_ptr<OrderCursor> cursor() override;
  void insert(std::string_view key, uint32_t recno) override;
  bool remove(std::string_view key, uint32_t recno) override;
  uint64_t countRange(std::string_view lo, std::string_view hi) override;

  uint32_t headerOffset() const { return headerOffset_; }
  void rebind(uint32_t headerOffset) { headerOffset_ = headerOffset; ++mods_; }
  void setKeyType(KeyType type);
  char fill() const { return fill_; }
  uint64_t stamp() const { return (pager_.epoch() << 40) + mods_; }

  // Entries counted by walking the leaves, after checking the whole tree: key order across
  // pages, interior keys equal to their subtree's largest entry, sibling links. A damaged tree
  // is rt::Error(Corrupt).
  uint64_t verify();
  // Every page of the tree, for giving them back to the free list.
  void collectPages(std::vector<uint32_t>& out);

  // For cursors: the leaf where a search ends.
  enum class Find { LowerPrefix, UpperPrefix, Entry, First, Last };
  uint32_t findLeaf(Find how, std::string_view key, uint32_t recno);
  void loadLeaf(uint32_t offset, LeafNode& into);
  void loadLeaf(uint32_t offset, LeafDecoder& into);  // entries decoded on demand
  // Reports a damaged page of this tag's file.
  [[noreturn]] void corrupt(uint32_t offset, const std::string& what) const {
    throwCorruptIndex(pager_.where(offset), what);
  }
  // The key padded with the fill byte (or cut) to the key length.
  std::string_view normalize(std::string_view key, std::string& buffer) const;

 private:
  struct Step {
    uint32_t page;
    int index;
  };
  uint32_t rootOffset();
  void setRootOffset(uint32_t offset);
  uint32_t descend(Find how, std::string_view key, uint32_t recno, std::vector<Step>* path);
  InteriorNode loadInterior(uint32_t offset);
  void storeLeaf(uint32_t offset, const LeafNode& leaf);
  void storeInterior(uint32_t offset, const InteriorNode& node);
  void setSibling(uint32_t offset, bool left, uint32_t value);
  void unlinkAndFree(uint32_t offset, const NodeHeader& header);
  bool containsKey(std::string_view key);
  // Sets the entry of path[level] to (key, recno), and above while it is the node's last entry.
  void setMaxUpward(int level, std::string_view key, uint32_t recno);
  void splitLeaf(uint32_t offset, LeafNode& leaf);
  // Ends a split of the page at offset: links the new right half into the sibling chain, writes
  // both halves and hands their largest keys to the parent level (or to a new root).
  template <class Node>
  void finishSplit(int parentLevel, uint32_t offset, Node& left, Node& right, uint16_t kind);
  void insertSplit(int level, std::string leftKey, uint32_t leftRecno, std::string rightKey,
                   uint32_t rightRecno, uint32_t rightOffset);
  void newRoot(const std::string& leftKey, uint32_t leftRecno, uint32_t leftOffset,
               const std::string& rightKey, uint32_t rightRecno, uint32_t rightOffset);
  void removeFromParent(int level);

  CdxPager& pager_;
  uint32_t headerOffset_;
  TagInfo info_;
  char fill_;
  uint64_t mods_ = 0;
  std::vector<Step> path_;
  LeafNode scratch_;
  LeafDecoder decoder_;
  std::string keyBuffer_;
};

}  // namespace rt::db
