// Bulk tag building: see cdx_build.h.
#include "runtime/db/cdx_build.h"

#include <algorithm>
#include <array>
#include <atomic>
#include <cstring>
#include <thread>
#include <vector>

#include "runtime/db/cdx_interior.h"
#include "runtime/db/cdx_leaf.h"

namespace rt::db {

char* KeyBatch::addSlot(uint32_t recno) {
  const size_t at = entries_.size();
  entries_.resizeUninitialized(at + stride_);
  char* slot = entries_.data() + at;
  std::memset(slot, fill_, size_t(keyLen_));
  putBe32(reinterpret_cast<uint8_t*>(slot) + keyLen_, recno);
  ++size_;
  return slot;
}

void KeyBatch::add(std::string_view key, uint32_t recno) {
  std::memcpy(addSlot(recno), key.data(), std::min(key.size(), size_t(keyLen_)));
}

namespace {

// In-place most-significant-byte-first radix sort of fixed-size records (American flag sort),
// insertion sort for small buckets.
class RecordSorter {
 public:
  RecordSorter(char* base, size_t stride) : base_(reinterpret_cast<uint8_t*>(base)), stride_(stride) {
    temp_.resize(stride);
    temp2_.resize(stride);
  }

  // Distributes [from, from + n) by the first byte, from depth on, where the records differ and
  // returns that depth with the bucket sizes in count; small ranges are sorted here at once, and
  // then (as when every record is equal) the result is stride_.
  size_t distribute(size_t from, size_t n, size_t depth, std::array<size_t, 256>& count) {
    while (depth < stride_) {
      if (n < 32) {
        insertionSort(from, n, depth);
        return stride_;
      }
      count.fill(0);
      for (size_t i = 0; i < n; ++i) ++count[at(from + i)[depth]];
      if (count[at(from)[depth]] == n) {  // every record has this byte: look at the next one
        ++depth;
        continue;
      }
      std::array<size_t, 256> next{}, end{};
      size_t sum = from;
      for (int b = 0; b < 256; ++b) {
        next[size_t(b)] = sum;
        sum += count[size_t(b)];
        end[size_t(b)] = sum;
      }
      for (int b = 0; b < 256; ++b) {
        while (next[size_t(b)] < end[size_t(b)]) {
          uint8_t* slot = at(next[size_t(b)]);
          uint8_t digit = slot[depth];
          if (digit == b) {
            ++next[size_t(b)];
            continue;
          }
          // Carry the record to its bucket, taking the one found there along, until a record
          // for this bucket turns up.
          copyRecord(temp_.data(), slot);
          do {
            uint8_t* target = at(next[digit]++);
            copyRecord(temp2_.data(), target);
            copyRecord(target, temp_.data());
            std::swap(temp_, temp2_);
            digit = temp_[depth];
          } while (digit != b);
          copyRecord(slot, temp_.data());
          ++next[size_t(b)];
        }
      }
      return depth;
    }
    return stride_;
  }

  void sort(size_t from, size_t n, size_t depth) {
    std::array<size_t, 256> count;
    depth = distribute(from, n, depth, count);
    if (depth >= stride_) return;
    size_t start = from;
    for (int b = 0; b < 256; ++b) {
      if (count[size_t(b)] > 1) sort(start, count[size_t(b)], depth + 1);
      start += count[size_t(b)];
    }
  }

 private:
  uint8_t* at(size_t i) const { return base_ + i * stride_; }

  // Copies one record between places that do not overlap, in 8-byte words.
  void copyRecord(uint8_t* dst, const uint8_t* src) const {
    if (stride_ < 8) {
      for (size_t i = 0; i < stride_; ++i) dst[i] = src[i];
      return;
    }
    size_t i = 0;
    for (; i + 8 <= stride_; i += 8) std::memcpy(dst + i, src + i, 8);
    if (i < stride_) std::memcpy(dst + stride_ - 8, src + stride_ - 8, 8);
  }

  void insertionSort(size_t from, size_t n, size_t depth) {
    const size_t len = stride_ - depth;
    auto bytes = [&](const uint8_t* p) { return reinterpret_cast<const char*>(p) + depth; };
    for (size_t i = 1; i < n; ++i) {
      if (compareKeyBytes(bytes(at(from + i - 1)), bytes(at(from + i)), len) <= 0) continue;
      copyRecord(temp_.data(), at(from + i));
      size_t j = i;
      while (j > 0 && compareKeyBytes(bytes(at(from + j - 1)), bytes(temp_.data()), len) > 0) {
        copyRecord(at(from + j), at(from + j - 1));
        --j;
      }
      copyRecord(at(from + j), temp_.data());
    }
  }

