// TagHeader decoding and encoding: see cdx_header.h for the layout.
#include "runtime/db/cdx_header.h"

#include <algorithm>
#include <cstring>

namespace rt::db {

namespace {
constexpr size_t kPool = 512;
constexpr size_t kPoolSize = 512;

std::string poolText(std::span<const uint8_t> bytes, uint16_t pos, uint16_t len,
                     const PageWhere& where, const char* what) {
  if (len == 0) return {};
  if (size_t(pos) + len > kPoolSize) throwCorruptIndex(where, std::string(what) + " out of the pool");
  const char* start = reinterpret_cast<const char*>(bytes.data() + kPool + pos);
  return std::string(start, strnlen(start, len));
}
}  // namespace

TagHeader TagHeader::decode(std::span<const uint8_t> bytes, const PageWhere& where) {
  if (bytes.size() < kCdxHeaderSize) throwCorruptIndex(where, "tag header is truncated");
  const uint8_t* p = bytes.data();
  TagHeader h;
  h.root = getLe32(p);
  h.freeList = getLe32(p + 4);
  h.changeCounter = getBe32(p + 8);
  h.keyLen = getLe16(p + 12);
  h.options = p[14];
  h.signature = p[15];
  h.descending = getLe16(p + 502) != 0;
  if (h.keyLen == 0 || h.keyLen > kCdxMaxKeyLen)
    throwCorruptIndex(where, "key length " + std::to_string(h.keyLen) + " out of range");
  if (h.root == 0 || h.root == kNoPage || h.root % kCdxPageSize != 0)
    throwCorruptIndex(where, "root page offset " + std::to_string(h.root) + " is invalid");
  h.keyExpr = poolText(bytes, getLe16(p + 508), getLe16(p + 510), where, "key expression");
  h.forExpr = poolText(bytes, getLe16(p + 504), getLe16(p + 506), where, "FOR expression");
  return h;
}

void TagHeader::encode(std::span<uint8_t> bytes) const {
  uint8_t* p = bytes.data();
  std::memset(p, 0, kCdxHeaderSize);
  putLe32(p, root);
  putLe32(p + 4, freeList);
  putBe32(p + 8, changeCounter);
  putLe16(p + 12, keyLen);
  p[14] = options;
  p[15] = signature;
  putLe16(p + 502, descending ? 1 : 0);
  // Pool: key expression at 0, FOR expression right after it.
  size_t keyLen0 = std::min(keyExpr.size(), kPoolSize - 2);
  size_t forLen0 = std::min(forExpr.size(), kPoolSize - 2 - keyLen0);
  std::memcpy(p + kPool, keyExpr.data(), keyLen0);
  std::memcpy(p + kPool + keyLen0 + 1, forExpr.data(), forLen0);
  putLe16(p + 504, uint16_t(keyLen0 + 1));
  putLe16(p + 506, uint16_t(forLen0 + 1));
  putLe16(p + 508, 0);
  putLe16(p + 510, uint16_t(keyLen0 + 1));
}

}  // namespace rt::db
