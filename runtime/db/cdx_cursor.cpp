// Cursor over a compound index tag: see cdx_cursor.h.
#include "runtime/db/cdx_cursor.h"

#include <cstring>

#include "runtime/db/cdx_tag.h"

namespace rt::db {

namespace {
bool startsWith(std::string_view key, std::string_view prefix) {
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

bool CdxCursor::nextLeaf() {
  // Bounded by the page count so that a sibling cycle in a damaged file cannot loop forever.
  for (int guard = 0; guard < 1 << 24; ++guard) {
    if (leaf_.header().right == kNoPage) {
      invalidate();
      return false;
    }
    load(leaf_.header().right);
    if (leaf_.count() > 0) {
      leaf_.decodeThrough(0);
      pos_ = 0;
      return true;
    }
  }
  invalidate();
  return false;
}

bool CdxCursor::prevLeaf() {
  for (int guard = 0; guard < 1 << 24; ++guard) {
    if (leaf_.header().left == kNoPage) {
      invalidate();
      return false;
    }
    load(leaf_.header().left);
    if (leaf_.count() > 0) {
      leaf_.decodeAll();
      pos_ = leaf_.count() - 1;
      return true;
    }
  }
  invalidate();
  return false;
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