  uint8_t* base_;
  size_t stride_;
  std::vector<uint8_t> temp_, temp2_;
};

}  // namespace

namespace {

// Big batches: the first levels of the radix sort cut the records into independent ranges, which
// threads then sort side by side.
void sortInParallel(char* base, size_t count, size_t stride) {
  struct Range {
    size_t from, n, depth;
  };
  RecordSorter splitter(base, stride);
  std::vector<Range> work{{0, count, 0}};
  for (int round = 0; round < 3; ++round) {
    std::vector<Range> next;
    for (const Range& r : work) {
      if (r.n * 64 < count) {
        next.push_back(r);
        continue;
      }
      std::array<size_t, 256> sizes;
      const size_t depth = splitter.distribute(r.from, r.n, r.depth, sizes);
      if (depth >= stride) continue;
      size_t start = r.from;
      for (size_t size : sizes) {
        if (size > 1) next.push_back({start, size, depth + 1});
        start += size;
      }
    }
    work.swap(next);
  }
  std::sort(work.begin(), work.end(), [](const Range& a, const Range& b) { return a.n > b.n; });
  std::atomic<size_t> taken{0};
  auto worker = [&] {
    RecordSorter sorter(base, stride);
    for (size_t i = taken++; i < work.size(); i = taken++) sorter.sort(work[i].from, work[i].n, work[i].depth);
  };
  const unsigned threads = std::clamp(std::thread::hardware_concurrency(), 1u, 8u);
  std::vector<std::thread> pool;
  for (unsigned t = 1; t < threads; ++t) pool.emplace_back(worker);
  worker();
  for (auto& t : pool) t.join();
}

}  // namespace

void KeyBatch::sort(bool unique) {
  if (size_ >= 100000 && std::thread::hardware_concurrency() > 1)
    sortInParallel(entries_.data(), size_, stride_);
  else if (size_ > 1)
    RecordSorter(entries_.data(), stride_).sort(0, size_, 0);
  if (!unique || size_ < 2) return;
  size_t kept = 1;
  for (size_t i = 1; i < size_; ++i) {
    if (std::memcmp(entry(i), entry(kept - 1), size_t(keyLen_)) == 0) continue;
    if (kept != i) std::memcpy(entries_.data() + kept * stride_, entry(i), stride_);
    ++kept;
  }
  size_ = kept;
  entries_.resizeUninitialized(kept * stride_);
}

namespace {

// Room left in built pages for the keys that later writes add, so that the first insert into
// a page does not split it: bytes in a leaf, entries in a branch page.
constexpr size_t kLeafReserve = 64;
constexpr int kBranchReserve = 2;

struct LevelEntry {
  uint32_t maxIndex;  // batch index of the subtree's largest entry
  uint32_t offset;
};

// Writes the pages of one level left to right. A page is held back until the next one has its
// offset, so that its right-sibling link can be set before it goes out.
class LevelWriter {
 public:
  explicit LevelWriter(CdxPager& pager) : pager_(pager) {}
  ~LevelWriter() = default;
  // Starts a page; fills offset and the left sibling, returns the buffer to encode it into.
  uint8_t* begin(uint32_t& offset, uint32_t& left) {
    offset = pager_.allocateForBulk();
    if (pendingOffset_ != kNoPage) {
      putLe32(pending_.data() + 8, offset);
      pager_.putBulk(pendingOffset_, pending_.data());
    }
    left = pendingOffset_;
    pendingOffset_ = offset;
    return pending_.data();
  }
  void finish() {
    if (pendingOffset_ == kNoPage) return;
    putLe32(pending_.data() + 8, kNoPage);
    pager_.putBulk(pendingOffset_, pending_.data());
    pendingOffset_ = kNoPage;
  }

 private:
  CdxPager& pager_;
  std::array<uint8_t, kCdxPageSize> pending_{};
  uint32_t pendingOffset_ = kNoPage;
};

std::vector<LevelEntry> writeLeaves(CdxPager& pager, const KeyBatch& batch) {
  std::vector<LevelEntry> level;
  LevelWriter writer(pager);
  LeafPacker packer(batch.keyLen(), batch.fill());
  size_t last = 0;
  auto emit = [&] {
    uint32_t offset, left;
    uint8_t* page = writer.begin(offset, left);
    packer.write(page, {kNodeLeaf, 0, left, kNoPage});
    level.push_back({uint32_t(last), offset});
    packer.clear();
  };
  for (size_t i = 0; i < batch.size(); ++i) {
    const char* key = batch.key(i).data();
    if (!packer.tryAdd(key, batch.recno(i), kLeafReserve)) {
      emit();
      packer.tryAdd(key, batch.recno(i));
    }
    last = i;
  }
  emit();
  writer.finish();
  return level;
}

}  // namespace

uint32_t buildTree(CdxPager& pager, const KeyBatch& batch) {
  const int keyLen = batch.keyLen();
  if (batch.size() == 0) {
    const uint32_t offset = pager.allocateAtEnd(1);
    LeafPacker(keyLen, batch.fill()).write(pager.write(offset), {kNodeRoot | kNodeLeaf, 0, kNoPage, kNoPage});
    return offset;
  }
  std::vector<LevelEntry> level = writeLeaves(pager, batch);
  const size_t capacity = size_t(std::max(2, interiorCapacity(keyLen) - kBranchReserve));
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
      uint32_t offset, left;
      uint8_t* page = writer.begin(offset, left);
      node.header = {kNodeInterior, 0, left, kNoPage};
      node.encode(PageBytes(page, kCdxPageSize));
      upper.push_back({level[to - 1].maxIndex, offset});
    }
    writer.finish();
    level.swap(upper);
  }
  pager.finishBulk();
  const uint32_t root = level.front().offset;
  uint8_t* page = pager.write(root);
  putLe16(page, uint16_t(getLe16(page) | kNodeRoot));
  return root;
}

}  // namespace rt::db
