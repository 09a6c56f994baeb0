// LeafNode: a compressed leaf page of a tag's B-tree.
//
//   Offset Size Meaning
//   0      12   node header (attributes 2 or 3, key count, left and right sibling)
//   12     2    free bytes
//   14     4    record-number mask
//   18     1    duplicate-count mask
//   19     1    trailing-count mask
//   20     1    record-number bits
//   21     1    duplicate-count bits
//   22     1    trailing-count bits
//   23     1    bytes per entry
//   24     ...  entries, each a little-endian bit field: record number in the low bits, then the
//               duplicate count, then the trailing count
//   ...    ...  key suffixes, packed backwards from the end of the page (the first key's suffix
//               ends at byte 512)
// A key stores keyLen - dup - trail bytes: dup = bytes shared with the previous key (0 for the
// first), trail = fill bytes cut from the end (blanks for C keys, 0x00 for N and D keys).
// Entry size: b = bits needed for keyLen; dup and trail fields take b bits each, the record
// number the rest of 3 bytes, widened a byte at a time while the page's largest record number
// does not fit (record-number field at most 32 bits).
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "runtime/db/cdx_page.h"

namespace rt::db {

struct LeafLayout {
  int recBits = 0;
  int dupBits = 0;
  int trailBits = 0;
  int bytes = 0;

  static LeafLayout forKeys(int keyLen, uint32_t maxRecno);
};

inline constexpr size_t kLeafHeaderSize = 24;

class LeafDecoder;

struct LeafNode {
  NodeHeader header;
  int keyLen = 0;
  char fill = ' ';
  std::string keys;  // count * keyLen bytes, full keys
  std::vector<uint32_t> recnos;

  int count() const { return int(recnos.size()); }
  std::string_view key(int i) const {
    return std::string_view(keys).substr(size_t(i) * keyLen, size_t(keyLen));
  }
  uint32_t maxRecno() const;

  void insert(int at, std::string_view key, uint32_t recno);
  void erase(int at);
  // Moves entries [from, count) into into (keeping into's header).
  void moveTail(int from, LeafNode& into);

  // Bytes the encoded page needs; fits() when that is at most a page.
  size_t encodedSize() const;
  bool fits() const { return encodedSize() <= kCdxPageSize; }

  // First entry whose key prefix is >= prefix (> prefix for upper); count() when none.
  int lowerBoundPrefix(std::string_view prefix) const;
  int upperBoundPrefix(std::string_view prefix) const;
  // First entry with (key, recno) >= (key, recno).
  int lowerBoundEntry(std::string_view key, uint32_t recno) const;

  // Decodes into this node, reusing its buffers. Checks the layout fields, the entry area, every
  // count and every suffix against the page.
  void assign(ConstPageBytes page, int keyLen, char fill, const PageWhere& where);
  static LeafNode decode(ConstPageBytes page, int keyLen, char fill, const PageWhere& where);
  void assign(const LeafDecoder& decoded);  // every entry of it decoded
  // Encodes the node; it must fit.
  void encode(PageBytes page) const;
  // Encodes the node when it fits (false, page unspecified, when it does not).
  bool encodeIfFits(PageBytes page) const;
};

// Packs entries into one leaf page, in order, computing each entry's duplicate and trailing
// counts once. The keys must stay in place until write().
class LeafPacker {
 public:
  LeafPacker(int keyLen, char fill) : keyLen_(keyLen), fill_(fill) {}
  // Adds the entry when it fits the page, keeping reserve bytes unused; the first entry always
  // fits.
  bool tryAdd(const char* key, uint32_t recno, size_t reserve = 0);
  int count() const { return int(items_.size()); }
  const char* lastKey() const { return items_.back().key; }
  uint32_t lastRecno() const { return items_.back().recno; }
  void write(uint8_t* page, NodeHeader header) const;
  void clear();
  void reset(int keyLen, char fill) {
    clear();
    keyLen_ = keyLen;
    fill_ = fill;
  }

