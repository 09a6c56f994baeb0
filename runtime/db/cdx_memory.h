// Large working buffers of the index code (key batches, staging buffers, page-cache slabs).
//
// The first touch of fresh memory costs a page fault per 4 KiB, and on virtual machines a fault
// is expensive (tens of microseconds). So big buffers come from a process-wide pool of mappings
// that are kept when released: the memory a tag build sorted its keys in serves the page cache
// of the next bag without being faulted in again. Fresh mappings of 4 MiB and more ask for huge
// pages (fewer faults, and fewer TLB misses when the page cache is searched at random) and are
// populated in one call. The pool keeps at most kPoolLimit bytes; released memory beyond that
// goes back to the system. Elements of BigVector must be trivially copyable.
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <type_traits>
#include <utility>

namespace rt::db {

// Raw populated mapping; grow() keeps the contents.
class PopulatedBytes {
 public:
  PopulatedBytes() = default;
  ~PopulatedBytes();
  PopulatedBytes(PopulatedBytes&& other) noexcept;
  PopulatedBytes& operator=(PopulatedBytes&& other) noexcept;
  PopulatedBytes(const PopulatedBytes&) = delete;
  PopulatedBytes& operator=(const PopulatedBytes&) = delete;

  // Makes the capacity at least bytes, keeping the contents (std::bad_alloc when the system
  // refuses).
  void grow(size_t bytes);
  void release();  // gives the memory back to the pool

  static constexpr size_t kPoolLimit = size_t{256} << 20;
  uint8_t* data() const { return data_; }
  size_t capacity() const { return capacity_; }

 private:
  uint8_t* data_ = nullptr;
  size_t capacity_ = 0;
};

template <class T>
class BigVector {
  static_assert(std::is_trivially_copyable_v<T>);

 public:
  size_t size() const { return size_; }
  bool empty() const { return size_ == 0; }
  T* data() { return reinterpret_cast<T*>(bytes_.data()); }
  const T* data() const { return reinterpret_cast<const T*>(bytes_.data()); }
  T& operator[](size_t i) { return data()[i]; }
  const T& operator[](size_t i) const { return data()[i]; }
  T& back() { return data()[size_ - 1]; }
  const T& back() const { return data()[size_ - 1]; }
  T* begin() { return data(); }
  T* end() { return data() + size_; }
  const T* begin() const { return data(); }
  const T* end() const { return data() + size_; }

  void reserve(size_t n) {
    if (n * sizeof(T) > bytes_.capacity()) bytes_.grow(n * sizeof(T));
  }
  // New elements are left as the mapping holds them (zero when fresh); callers fill them.
  void resizeUninitialized(size_t n) {
    if (n > capacity()) reserve(std::max(n, 2 * capacity()));
    size_ = n;
  }
  void push_back(const T& value) {
    if (size_ == capacity()) reserve(std::max<size_t>(1024, 2 * capacity()));
    data()[size_++] = value;
  }
  void clear() { size_ = 0; }
  void swap(BigVector& other) noexcept {
    std::swap(bytes_, other.bytes_);
    std::swap(size_, other.size_);
  }

 private:
  size_t capacity() const { return bytes_.capacity() / sizeof(T); }
  PopulatedBytes bytes_;
  size_t size_ = 0;
};

}  // namespace rt::db
