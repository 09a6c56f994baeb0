// Populated mappings: see cdx_memory.h.
#include "runtime/db/cdx_memory.h"

#include <sys/mman.h>
#include <unistd.h>

#include <new>
#include <utility>

namespace rt::db {

namespace {
constexpr size_t kGranule = size_t{1} << 16;

size_t roundUp(size_t bytes) { return (bytes + kGranule - 1) / kGranule * kGranule; }

void populate(uint8_t* from, size_t bytes) {
#ifdef MADV_POPULATE_WRITE
  ::madvise(from, bytes, MADV_POPULATE_WRITE);  // best effort: faults fill in what it does not
#else
  (void)from;
  (void)bytes;
#endif
}
}  // namespace

PopulatedBytes::~PopulatedBytes() {
  if (data_) ::munmap(data_, capacity_);
}

PopulatedBytes::PopulatedBytes(PopulatedBytes&& other) noexcept
    : data_(std::exchange(other.data_, nullptr)), capacity_(std::exchange(other.capacity_, 0)) {}

PopulatedBytes& PopulatedBytes::operator=(PopulatedBytes&& other) noexcept {
  if (this != &other) {
    if (data_) ::munmap(data_, capacity_);
    data_ = std::exchange(other.data_, nullptr);
    capacity_ = std::exchange(other.capacity_, 0);
  }
  return *this;
}

void PopulatedBytes::grow(size_t bytes) {
  if (bytes <= capacity_) return;
  const size_t size = roundUp(bytes);
  void* p = data_ ? ::mremap(data_, capacity_, size, MREMAP_MAYMOVE)
                  : ::mmap(nullptr, size, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
  if (p == MAP_FAILED) throw std::bad_alloc();
  uint8_t* base = static_cast<uint8_t*>(p);
  populate(base + capacity_, size - capacity_);
  data_ = base;
  capacity_ = size;
}

}  // namespace rt::db