 private:
  struct Item {
    const char* key;
    uint32_t recno;
    uint16_t dup;
    uint16_t trail;
  };
  int keyLen_;
  char fill_;
  std::vector<Item> items_;
  size_t suffixBytes_ = 0;
  uint32_t maxRecno_ = 0;
  int entryBytes_ = 3;
};

// Decodes a leaf page entry by entry, as far as it is asked to: a search stops decoding at the
// entry it looks for. It works on its own copy of the page; every count and suffix is checked
// as it is decoded. LeafNode::assign decodes through it too.
class LeafDecoder {
 public:
  // Copies the page and checks its header and layout fields; decodes no entry yet.
  void load(const uint8_t* page, int keyLen, char fill, const PageWhere& where);
  const NodeHeader& header() const { return header_; }
  int keyLen() const { return keyLen_; }
  char fill() const { return fill_; }
  int count() const { return header_.keyCount; }
  int decoded() const { return decoded_; }
  void decodeThrough(int i) {
    while (decoded_ <= i) decodeNext();
  }
  void decodeAll() { decodeThrough(count() - 1); }
  // Reads the counts and record numbers of the entries not decoded yet, without their keys
  // (what insertInPlace and removeInPlace need beyond the neighbours of pos).
  void measureAll();
  std::string_view key(int i) const { return {keys_.data() + size_t(i) * keyLen_, size_t(keyLen_)}; }
  uint32_t recno(int i) const { return recnos_[size_t(i)]; }
  const char* keyData() const { return keys_.data(); }
  const uint32_t* recnoData() const { return recnos_.data(); }

  // Inserts an entry at pos into page, which must hold the bytes this decoder loaded, after
  // measureAll() with the entries through pos decoded: entries after pos move up, the suffixes below pos move down, and the next
  // entry's duplicate count grows to what it shares with the new key. False, with the page
  // untouched, when the entry does not fit or its record number needs wider entries.
  bool insertInPlace(uint8_t* page, int pos, std::string_view key, uint32_t recno) const;
  // Removes the entry at pos the same way (the page keeps at least one entry): the next entry
  // takes over the bytes it shared with the removed one. False, page untouched, when it cannot.
  bool removeInPlace(uint8_t* page, int pos) const;

  // Searches that decode only as far as they need; count() when no entry qualifies.
  int lowerBoundPrefix(std::string_view prefix);  // first key whose prefix is >= prefix
  int upperBoundPrefix(std::string_view prefix);  // first key whose prefix is > prefix
  int lowerBoundEntry(std::string_view key, uint32_t recno);

 private:
  void decodeNext();
  struct EntryShape;
  EntryShape parseEntry(int i, size_t& suffixEnd, uint32_t& recno) const;
  std::array<uint8_t, kCdxPageSize + 8> raw_{};  // 8 bytes of slack for word-wise copies
  std::vector<char> keys_;                       // count * keyLen bytes, plus slack
  std::vector<uint32_t> recnos_;
  struct EntryShape {
    uint16_t dup, trail, suffixStart;
  };
  std::vector<EntryShape> shapes_;
  NodeHeader header_;
  std::string_view file_;
  uint64_t offset_ = 0;
  int keyLen_ = 0;
  char fill_ = ' ';
  int decoded_ = 0;
  uint64_t recMask_ = 0, dupMask_ = 0, trailMask_ = 0, entryMask_ = 0;
  int recBits_ = 0, dupBits_ = 0, trailBits_ = 0, entryBytes_ = 0;
  size_t suffixEnd_ = kCdxPageSize, entriesEnd_ = 0;
  size_t lowestSuffix_ = kCdxPageSize;  // after measureAll()
  bool measured_ = false;
};

// Bytes key shares with prev from the start.
int sharedPrefixLen(const char* prev, const char* key, int keyLen);
// Fill bytes at the end of key.
int trailingFillLen(const char* key, int keyLen, char fill);

}  // namespace rt::db
