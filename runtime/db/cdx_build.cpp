// Bulk tag building: see cdx_build.h.
#include "runtime/db/cdx_build.h"

#include <algorithm>
#include <array>
#include <cstring>

#include "runtime/db/cdx_interior.h"
#include "runtime/db/cdx_leaf.h"

namespace rt::db {

void KeyBatch::reserve(size_t entries) {
  keys_.reserve(entries * keyLen_);
  recnos_.reserve(entries);
}

char* KeyBatch::addSlot(uint32_t recno) {
  const size_t at = keys_.size();
  keys_.resize(at + keyLen_, fill_);
  recnos_.push_back(recno);
  return keys_.data() + at;
}

void KeyBatch::add(std::string_view key, uint32_t recno) {
  std::memcpy(addSlot(recno), key.data(), std::min(key.size(), size_t(keyLen_)));
}

void KeyBatch::clear() {
  keys_.clear();
  recnos_.clear();
}

namespace {

struct SortItem {
  uint64_t prefix;
  uint32_t index;
};

uint64_t prefixOf(std::string_view key) {
  uint64_t v = 0;
  for (size_t i = 0; i < 8; ++i) v = (v << 8) | (i < key.size() ? uint8_t(key[i]) : 0);
  return v;
}

void radixSort(std::vector<SortItem>& items) {
  const size_t n = items.size();
  std::vector<std::array<uint32_t, 256>> counts(8);
  for (auto& c : counts) c.fill(0);
  for (const auto& it : items)
    for (int b = 0; b < 8; ++b) ++counts[size_t(b)][(it.prefix >> (8 * b)) & 0xFF];
  std::vector<SortItem> buffer(n);
  for (int b = 0; b < 8; ++b) {
    auto& c = counts[size_t(b)];
    if (std::any_of(c.begin(), c.end(), [n](uint32_t k) { return k == n; })) continue;  // one value
    uint32_t sum = 0;
    for (auto& k : c) {
      const uint32_t k0 = k;
      k = sum;
      sum += k0;
    }
    for (const auto& it : items) buffer[c[(it.prefix >> (8 * b)) & 0xFF]++] = it;
    items.swap(buffer);
  }
}

}  // namespace

std::vector<uint32_t> sortBatch(const KeyBatch& batch, bool unique) {
  const size_t n = batch.size();
  std::vector<SortItem> items(n);
  for (size_t i = 0; i < n; ++i) items[i] = {prefixOf(batch.key(i)), uint32_t(i)};
  radixSort(items);
  const size_t keyLen = size_t(batch.keyLen());
  auto less = [&](const SortItem& a, const SortItem& b) {
    if (keyLen > 8) {
      int c = std::memcmp(batch.key(a.index).data() + 8, batch.key(b.index).data() + 8, keyLen - 8);
      if (c != 0) return c < 0;
    }
    return batch.recno(a.index) < batch.recno(b.index);
  };
  for (size_t start = 0; start < n;) {
    size_t end = start + 1;
    while (end < n && items[end].prefix == items[start].prefix) ++end;
    if (end - start > 1 && !std::is_sorted(items.begin() + start, items.begin() + end, less))
      std::sort(items.begin() + start, items.begin() + end, less);
    start = end;
  }
  std::vector<uint32_t> order;
  order.reserve(n);
  for (size_t i = 0; i < n; ++i) {
    if (unique && !order.empty() && batch.key(order.back()) == batch.key(items[i].index)) continue;
    order.push_back(items[i].index);
  }
  return order;
}

namespace {

struct LevelEntry {
  uint32_t maxIndex;  // batch index of the subtree's largest entry
  uint32_t offset;
};

// Writes a page run of one level, linking each page to the one before it.
class LevelWriter {
 public:
  explicit LevelWriter(CdxPager& pager) : pager_(pager) {}
  uint32_t next() {
    const uint32_t offset = pager_.allocate();
    if (prev_ != kNoPage) putLe32(pager_.write(prev_) + 8, offset);
    left_ = prev_;
    prev_ = offset;
    return offset;
  }
  uint32_t left() const { return left_; }

