// Compressed leaf pages: decode and encode side by side, see cdx_leaf.h for the layout.
#include "runtime/db/cdx_leaf.h"

#include <algorithm>
#include <bit>
#include <cstring>
#include <stdexcept>

namespace rt::db {

namespace {

int bitsFor(uint32_t value) {
  int bits = 0;
  while (bits < 32 && (uint64_t{1} << bits) <= value) ++bits;
  return bits;
}

uint64_t mask(int bits) { return bits >= 64 ? ~uint64_t{0} : (uint64_t{1} << bits) - 1; }

int comparePrefix(const char* key, std::string_view prefix, int keyLen) {
  return compareKeyBytes(key, prefix.data(), std::min<size_t>(size_t(keyLen), prefix.size()));
}

}  // namespace

LeafLayout LeafLayout::forKeys(int keyLen, uint32_t maxRecno) {
  LeafLayout l;
  l.dupBits = l.trailBits = bitsFor(uint32_t(keyLen));
  int need = std::max(bitsFor(maxRecno), 1);
  l.bytes = 3;
  while (8 * l.bytes - 2 * l.dupBits < need && l.bytes < 8) ++l.bytes;
  l.recBits = std::min(32, 8 * l.bytes - 2 * l.dupBits);
  return l;
}

int sharedPrefixLen(const char* prev, const char* key, int keyLen) {
  int n = 0;
  while (n < keyLen && prev[n] == key[n]) ++n;
  return n;
}

int trailingFillLen(const char* key, int keyLen, char fill) {
  int n = 0;
  while (n < keyLen && key[keyLen - 1 - n] == fill) ++n;
  return n;
}

uint32_t LeafNode::maxRecno() const {
  uint32_t m = 0;
  for (uint32_t r : recnos) m = std::max(m, r);
  return m;
}

void LeafNode::insert(int at, std::string_view k, uint32_t recno) {
  keys.insert(size_t(at) * keyLen, k.data(), size_t(keyLen));
  recnos.insert(recnos.begin() + at, recno);
}

void LeafNode::erase(int at) {
  keys.erase(size_t(at) * keyLen, size_t(keyLen));
  recnos.erase(recnos.begin() + at);
}

void LeafNode::moveTail(int from, LeafNode& into) {
  into.keyLen = keyLen;
  into.fill = fill;
  into.keys.assign(keys, size_t(from) * keyLen);
  into.recnos.assign(recnos.begin() + from, recnos.end());
  keys.resize(size_t(from) * keyLen);
  recnos.resize(size_t(from));
}

size_t LeafNode::encodedSize() const {
  int n = count();
  if (n == 0) return kLeafHeaderSize;
  LeafLayout layout = LeafLayout::forKeys(keyLen, maxRecno());
  size_t size = kLeafHeaderSize + size_t(n) * layout.bytes;
  const char* prev = nullptr;
  for (int i = 0; i < n; ++i) {
    const char* k = keys.data() + size_t(i) * keyLen;
    int trail = trailingFillLen(k, keyLen, fill);
    int dup = prev ? std::min(sharedPrefixLen(prev, k, keyLen), keyLen - trail) : 0;
    size += size_t(keyLen - dup - trail);
    prev = k;
  }
  return size;
}

int LeafNode::lowerBoundPrefix(std::string_view prefix) const {
  int lo = 0, hi = count();
  while (lo < hi) {
    int mid = (lo + hi) / 2;
    if (comparePrefix(keys.data() + size_t(mid) * keyLen, prefix, keyLen) < 0) lo = mid + 1;
    else hi = mid;
  }
  return lo;
}

int LeafNode::upperBoundPrefix(std::string_view prefix) const {
  int lo = 0, hi = count();
  while (lo < hi) {
    int mid = (lo + hi) / 2;
    if (comparePrefix(keys.data() + size_t(mid) * keyLen, prefix, keyLen) <= 0) lo = mid + 1;
    else hi = mid;
  }
  return lo;
}

int LeafNode::lowerBoundEntry(std::string_view k, uint32_t r) const {
  int lo = 0, hi = count();
  while (lo < hi) {
    int mid = (lo + hi) / 2;
    if (compareEntry(key(mid), recnos[size_t(mid)], k, r) < 0) lo = mid + 1; else hi = mid;
  }
  return lo;
}

void LeafDecoder::load(const uint8_t* page, int keyLen, char fill, const PageWhere& where) {
  std::memcpy(raw_.data(), page, kCdxPageSize);
  const uint8_t* p = raw_.data();
  header_ = NodeHeader::decode(p);
  file_ = where.file;
  offset_ = where.offset;
  keyLen_ = keyLen;
  fill_ = fill;
  decoded_ = 0;
  if (!header_.isLeaf() || header_.attributes > 3)
    throwCorruptIndex(where, "branch page where a leaf page was expected");
  const int n = header_.keyCount;
  recMask_ = getLe32(p + 14);
  dupMask_ = p[18];
  trailMask_ = p[19];
  recBits_ = p[20];
  dupBits_ = p[21];
  const int trailBits = p[22];
  trailBits_ = trailBits;
  entryBytes_ = p[23];
  if (n > 0) {
    if (entryBytes_ < 1 || entryBytes_ > 8 || recBits_ < 1 || recBits_ > 32 || dupBits_ > 8 ||
        trailBits > 8 || recBits_ + dupBits_ + trailBits > 8 * entryBytes_ ||
        recMask_ != mask(recBits_) || dupMask_ != mask(dupBits_) || trailMask_ != mask(trailBits))
      throwCorruptIndex(where, "leaf page layout fields are invalid");
    if (kLeafHeaderSize + size_t(n) * entryBytes_ > kCdxPageSize)
      throwCorruptIndex(where, "leaf page key count " + std::to_string(n) + " is invalid");
  }
  entryMask_ = mask(8 * entryBytes_);
  entriesEnd_ = kLeafHeaderSize + size_t(n) * entryBytes_;
  suffixEnd_ = kCdxPageSize;
  measured_ = false;
  keys_.resize(size_t(n) * keyLen + 8);
  recnos_.resize(size_t(n));
  shapes_.resize(size_t(n));
}

namespace {
// Copies n bytes in 8-byte words; may write up to 7 bytes past dst + n and read past src + n.
inline void copyWords(char* dst, const char* src, size_t n) {
  for (size_t i = 0; i < n; i += 8) {
    uint64_t word;  // through a register: source and destination may overlap for short keys
    std::memcpy(&word, src + i, 8);
    std::memcpy(dst + i, &word, 8);
  }
}
}  // namespace

LeafDecoder::EntryShape LeafDecoder::parseEntry(int i, size_t& suffixEnd, uint32_t& recno) const {
  const uint8_t* entry = raw_.data() + kLeafHeaderSize + size_t(i) * entryBytes_;
  uint64_t bits = 0;
  if constexpr (std::endian::native == std::endian::little) {
    std::memcpy(&bits, entry, 8);  // within the page plus slack
    bits &= entryMask_;
  } else {
    for (int b = entryBytes_ - 1; b >= 0; --b) bits = (bits << 8) | entry[b];
  }
  recno = uint32_t(bits & recMask_);
  const int dup = int((bits >> recBits_) & dupMask_);
  const int trail = int((bits >> (recBits_ + dupBits_)) & trailMask_);
  const int stored = keyLen_ - dup - trail;
  const PageWhere where{file_, offset_};
  if (stored < 0 || (i == 0 && dup > 0))
    throwCorruptIndex(where, "leaf entry " + std::to_string(i) + " has invalid counts");
  if (suffixEnd < entriesEnd_ + size_t(stored)) throwCorruptIndex(where, "leaf keys overrun the entry area");
  suffixEnd -= size_t(stored);
  return {uint16_t(dup), uint16_t(trail), uint16_t(suffixEnd)};
}

void LeafDecoder::decodeNext() {
  const int i = decoded_;
  const EntryShape shape = parseEntry(i, suffixEnd_, recnos_[size_t(i)]);
  shapes_[size_t(i)] = shape;
  const int dup = shape.dup, trail = shape.trail, stored = keyLen_ - dup - trail;
  char* out = keys_.data() + size_t(i) * keyLen_;
  // Word-wise copies run over into bytes written next (or the slack), so they go in order.
  if (dup > 0) copyWords(out, out - keyLen_, size_t(dup));
  copyWords(out + dup, reinterpret_cast<const char*>(raw_.data()) + suffixEnd_, size_t(stored));
  if (trail > 0) std::memset(out + dup + stored, fill_, size_t(trail));
  decoded_ = i + 1;
}

void LeafDecoder::measureAll() {
  size_t end = suffixEnd_;
  for (int i = decoded_; i < count(); ++i) shapes_[size_t(i)] = parseEntry(i, end, recnos_[size_t(i)]);
  lowestSuffix_ = end;
  measured_ = true;
}

int LeafDecoder::lowerBoundPrefix(std::string_view prefix) {
  for (int i = 0; i < count(); ++i) {
    decodeThrough(i);
    if (comparePrefix(key(i), prefix) >= 0) return i;
  }
  return count();
}

int LeafDecoder::upperBoundPrefix(std::string_view prefix) {
  for (int i = 0; i < count(); ++i) {
    decodeThrough(i);
    if (comparePrefix(key(i), prefix) > 0) return i;
  }
  return count();
}

int LeafDecoder::lowerBoundEntry(std::string_view k, uint32_t r) {
  for (int i = 0; i < count(); ++i) {
    decodeThrough(i);
    if (compareEntry(key(i), recno(i), k, r) >= 0) return i;
  }
  return count();
}

bool LeafDecoder::insertInPlace(uint8_t* page, int pos, std::string_view key, uint32_t recno) const {
  const int n = count();
  // Needs the neighbours' keys and every entry's shape.
  if (!measured_ || n == 0 || decoded_ < std::min(pos + 1, n) || recno > recMask_) return false;
  const int trailNew = trailingFillLen(key.data(), keyLen_, fill_);
  const int dupNew =
      pos > 0 ? std::min(sharedPrefixLen(this->key(pos - 1).data(), key.data(), keyLen_), keyLen_ - trailNew) : 0;
  const size_t storedNew = size_t(keyLen_ - dupNew - trailNew);
  if (uint64_t(dupNew) > dupMask_ || uint64_t(trailNew) > trailMask_) return false;
  // The entry that now follows the new one may share more with it than with its old neighbour.
  int dupNext = 0, delta = 0;
  size_t storedNextOld = 0;
  if (pos < n) {
    const EntryShape next = shapes_[size_t(pos)];
    storedNextOld = size_t(keyLen_ - next.dup - next.trail);
    dupNext = std::min(sharedPrefixLen(key.data(), this->key(pos).data(), keyLen_), keyLen_ - next.trail);
    if (dupNext < next.dup || uint64_t(dupNext) > dupMask_) return false;
    delta = dupNext - next.dup;
  }
  const size_t freeBytes = lowestSuffix_ - entriesEnd_;
  const long grow = long(entryBytes_) + long(storedNew) - long(delta);
  if (grow > long(freeBytes)) return false;

  // Suffixes: [low, high) belongs to the entries after pos (after pos - 1 when pos == n).
  const size_t top = pos == 0 ? kCdxPageSize : shapes_[size_t(pos - 1)].suffixStart;
  const size_t low = lowestSuffix_;
  const size_t high = pos < n ? top - storedNextOld : top;
  const long shift = long(storedNew) - long(delta);
  std::memmove(page + long(low) - shift, page + low, high - low);
  if (shift < 0) std::memset(page + low, 0, size_t(-shift));  // freed bytes read as zeros
  std::memcpy(page + top - storedNew, key.data() + dupNew, storedNew);
  if (pos < n) {
    const size_t storedNext = storedNextOld - size_t(delta);
    std::memcpy(page + top - storedNew - storedNext, this->key(pos).data() + dupNext, storedNext);
  }
  // Entries.
  auto putEntry = [&](int at, uint32_t r, int dup, int trail) {
    const uint64_t bits = uint64_t(r) | (uint64_t(dup) << recBits_) | (uint64_t(trail) << (recBits_ + dupBits_));
    uint8_t* e = page + kLeafHeaderSize + size_t(at) * entryBytes_;
    for (int b = 0; b < entryBytes_; ++b) e[b] = uint8_t(bits >> (8 * b));
  };
  uint8_t* entries = page + kLeafHeaderSize;
  std::memmove(entries + size_t(pos + 1) * entryBytes_, entries + size_t(pos) * entryBytes_,
               size_t(n - pos) * entryBytes_);
  putEntry(pos, recno, dupNew, trailNew);
  if (pos < n) putEntry(pos + 1, recnos_[size_t(pos)], dupNext, shapes_[size_t(pos)].trail);
  putLe16(page + 2, uint16_t(n + 1));
  putLe16(page + 12, uint16_t(long(freeBytes) - grow));
  return true;
}

bool LeafDecoder::removeInPlace(uint8_t* page, int pos) const {
  const int n = count();
  if (!measured_ || n < 2 || pos < 0 || pos >= n || decoded_ < std::min(pos + 2, n)) return false;
  const EntryShape gone = shapes_[size_t(pos)];
  const size_t storedGone = size_t(keyLen_ - gone.dup - gone.trail);
  const size_t top = pos == 0 ? kCdxPageSize : shapes_[size_t(pos - 1)].suffixStart;
  int dupNext = 0;
  size_t storedNextOld = 0, storedNextNew = 0;
  if (pos + 1 < n) {
    const EntryShape next = shapes_[size_t(pos + 1)];
    storedNextOld = size_t(keyLen_ - next.dup - next.trail);
    dupNext = pos > 0 ? std::min(sharedPrefixLen(key(pos - 1).data(), key(pos + 1).data(), keyLen_),
                                 keyLen_ - next.trail)
                      : 0;
    if (dupNext > next.dup) return false;
    storedNextNew = size_t(keyLen_ - dupNext - next.trail);
  }
  const size_t freeBytes = lowestSuffix_ - entriesEnd_;
  const long shrink = long(entryBytes_) + long(storedGone) + long(storedNextOld) - long(storedNextNew);
  if (long(freeBytes) + shrink < 0) return false;
  // Entries first: when the next entry now stores more of its key than before, the suffixes move
  // down, possibly into the bytes of the last entry, which must have moved out of the way.
  uint8_t* entries = page + kLeafHeaderSize;
  std::memmove(entries + size_t(pos) * entryBytes_, entries + size_t(pos + 1) * entryBytes_,
               size_t(n - pos - 1) * entryBytes_);
  std::memset(entries + size_t(n - 1) * entryBytes_, 0, size_t(entryBytes_));
  if (pos + 1 < n) {
    const uint64_t bits = uint64_t(recnos_[size_t(pos + 1)]) | (uint64_t(dupNext) << recBits_) |
                          (uint64_t(shapes_[size_t(pos + 1)].trail) << (recBits_ + dupBits_));
    uint8_t* e = entries + size_t(pos) * entryBytes_;
    for (int b = 0; b < entryBytes_; ++b) e[b] = uint8_t(bits >> (8 * b));
  }
  // Suffixes of the entries after pos + 1 move by what the two changed suffixes gave back.
  const size_t low = lowestSuffix_;
  const size_t high = top - storedGone - storedNextOld;
  const long shift = long(storedGone) + long(storedNextOld) - long(storedNextNew);
  std::memmove(page + long(low) + shift, page + low, high - low);
  if (pos + 1 < n) std::memcpy(page + top - storedNextNew, key(pos + 1).data() + dupNext, storedNextNew);
  // The bytes no longer used between the entries and the suffixes are cleared.
  std::memset(page + entriesEnd_ - entryBytes_, 0, size_t(long(low) + shift - long(entriesEnd_ - entryBytes_)));
  putLe16(page + 2, uint16_t(n - 1));
  putLe16(page + 12, uint16_t(long(freeBytes) + shrink));
  return true;
}

void LeafNode::assign(const LeafDecoder& decoded) {
  header = decoded.header();
  const size_t n = size_t(decoded.count());
  keyLen = decoded.keyLen();
  fill = decoded.fill();
  keys.assign(decoded.keyData(), n * keyLen);
  recnos.assign(decoded.recnoData(), decoded.recnoData() + n);
}

void LeafNode::assign(ConstPageBytes page, int keyLength, char fillByte, const PageWhere& where) {
  thread_local LeafDecoder decoder;
  decoder.load(page.data(), keyLength, fillByte, where);
  decoder.decodeAll();
  header = decoder.header();
  keyLen = keyLength;
  fill = fillByte;
  const size_t n = size_t(decoder.count());
  keys.assign(decoder.keyData(), n * keyLen);
  recnos.assign(decoder.recnoData(), decoder.recnoData() + n);
}

LeafNode LeafNode::decode(ConstPageBytes page, int keyLength, char fillByte,
                          const PageWhere& where) {
  LeafNode node;
  node.assign(page, keyLength, fillByte, where);
  return node;
}

void LeafPacker::clear() {
  items_.clear();
  suffixBytes_ = 0;
  maxRecno_ = 0;
  entryBytes_ = 3;
}

bool LeafPacker::tryAdd(const char* key, uint32_t recno, size_t reserve) {
  const int trail = trailingFillLen(key, keyLen_, fill_);
  const int dup = items_.empty() ? 0 : std::min(sharedPrefixLen(items_.back().key, key, keyLen_), keyLen_ - trail);
  const size_t stored = size_t(keyLen_ - dup - trail);
  int bytes = entryBytes_;
  if (recno > maxRecno_) bytes = LeafLayout::forKeys(keyLen_, recno).bytes;
  if (!items_.empty() &&
      kLeafHeaderSize + (items_.size() + 1) * size_t(bytes) + suffixBytes_ + stored + reserve > kCdxPageSize)
    return false;
  items_.push_back({key, recno, uint16_t(dup), uint16_t(trail)});
  suffixBytes_ += stored;
  maxRecno_ = std::max(maxRecno_, recno);
  entryBytes_ = bytes;
  return true;
}

void LeafPacker::write(uint8_t* p, NodeHeader header) const {
  std::memset(p, 0, kCdxPageSize);
  const size_t n = items_.size();
  const LeafLayout layout = LeafLayout::forKeys(keyLen_, maxRecno_);
  header.keyCount = uint16_t(n);
  header.attributes |= kNodeLeaf;
  header.encode(p);
  putLe32(p + 14, uint32_t(mask(layout.recBits)));
  p[18] = uint8_t(mask(layout.dupBits));
  p[19] = uint8_t(mask(layout.trailBits));
  p[20] = uint8_t(layout.recBits);
  p[21] = uint8_t(layout.dupBits);
  p[22] = uint8_t(layout.trailBits);
  p[23] = uint8_t(layout.bytes);
  uint8_t* entry = p + kLeafHeaderSize;
  size_t suffixEnd = kCdxPageSize;
  for (const Item& item : items_) {
    const size_t stored = size_t(keyLen_ - item.dup - item.trail);
    suffixEnd -= stored;
    std::memcpy(p + suffixEnd, item.key + item.dup, stored);
    const uint64_t bits = uint64_t(item.recno) | (uint64_t(item.dup) << layout.recBits) |
                          (uint64_t(item.trail) << (layout.recBits + layout.dupBits));
    for (int b = 0; b < layout.bytes; ++b) entry[b] = uint8_t(bits >> (8 * b));
    entry += layout.bytes;
  }
  putLe16(p + 12, uint16_t(suffixEnd - (kLeafHeaderSize + n * size_t(layout.bytes))));
}

bool LeafNode::encodeIfFits(PageBytes page) const {
  thread_local LeafPacker packer(0, ' ');
  packer.reset(keyLen, fill);
  for (int i = 0; i < count(); ++i)
    if (!packer.tryAdd(keys.data() + size_t(i) * keyLen, recnos[size_t(i)])) return false;
  packer.write(page.data(), header);
  return true;
}

void LeafNode::encode(PageBytes page) const {
  if (!encodeIfFits(page)) throw std::logic_error("leaf node does not fit its page");
}

}  // namespace rt::db
