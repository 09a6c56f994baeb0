// CdxPager: the pages of one compound index file, cached in memory.
//
// Pages are read in chunks of 64 KiB (one system call brings in 128 pages) and kept until the
// cache is dropped; changed pages stay in memory, marked dirty, until flush() writes them in runs
// of adjacent pages. Every flush that writes something bumps the change counter in the file
// header (offset 8, big-endian) and writes the header page last. refresh() re-reads that counter
// (one small read): when another process moved it, every cached page is dropped and epoch()
// moves, so trees and cursors know to look again.
//
// Invariants: no dirty page is ever dropped; offsets handed out are page-aligned and below
// size(); a page read from outside the file, or at an unaligned offset, is a damaged-file error.
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "runtime/db/cdx_memory.h"
#include "runtime/db/cdx_page.h"
#include "runtime/db/file.h"

namespace rt::db {

class CdxPager {
 public:
  explicit CdxPager(File file);
  ~CdxPager();
  CdxPager(const CdxPager&) = delete;
  CdxPager& operator=(const CdxPager&) = delete;

  const std::string& path() const { return file_.path(); }
  bool readOnly() const { return file_.readOnly(); }
  File& file() { return file_; }
  PageWhere where(uint64_t offset) const { return {file_.path(), offset}; }

  // Size of the file as this process sees it (pages allocated but not yet flushed count).
  uint64_t size() const { return uint64_t(pageCount_) * kCdxPageSize; }

  const uint8_t* read(uint32_t offset);
  uint8_t* write(uint32_t offset);  // marks the page dirty
  // Copies the 1024 bytes of a header (two pages, possibly in different chunks).
  void readHeader(uint32_t offset, std::array<uint8_t, kCdxHeaderSize>& out);
  void writeHeader(uint32_t offset, const std::array<uint8_t, kCdxHeaderSize>& bytes);

  // A zeroed page from the free list, or else from the end of the file.
  uint32_t allocate();
  // count zeroed, adjacent pages at the end of the file.
  uint32_t allocateAtEnd(uint32_t count);
  // Puts a page on the free list.
  void release(uint32_t offset);

  // Bulk writing (building a tag): pages past the end of the file bypass the cache and go out
  // through a staging buffer in long writes, so a big build does not fill memory with pages.
  // allocateForBulk() takes a free-list page (cached as usual) or the next page at the end;
  // putBulk() stores a whole page obtained from it; finishBulk() writes out what is staged.
  uint32_t allocateForBulk();
  void putBulk(uint32_t offset, const uint8_t* page);
  void finishBulk();

  bool dirty() const { return !dirtyChunks_.empty() || !stage_.empty() || unpublished_; }
  void flush();
  // Re-reads the change counter; true (and the cache dropped) when another process moved it.
  bool refresh();
  uint64_t epoch() const { return epoch_; }
  // Whether the change counter in the file moved past the one the cache holds (one read, of the
  // mapped header page on a local disk); nothing is dropped.
  bool changedOnDisk() const { return readCounterFromDisk() != changeCounter_; }
  uint32_t changeCounter() const { return changeCounter_; }

  // Forgets every change not yet written (a rebuild that failed): the file is read as it is again.
  void discardChanges();
  // Goes on with `other` (an empty file for rebuilding every tag in, or the old file given back
  // after a failed rebuild), dropping everything cached and unwritten; returns the file it had.
  File swapFile(File other);

  // Whether every page of the file on disk is in memory, so that reading needs the disk only
  // after the cache is dropped.
  bool wholeFileCached() const;
  // Runs before any page is brought in from the disk (none: nothing runs); an index reader uses
  // it to take its lock only when it has to read the file. Gives back the hook it replaces.
  std::function<void()> beforeLoad(std::function<void()> hook) {
    std::swap(beforeLoad_, hook);
    return hook;
  }

 private:
  static constexpr uint32_t kChunkPages = 128;
  static constexpr uint32_t kChunkBytes = kChunkPages * kCdxPageSize;
  struct Chunk {
    uint8_t* bytes = nullptr;  // null: not loaded
    std::array<uint64_t, kChunkPages / 64> dirtyBits{};
    bool listedDirty = false;
  };

  uint8_t* pageAt(uint32_t offset);  // loads the chunk, no checks
  void checkOffset(uint32_t offset) const;
  void markDirty(uint32_t offset);
  void dropCache();
  uint32_t readCounterFromDisk() const;
  void writeChunkRuns(uint32_t chunkIndex, bool skipPageZero);
  uint8_t* takeChunkMemory();
  void writeStage();

  File file_;
  uint32_t pageCount_ = 0;
  uint64_t diskSize_ = 0;
  uint32_t changeCounter_ = 0;
  uint64_t epoch_ = 0;
  std::vector<Chunk> chunks_;
  // Chunk memory comes from populated slabs and is reused when the cache is dropped.
  std::vector<PopulatedBytes> slabs_;
  std::vector<uint8_t*> spareChunks_;
  std::vector<uint32_t> dirtyChunks_;
  BigVector<uint8_t> stage_;  // adjacent pages from stageStart_ on, not yet written
  uint64_t stageStart_ = 0;
  bool unpublished_ = false;  // staged pages written since the last counter bump
  std::function<void()> beforeLoad_;
};

}  // namespace rt::db
