// Memo file reading and writing.
#include "runtime/db/memo_file.h"

#include <algorithm>
#include <cstring>
#include <vector>

#include "runtime/core/error.h"
#include "runtime/db/lock_scheme.h"

namespace rt::db {

namespace {

uint32_t be32(const uint8_t* p) { return uint32_t(p[0]) << 24 | uint32_t(p[1]) << 16 | uint32_t(p[2]) << 8 | p[3]; }
void putBe32(uint8_t* p, uint32_t v) { p[0] = uint8_t(v >> 24); p[1] = uint8_t(v >> 16); p[2] = uint8_t(v >> 8); p[3] = uint8_t(v); }
uint32_t le32(const uint8_t* p) { return uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 | uint32_t(p[3]) << 24; }

[[noreturn]] void damaged(const std::string& file, const std::string& what) {
  throw Error(ErrorKind::Corrupt, "Corruption detected: " + what, "memo", file);
}

}  // namespace

FptHeader FptHeader::decode(std::span<const uint8_t, 8> b) {
  FptHeader h;
  h.nextFree = be32(&b[0]);
  h.blockSize = uint16_t(b[6] << 8 | b[7]);
  return h;
}

void FptHeader::encode(std::span<uint8_t, 8> b) const {
  putBe32(&b[0], nextFree);
  b[4] = b[5] = 0;
  b[6] = uint8_t(blockSize >> 8);
  b[7] = uint8_t(blockSize);
}

MemoBlockHeader MemoBlockHeader::decode(std::span<const uint8_t, kSize> b) {
  return MemoBlockHeader{be32(&b[0]), be32(&b[4])};
}

void MemoBlockHeader::encode(std::span<uint8_t, kSize> b) const {
  putBe32(&b[0], type);
  putBe32(&b[4], length);
}

MemoFile MemoFile::open(const std::string& path, Kind kind, File::Access access) {
  File f = File::open(path, access);
  uint8_t head[24] = {};
  if (f.readSome(0, head, sizeof head) < 8) damaged(path, "memo file header is truncated");
  uint32_t bs = 512;
  if (kind == Kind::Fpt) {
    bs = FptHeader::decode(std::span<const uint8_t, 8>(head, 8)).blockSize;
    // Some writers leave the size 0 meaning the classic 512; anything else odd is damage.
    if (bs == 0) bs = 512;
  } else if (kind == Kind::Dbt4) {
    bs = uint32_t(head[20] | head[21] << 8);
    if (bs == 0) bs = 512;
  }
  if (bs < 1 || bs > 65535) damaged(path, "memo block size out of range");
  return MemoFile(std::move(f), kind, bs);
}

MemoFile MemoFile::create(const std::string& path, uint16_t blockSize) {
  File f = File::create(path);
  std::vector<uint8_t> head(FptHeader::kSize, 0);
  FptHeader h;
  h.blockSize = blockSize;
  h.nextFree = uint32_t((FptHeader::kSize + blockSize - 1) / blockSize);
  h.encode(std::span<uint8_t, 8>(head.data(), 8));
  f.writeExact(0, head.data(), head.size());
  return MemoFile(std::move(f), Kind::Fpt, blockSize);
}

std::string MemoFile::read(uint32_t block) const {
  if (block == 0) return {};
  if (kind_ == Kind::Fpt) return readFpt(block, nullptr);
  const uint64_t size = file_.size();
  const uint64_t off = uint64_t(block) * blockSize_;
  const std::string& name = file_.path();
  if (off < 512 || off >= size) damaged(name, "memo block " + std::to_string(block) + " out of range");
  if (kind_ == Kind::Dbt4) {
    uint8_t hb[8];
    file_.readExact(off, hb, 8);
    uint32_t len = le32(&hb[4]);
    if (hb[0] != 0xFF || hb[1] != 0xFF || len < 8 || off + len > size)
      damaged(name, "memo at block " + std::to_string(block) + " is damaged");
    std::string text(len - 8, '\0');
    file_.readExact(off + 8, text.data(), text.size());
    return text;
  }
  // dBASE III: up to the first end-of-memo mark.
  std::string text;
  char buf[512];
  uint64_t pos = off;
  for (;;) {
    size_t n = file_.readSome(pos, buf, sizeof buf);
    if (n == 0) break;
    const void* end = std::memchr(buf, 0x1A, n);
    if (end) {
      text.append(buf, static_cast<const char*>(end) - buf);
      break;
    }
    text.append(buf, n);
    pos += n;
  }
  return text;
}

std::string MemoFile::readFpt(uint32_t block, uint32_t* type) const {
  const uint64_t size = file_.size();
  const uint64_t off = uint64_t(block) * blockSize_;
  if (off < FptHeader::kSize || off >= size)
    damaged(file_.path(), "memo block " + std::to_string(block) + " out of range");
  uint8_t hb[8];
  file_.readExact(off, hb, 8);
  auto h = MemoBlockHeader::decode(std::span<const uint8_t, 8>(hb, 8));
  if (off + 8 + h.length > size)
    damaged(file_.path(), "memo at block " + std::to_string(block) + " runs past the end of the file");
  std::string text(h.length, '\0');
  file_.readExact(off + 8, text.data(), h.length);
  if (type) *type = h.type;
  return text;
}

uint32_t MemoFile::write(std::string_view text) {
  if (kind_ != Kind::Fpt)
    throw Error(ErrorKind::Write, "Write error: memo files of this kind are read only", "memo", file_.path())
        .because(ErrorCause::ReadOnly);
  if (text.empty()) return 0;
  return append(1, text);
}

uint32_t MemoFile::copyFrom(const MemoFile& source, uint32_t block) {
  if (block == 0) return 0;
  if (source.kind_ != Kind::Fpt || kind_ != Kind::Fpt)
    throw Error(ErrorKind::Write, "Write error: memo files of this kind are read only", "memo", file_.path())
        .because(ErrorCause::ReadOnly);
  uint32_t type = 1;
  std::string data = source.readFpt(block, &type);
  return append(type, data);
}

uint32_t MemoFile::append(uint32_t type, std::string_view text) {
  if (shared_ && !file_.lockRangeWaiting(kMemoFileLock.offset, kMemoFileLock.length))
    throw Error(ErrorKind::Lock, "Lock failure: the memo file is being written elsewhere", "memo", file_.path(), 0, true);
  struct Unlock {
    MemoFile* memo;
    ~Unlock() {
      if (memo->shared_) memo->file_.unlockRange(kMemoFileLock.offset, kMemoFileLock.length);
    }
  } unlock{this};
  // The header goes through the file's mapped first page, as the table's does.
  uint8_t head[8];
  file_.readHead(0, head, 8);
  FptHeader fh = FptHeader::decode(std::span<const uint8_t, 8>(head, 8));
  const uint64_t size = file_.size();
  const uint32_t need = blocksFor(MemoBlockHeader::kSize + text.size());
  // The next free block is at most the end of the file. One beyond it means a damaged header or a
  // file cut short (memos of other records may point past its end): writing there would grow the
  // file by the header's whim or hand lost blocks to a new memo, so nothing is written.
  if (fh.nextFree > blocksFor(size))
    damaged(file_.path(), "next free block " + std::to_string(fh.nextFree) + " lies past the end of the file");
  // Never write over data a damaged header claims is free.
  const uint32_t target = std::max({fh.nextFree, blocksFor(FptHeader::kSize), blocksFor(size)});
  if (uint64_t(target) + need > 0xFFFFFFFFull)
    throw Error(ErrorKind::Write, "Write error: the memo file is full", "memo", file_.path()).because(ErrorCause::Full);
  // Whole blocks, so the file stays aligned; the pointer moves only after the text is in.
  std::vector<uint8_t> buf(size_t(need) * blockSize_, 0);
  MemoBlockHeader mh{type, uint32_t(text.size())};
  mh.encode(std::span<uint8_t, 8>(buf.data(), 8));
  std::memcpy(buf.data() + 8, text.data(), text.size());
  file_.writeExact(uint64_t(target) * blockSize_, buf.data(), buf.size());
  fh.nextFree = target + need;
  fh.encode(std::span<uint8_t, 8>(head, 8));
  file_.writeHead(0, head, 8);
  return target;
}

}  // namespace rt::db
