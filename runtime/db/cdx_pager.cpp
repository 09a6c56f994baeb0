// The page cache of a compound index file: see cdx_pager.h.
#include "runtime/db/cdx_pager.h"

#include <algorithm>
#include <cstring>

#include "runtime/core/error.h"

namespace rt::db {

CdxPager::CdxPager(File file) : file_(std::move(file)) {
  diskSize_ = file_.size();
  pageCount_ = uint32_t((diskSize_ + kCdxPageSize - 1) / kCdxPageSize);
  changeCounter_ = readCounterFromDisk();
}

CdxPager::~CdxPager() = default;

uint32_t CdxPager::readCounterFromDisk() const {
  uint8_t bytes[4] = {0, 0, 0, 0};
  if (diskSize_ < 12) {
    if (file_.readSome(8, bytes, 4) != 4) return 0;
  } else {
    file_.readHead(8, bytes, 4);  // the file never shrinks below its header page
  }
  return getBe32(bytes);
}

void CdxPager::checkOffset(uint32_t offset) const {
  if (offset % kCdxPageSize != 0 || uint64_t(offset) >= size())
    throwCorruptIndex(where(offset), "page offset outside the file");
}

uint8_t* CdxPager::takeChunkMemory() {
  if (spareChunks_.empty()) {
    // Slabs double from one chunk up to 2 MiB, so small files stay small.
    size_t loaded = 0;
    for (const auto& slab : slabs_) loaded += slab.capacity() / kChunkBytes;
    const size_t count = std::clamp<size_t>(loaded, 1, 32);
    PopulatedBytes slab;
    slab.grow(count * kChunkBytes);
    for (size_t i = count; i-- > 0;) spareChunks_.push_back(slab.data() + i * kChunkBytes);
    slabs_.push_back(std::move(slab));
  }
  uint8_t* bytes = spareChunks_.back();
  spareChunks_.pop_back();
  return bytes;
}

uint8_t* CdxPager::pageAt(uint32_t offset) {
  const uint32_t index = offset / kChunkBytes;
  if (index >= chunks_.size()) chunks_.resize(index + 1);
  Chunk& chunk = chunks_[index];
  if (!chunk.bytes) {
    if (beforeLoad_) beforeLoad_();
    if (!stage_.empty()) writeStage();  // the disk must hold every staged page before a load
    chunk.bytes = takeChunkMemory();
    const uint64_t start = uint64_t(index) * kChunkBytes;
    size_t got = 0;
    if (start < diskSize_)
      got = file_.readSome(start, chunk.bytes, size_t(std::min<uint64_t>(kChunkBytes, diskSize_ - start)));
    std::memset(chunk.bytes + got, 0, kChunkBytes - got);
  }
  return chunk.bytes + (offset % kChunkBytes);
}

const uint8_t* CdxPager::read(uint32_t offset) {
  checkOffset(offset);
  return pageAt(offset);
}

void CdxPager::markDirty(uint32_t offset) {
  const uint32_t index = offset / kChunkBytes;
  const uint32_t page = (offset % kChunkBytes) / kCdxPageSize;
  Chunk& chunk = chunks_[index];
  chunk.dirtyBits[page / 64] |= uint64_t{1} << (page % 64);
  if (!chunk.listedDirty) {
    chunk.listedDirty = true;
    dirtyChunks_.push_back(index);
  }
}

uint8_t* CdxPager::write(uint32_t offset) {
  if (file_.readOnly())
    throw Error(ErrorKind::Write, "Index file is open read-only", "index", file_.path()).because(ErrorCause::ReadOnly);
  checkOffset(offset);
  uint8_t* page = pageAt(offset);
  markDirty(offset);
  return page;
}

void CdxPager::readHeader(uint32_t offset, std::array<uint8_t, kCdxHeaderSize>& out) {
  std::memcpy(out.data(), read(offset), kCdxPageSize);
  std::memcpy(out.data() + kCdxPageSize, read(offset + kCdxPageSize), kCdxPageSize);
}

void CdxPager::writeHeader(uint32_t offset, const std::array<uint8_t, kCdxHeaderSize>& bytes) {
  std::memcpy(write(offset), bytes.data(), kCdxPageSize);
  std::memcpy(write(offset + kCdxPageSize), bytes.data() + kCdxPageSize, kCdxPageSize);
}

uint32_t CdxPager::allocateAtEnd(uint32_t count) {
  if (uint64_t(pageCount_) + count > 0xFFFFFFFFull / kCdxPageSize)
    throw Error(ErrorKind::Write, "Index file is full", "index", file_.path()).because(ErrorCause::Full);
  const uint32_t offset = pageCount_ * kCdxPageSize;
  pageCount_ += count;
  for (uint32_t i = 0; i < count; ++i) std::memset(write(offset + i * kCdxPageSize), 0, kCdxPageSize);
  return offset;
}

uint32_t CdxPager::allocate() {
  const uint32_t head = getLe32(read(0) + 4);
  if (head == 0 || head == kNoPage) return allocateAtEnd(1);
  if (head < kCdxHeaderSize) throwCorruptIndex(where(4), "free list head is invalid");
  uint8_t* page = write(head);
  const uint32_t next = getLe32(page);
  putLe32(write(0) + 4, next);
  std::memset(page, 0, kCdxPageSize);
  return head;
}

void CdxPager::release(uint32_t offset) {
  uint8_t* page = write(offset);
  std::memset(page, 0, kCdxPageSize);
  uint8_t* header = write(0);
  const uint32_t head = getLe32(header + 4);
  putLe32(page, head == kNoPage ? 0 : head);
  putLe32(header + 4, offset);
}

uint32_t CdxPager::allocateForBulk() {
  const uint32_t head = getLe32(read(0) + 4);
  if (head != 0 && head != kNoPage) return allocate();
  if (uint64_t(pageCount_) + 1 > 0xFFFFFFFFull / kCdxPageSize)
    throw Error(ErrorKind::Write, "Index file is full", "index", file_.path()).because(ErrorCause::Full);
  return pageCount_++ * kCdxPageSize;
}

void CdxPager::putBulk(uint32_t offset, const uint8_t* page) {
  const uint32_t index = offset / kChunkBytes;
  const bool cached = index < chunks_.size() && chunks_[index].bytes;
  if (cached || uint64_t(offset) < diskSize_) {
    std::memcpy(write(offset), page, kCdxPageSize);
    return;
  }
  if (!stage_.empty() && stageStart_ + stage_.size() != offset) writeStage();
  if (stage_.empty()) stageStart_ = offset;
  const size_t at = stage_.size();
  stage_.resizeUninitialized(at + kCdxPageSize);
  std::memcpy(stage_.data() + at, page, kCdxPageSize);
  if (stage_.size() >= (size_t{1} << 20)) writeStage();
}

void CdxPager::writeStage() {
  if (stage_.empty()) return;
  file_.writeExact(stageStart_, stage_.data(), stage_.size());
  unpublished_ = true;
  diskSize_ = std::max<uint64_t>(diskSize_, stageStart_ + stage_.size());
  stage_.clear();
}

void CdxPager::finishBulk() { writeStage(); }

void CdxPager::writeChunkRuns(uint32_t index, bool skipPageZero) {
  Chunk& chunk = chunks_[index];
  const uint64_t base = uint64_t(index) * kChunkBytes;
  uint32_t page = 0;
  auto isDirty = [&](uint32_t p) { return (chunk.dirtyBits[p / 64] >> (p % 64)) & 1; };
  while (page < kChunkPages) {
    if (!isDirty(page) || (skipPageZero && index == 0 && page == 0)) {
      ++page;
      continue;
    }
    uint32_t end = page + 1;
    while (end < kChunkPages && isDirty(end)) ++end;
    // Only pages inside the file as we see it are written.
    const uint64_t from = base + uint64_t(page) * kCdxPageSize;
    const uint64_t to = std::min<uint64_t>(base + uint64_t(end) * kCdxPageSize, size());
    if (to > from) {
      file_.writeExact(from, chunk.bytes + (from - base), size_t(to - from));
      diskSize_ = std::max(diskSize_, to);
    }
    page = end;
  }
}

void CdxPager::flush() {
  writeStage();
  if (dirtyChunks_.empty() && !unpublished_) return;
  unpublished_ = false;
  ++changeCounter_;
  putBe32(write(0) + 8, changeCounter_);
  std::sort(dirtyChunks_.begin(), dirtyChunks_.end());
  // Every other page first, the header page (with the counter) last.
  for (uint32_t index : dirtyChunks_) writeChunkRuns(index, true);
  file_.writeHead(0, pageAt(0), kCdxPageSize);
  for (uint32_t index : dirtyChunks_) {
    chunks_[index].dirtyBits.fill(0);
    chunks_[index].listedDirty = false;
  }
  dirtyChunks_.clear();
}

void CdxPager::dropCache() {
  for (Chunk& chunk : chunks_)
    if (chunk.bytes) spareChunks_.push_back(chunk.bytes);
  chunks_.clear();
  ++epoch_;
}

bool CdxPager::wholeFileCached() const {
  const uint64_t needed = (diskSize_ + kChunkBytes - 1) / kChunkBytes;
  if (needed > chunks_.size()) return false;
  for (uint64_t i = 0; i < needed; ++i)
    if (!chunks_[i].bytes) return false;
  return true;
}

bool CdxPager::refresh() {
  if (dirty()) return false;  // our own changes are the newest; flush() publishes them
  // One read: every writer bumps the counter with its changes.
  uint32_t counter = readCounterFromDisk();
  if (counter == changeCounter_) return false;
  if (beforeLoad_) {
    // A reader that has not taken its lock yet: the counter and the size are read again under
    // it, so that no later write of another process is half seen.
    beforeLoad_();
    counter = readCounterFromDisk();
  }
  changeCounter_ = counter;
  diskSize_ = file_.size();
  pageCount_ = uint32_t((diskSize_ + kCdxPageSize - 1) / kCdxPageSize);
  dropCache();
  return true;
}

void CdxPager::discardChanges() {
  dirtyChunks_.clear();
  stage_.clear();
  unpublished_ = false;
  dropCache();
  diskSize_ = file_.size();
  pageCount_ = uint32_t((diskSize_ + kCdxPageSize - 1) / kCdxPageSize);
}

File CdxPager::swapFile(File other) {
  std::swap(file_, other);
  discardChanges();
  return other;
}

}  // namespace rt::db
