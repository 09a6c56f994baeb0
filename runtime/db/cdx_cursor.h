// CdxCursor: a position in one compound index tag.
//
// The cursor holds a copy of its current leaf, decoded as far as it has looked (a seek decodes up
// to the entry it finds), so stepping within a leaf touches no page and key() stays readable
// whatever happens to the tree. When the tag's stamp moved since the
// leaf was read (an entry changed, or another process's changes dropped the cache), the cursor
// first finds its (key, record number) again, or the entry that now follows it.
//
// seekLast() that finds nothing leaves the cursor where seek() would: on the first entry greater
// than the key, or invalid when there is none.
#pragma once

#include <cstdint>
#include <string>

#include "runtime/db/cdx_leaf.h"
#include "runtime/db/order.h"

namespace rt::db {

class CdxTag;

class CdxCursor final : public OrderCursor {
 public:
  explicit CdxCursor(CdxTag& tag);

  bool first() override;
  bool last() override;
  bool next() override;
  bool prev() override;
  bool seek(std::string_view key) override;
  bool seekLast(std::string_view key) override;
  bool seekEntry(std::string_view key, uint32_t recno) override;
  bool valid() const override { return pos_ >= 0; }
  std::string_view key() const override { return leaf_.key(pos_); }
  uint32_t recno() const override { return leaf_.recno(pos_); }

 private:
  void load(uint32_t offset);
  void invalidate() { pos_ = -1; }
  // Moves to the first entry of the next non-empty leaf; false (invalid) at the end.
  bool nextLeaf();
  bool prevLeaf();
  void checkSibling();
  // After a change under the cursor: positions on the first entry >= the saved entry; true
  // when that is the saved entry itself.
  bool resync();
  bool stale() const;
  void positionAtOrAfter(std::string_view key, uint32_t recno);

  CdxTag& tag_;
  LeafDecoder leaf_;  // entries before and at pos_ are decoded
  uint32_t leafOffset_ = 0;
  int pos_ = -1;
  uint64_t stamp_ = 0;
  std::string buffer_;
  std::string edgeKey_;  // the entry a step to a sibling leaf started from
  uint32_t edgeRecno_ = 0;
};

}  // namespace rt::db
