// Memo files: FPT (FoxPro, what we write) and DBT (dBASE III/IV, read).
//
// FptHeader (512 bytes, integers big-endian):
//   0  next free block (4)     6  block size (2; 64 usual)     the rest unused by readers
// MemoBlockHeader (8 bytes at block x block size, big-endian):
//   0  type (4; 1 = text, 0 = picture)     4  data length (4)     then the data
// DBT, dBASE III: 512-byte blocks, next free block (LE 4) at 0; a memo runs to a 0x1A byte.
// DBT, dBASE IV: block size (LE 2) at 20; a memo block starts FF FF 08 00 and the LE length at 4
// counts the 8 header bytes.
//
// A memo is never rewritten in place: a changed text goes to fresh blocks at the end, and only
// the record write that follows switches its pointer, so a write that fails or is killed half-way
// leaves the record with its old memo whole. The blocks left behind are unused space until PACK
// copies the live memos to a new file.
// In shared use allocating and writing blocks runs under the memo file's lock (byte 0), as other
// engines writing the file take it, and the next free block is read under it.
// Block numbers out of the file's range are a damaged-file error naming the memo file.
#pragma once

#include <cstdint>
#include <span>
#include <string>

#include "runtime/db/file.h"

namespace rt::db {

struct FptHeader {
  uint32_t nextFree = 0;
  uint16_t blockSize = 64;
  static constexpr size_t kSize = 512;
  static FptHeader decode(std::span<const uint8_t, 8> bytes);
  void encode(std::span<uint8_t, 8> bytes) const;
};

struct MemoBlockHeader {
  uint32_t type = 1;
  uint32_t length = 0;
  static constexpr size_t kSize = 8;
  static MemoBlockHeader decode(std::span<const uint8_t, kSize> bytes);
  void encode(std::span<uint8_t, kSize> bytes) const;
};

class MemoFile {
 public:
  enum class Kind { Fpt, Dbt3, Dbt4 };

  static MemoFile open(const std::string& path, Kind kind, File::Access access);
  static MemoFile create(const std::string& path, uint16_t blockSize = 64);

  Kind kind() const { return kind_; }
  uint32_t blockSize() const { return blockSize_; }
  const std::string& path() const { return file_.path(); }

  // The memo at `block`; block 0 is the empty memo.
  std::string read(uint32_t block) const;
  // Writes `text` to fresh blocks and returns the first block's number (0 for an empty text).
  // In shared use a memo file lock not granted within about two seconds is rt::Error Lock.
  uint32_t write(std::string_view text);
  // Writes the memo at `block` of `source` (an FPT, its type kept) to fresh blocks of this file;
  // returns the new block (0 for block 0). PACK uses it to build a memo file of live memos only.
  uint32_t copyFrom(const MemoFile& source, uint32_t block);
  void setShared(bool shared) { shared_ = shared; }
  void sync() { file_.sync(); }
  void replace(const std::string& livePath) { file_.replace(livePath); }

 private:
  MemoFile(File f, Kind k, uint32_t bs) : file_(std::move(f)), kind_(k), blockSize_(bs) {}
  uint32_t blocksFor(uint64_t bytes) const { return uint32_t((bytes + blockSize_ - 1) / blockSize_); }
  // An FPT memo's data (and its type when asked); block 0 is not a memo here.
  std::string readFpt(uint32_t block, uint32_t* type) const;
  uint32_t append(uint32_t type, std::string_view text);
  File file_;
  Kind kind_;
  uint32_t blockSize_;
  bool shared_ = false;
};

}  // namespace rt::db
