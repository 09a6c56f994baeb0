// Cursor over a compound index tag: see cdx_cursor.h.
#include "runtime/db/cdx_cursor.h"

#include <cstring>

#include "runtime/db/cdx_tag.h"

namespace rt::db {

namespace {
// An empty prefix (its data() may be null) matches without touching memcmp.
bool startsWith(std::string_view key, std::string_view prefix) {
  if (prefix.empty()) return true;
  return key.size() >= prefix.size() && std::memcmp(key.data(), prefix.data(), prefix.size()) == 0;
}
}  // namespace

CdxCursor::CdxCursor(CdxTag& tag) : tag_(tag) {}

void CdxCursor::load(uint32_t offset) {
  stamp_ = tag_.stamp();
  leafOffset_ = offset;
  tag_.loadLeaf(offset, leaf_);
}

bool CdxCursor::stale() const { return stamp_ != tag_.stamp(); }

// A page reached through a sibling link is never the root, and only the root may be empty.
void CdxCursor::checkSibling() {
  if (leaf_.count() == 0) tag_.corrupt(leafOffset_, "empty leaf page");
  if (leaf_.header().isRoot()) tag_.corrupt(leafOffset_, "root flag contradicts the page's place in the tree");
}

// Stepping to a sibling checks that the order of entries goes on across the two leaves: a
// damaged file whose sibling links run in a circle gives an error, not an endless walk.
bool CdxCursor::nextLeaf() {
  const uint32_t from = leafOffset_;
  const bool haveLast = leaf_.count() > 0;
  if (haveLast) {
    leaf_.decodeAll();
    edgeKey_.assign(leaf_.key(leaf_.count() - 1));
    edgeRecno_ = leaf_.recno(leaf_.count() - 1);
  }
  if (leaf_.header().right == kNoPage) {
    invalidate();
    return false;
  }
  load(leaf_.header().right);
  checkSibling();
  leaf_.decodeThrough(0);
  if (haveLast && compareEntry(leaf_.key(0), leaf_.recno(0), edgeKey_, edgeRecno_) <= 0)
    tag_.corrupt(from, "leaf sibling links break the key order");
  pos_ = 0;
  return true;
}

bool CdxCursor::prevLeaf() {
  const uint32_t from = leafOffset_;
  const bool haveFirst = leaf_.count() > 0;
  if (haveFirst) {
    leaf_.decodeThrough(0);
    edgeKey_.assign(leaf_.key(0));
    edgeRecno_ = leaf_.recno(0);
  }
  if (leaf_.header().left == kNoPage) {
    invalidate();
    return false;
  }
  load(leaf_.header().left);
  checkSibling();
  leaf_.decodeAll();
  pos_ = leaf_.count() - 1;
  if (haveFirst && compareEntry(leaf_.key(pos_), leaf_.recno(pos_), edgeKey_, edgeRecno_) >= 0)
    tag_.corrupt(from, "leaf sibling links break the key order");
  return true;
}

void CdxCursor::positionAtOrAfter(std::string_view key, uint32_t recno) {
  load(tag_.findLeaf(CdxTag::Find::Entry, key, recno));
  pos_ = leaf_.lowerBoundEntry(key, recno);
  if (pos_ >= leaf_.count()) nextLeaf();
}

bool CdxCursor::resync() {
  const std::string key(leaf_.key(pos_));
  const uint32_t recno = leaf_.recno(pos_);
  positionAtOrAfter(key, recno);
  return valid() && this->recno() == recno && this->key() == key;
}

bool CdxCursor::first() {
  load(tag_.findLeaf(CdxTag::Find::First, {}, 0));
  if (leaf_.count() > 0) {
    leaf_.decodeThrough(0);
    pos_ = 0;
    return true;
  }
  return nextLeaf();
}

bool CdxCursor::last() {
  load(tag_.findLeaf(CdxTag::Find::Last, {}, 0));
  if (leaf_.count() > 0) {
    leaf_.decodeAll();
    pos_ = leaf_.count() - 1;
    return true;
  }
  return prevLeaf();
}

bool CdxCursor::next() {
  if (!valid()) return false;
  if (stale() && !resync()) return valid();  // the saved entry went: we already stand after it
  if (++pos_ < leaf_.count()) {
    leaf_.decodeThrough(pos_);
    return true;
  }
  return nextLeaf();
}

bool CdxCursor::prev() {
  if (!valid()) return false;
  if (stale()) {
    const std::string key(leaf_.key(pos_));
    const uint32_t recno = leaf_.recno(pos_);
    positionAtOrAfter(key, recno);
    if (!valid()) return last();  // everything from the saved entry on went away
  }
  if (--pos_ >= 0) return true;
  return prevLeaf();
}

bool CdxCursor::seek(std::string_view key) {
  if (int(key.size()) > tag_.info().keyLen) key = key.substr(0, size_t(tag_.info().keyLen));
  load(tag_.findLeaf(CdxTag::Find::LowerPrefix, key, 0));
  pos_ = leaf_.lowerBoundPrefix(key);
  if (pos_ >= leaf_.count() && !nextLeaf()) return false;
  return startsWith(this->key(), key);
}

bool CdxCursor::seekLast(std::string_view key) {
  if (int(key.size()) > tag_.info().keyLen) key = key.substr(0, size_t(tag_.info().keyLen));
  load(tag_.findLeaf(CdxTag::Find::UpperPrefix, key, 0));
  pos_ = leaf_.upperBoundPrefix(key) - 1;
  if (pos_ < 0 && !prevLeaf()) {
    first();
    return false;
  }
  if (startsWith(this->key(), key)) return true;
  // Nothing starts with key: stand on the first entry after it.
  if (++pos_ >= leaf_.count()) nextLeaf();
  else leaf_.decodeThrough(pos_);
  return false;
}

bool CdxCursor::seekEntry(std::string_view rawKey, uint32_t recno) {
  std::string_view key = tag_.normalize(rawKey, buffer_);
  std::string copy(key);
  positionAtOrAfter(copy, recno);
  return valid() && this->recno() == recno && this->key() == copy;
}

}  // namespace rt::db