 private:
  CdxPager& pager_;
  uint32_t prev_ = kNoPage;
  uint32_t left_ = kNoPage;
};

std::vector<LevelEntry> writeLeaves(CdxPager& pager, const KeyBatch& batch,
                                    const std::vector<uint32_t>& order) {
  const int keyLen = batch.keyLen();
  std::vector<LevelEntry> level;
  LevelWriter writer(pager);
  LeafNode leaf;
  leaf.keyLen = keyLen;
  leaf.fill = batch.fill();
  auto emit = [&](size_t from, size_t to) {
    leaf.keys.clear();
    leaf.recnos.clear();
    for (size_t i = from; i < to; ++i) {
      leaf.keys.append(batch.key(order[i]));
      leaf.recnos.push_back(batch.recno(order[i]));
    }
    const uint32_t offset = writer.next();
    leaf.header = {kNodeLeaf, 0, writer.left(), kNoPage};
    leaf.encode(PageBytes(pager.write(offset), kCdxPageSize));
    level.push_back({order[to - 1], offset});
  };
  size_t start = 0, used = 0;
  uint32_t maxRecno = 0;
  int bytes = LeafLayout::forKeys(keyLen, 0).bytes;
  const char* prev = nullptr;
  for (size_t i = 0; i < order.size(); ++i) {
    const char* key = batch.key(order[i]).data();
    const uint32_t recno = batch.recno(order[i]);
    const int trail = trailingFillLen(key, keyLen, batch.fill());
    int dup = prev ? std::min(sharedPrefixLen(prev, key, keyLen), keyLen - trail) : 0;
    uint32_t newMax = std::max(maxRecno, recno);
    int newBytes = newMax > maxRecno ? LeafLayout::forKeys(keyLen, newMax).bytes : bytes;
    const size_t count = i - start;
    if (count > 0 && kLeafHeaderSize + (count + 1) * newBytes + used + size_t(keyLen - dup - trail) >
                         kCdxPageSize) {
      emit(start, i);
      start = i;
      used = 0;
      dup = 0;
      newMax = recno;
      newBytes = LeafLayout::forKeys(keyLen, recno).bytes;
    }
    used += size_t(keyLen - dup - trail);
    maxRecno = newMax;
    bytes = newBytes;
    prev = key;
  }
  emit(start, order.size());
  return level;
}

}  // namespace

uint32_t buildTree(CdxPager& pager, const KeyBatch& batch, const std::vector<uint32_t>& order) {
  const int keyLen = batch.keyLen();
  if (order.empty()) {
    const uint32_t offset = pager.allocateAtEnd(1);
    LeafNode empty;
    empty.header = {kNodeRoot | kNodeLeaf, 0, kNoPage, kNoPage};
    empty.keyLen = keyLen;
    empty.fill = batch.fill();
    empty.encode(PageBytes(pager.write(offset), kCdxPageSize));
    return offset;
  }
  std::vector<LevelEntry> level = writeLeaves(pager, batch, order);
  const size_t capacity = size_t(interiorCapacity(keyLen));
  InteriorNode node;
  node.keyLen = keyLen;
  while (level.size() > 1) {
    std::vector<LevelEntry> upper;
    LevelWriter writer(pager);
    for (size_t from = 0; from < level.size(); from += capacity) {
      const size_t to = std::min(level.size(), from + capacity);
      node.keys.clear();
      node.recnos.clear();
      node.children.clear();
      for (size_t i = from; i < to; ++i)
        node.insert(node.count(), batch.key(level[i].maxIndex), batch.recno(level[i].maxIndex),
                    level[i].offset);
      const uint32_t offset = writer.next();
      node.header = {kNodeInterior, 0, writer.left(), kNoPage};
      node.encode(PageBytes(pager.write(offset), kCdxPageSize));
      upper.push_back({level[to - 1].maxIndex, offset});
    }
    level.swap(upper);
  }
  const uint32_t root = level.front().offset;
  uint8_t* page = pager.write(root);
  putLe16(page, uint16_t(getLe16(page) | kNodeRoot));
  return root;
}

}  // namespace rt::db
