// Pooled, populated mappings: see cdx_memory.h.
#include "runtime/db/cdx_memory.h"

#include <sys/mman.h>

#include <mutex>
#include <new>
#include <utility>
#include <vector>

namespace rt::db {

namespace {

constexpr size_t kGranule = size_t{1} << 16;
constexpr size_t kHuge = size_t{2} << 20;

size_t roundUp(size_t bytes, size_t to) { return (bytes + to - 1) / to * to; }

struct Block {
  uint8_t* data;
  size_t size;
};

class Pool {
 public:
  Block acquire(size_t size) {
    {
      std::lock_guard lock(mutex_);
      size_t best = free_.size();
      for (size_t i = 0; i < free_.size(); ++i)
        if (free_[i].size >= size && (best == free_.size() || free_[i].size < free_[best].size)) best = i;
      if (best < free_.size()) {
        Block block = free_[best];
        if (block.size - size >= kGranule) {
          free_[best] = {block.data + size, block.size - size};
          block.size = size;
        } else {
          free_.erase(free_.begin() + long(best));
        }
        pooled_ -= block.size;
        return block;
      }
    }
    return mapFresh(size);
  }

  void release(Block block) {
    std::lock_guard lock(mutex_);
    if (pooled_ + block.size > PopulatedBytes::kPoolLimit) {
      ::munmap(block.data, block.size);
      return;
    }
    free_.push_back(block);
    pooled_ += block.size;
  }

 private:
  static Block mapFresh(size_t size) {
    const bool huge = size >= 2 * kHuge;
    const size_t span = huge ? size + kHuge : size;
    void* p = ::mmap(nullptr, span, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (p == MAP_FAILED) throw std::bad_alloc();
    uint8_t* base = static_cast<uint8_t*>(p);
    if (huge) {
      // Align to a huge page and give back the unused ends.
      uint8_t* aligned = reinterpret_cast<uint8_t*>(roundUp(reinterpret_cast<uintptr_t>(base), kHuge));
      if (aligned > base) ::munmap(base, size_t(aligned - base));
      const size_t tail = size_t(base + span - (aligned + size));
      if (tail > 0) ::munmap(aligned + size, tail);
      base = aligned;
#ifdef MADV_HUGEPAGE
      ::madvise(base, size, MADV_HUGEPAGE);
#endif
    }
#ifdef MADV_POPULATE_WRITE
    ::madvise(base, size, MADV_POPULATE_WRITE);  // best effort: faults fill in what it does not
#endif
    return {base, size};
  }

  std::mutex mutex_;
  std::vector<Block> free_;
  size_t pooled_ = 0;
};

Pool& pool() {
  static Pool* instance = new Pool;  // never destroyed: buffers may be released during exit
  return *instance;
}

}  // namespace

PopulatedBytes::~PopulatedBytes() { release(); }

void PopulatedBytes::release() {
  if (data_) pool().release({data_, capacity_});
  data_ = nullptr;
  capacity_ = 0;
}

PopulatedBytes::PopulatedBytes(PopulatedBytes&& other) noexcept
    : data_(std::exchange(other.data_, nullptr)), capacity_(std::exchange(other.capacity_, 0)) {}

PopulatedBytes& PopulatedBytes::operator=(PopulatedBytes&& other) noexcept {
  if (this != &other) {
    release();
    data_ = std::exchange(other.data_, nullptr);
    capacity_ = std::exchange(other.capacity_, 0);
  }
  return *this;
}

void PopulatedBytes::grow(size_t bytes) {
  if (bytes <= capacity_) return;
  const Block block = pool().acquire(roundUp(bytes, kGranule));
  if (data_) {
    std::memcpy(block.data, data_, capacity_);
    pool().release({data_, capacity_});
  }
  data_ = block.data;
  capacity_ = block.size;
}

}  // namespace rt::db
