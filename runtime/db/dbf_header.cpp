// DBF header decoding and encoding; every length is checked against the file before use.
#include "runtime/db/dbf_header.h"

#include <algorithm>
#include <cstring>

#include "runtime/core/error.h"

namespace rt::db {

namespace {

uint32_t le32(const uint8_t* p) { return uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 | uint32_t(p[3]) << 24; }
uint16_t le16(const uint8_t* p) { return uint16_t(p[0] | p[1] << 8); }
void put32(uint8_t* p, uint32_t v) { for (int i = 0; i < 4; ++i) p[i] = uint8_t(v >> (8 * i)); }
void put16(uint8_t* p, uint16_t v) { p[0] = uint8_t(v); p[1] = uint8_t(v >> 8); }

[[noreturn]] void damaged(const std::string& file, const std::string& what) {
  throw Error(ErrorKind::Corrupt, "Corruption detected: " + what, "open", file);
}

}  // namespace

DbfHeader DbfHeader::decode(std::span<const uint8_t, kSize> b) {
  DbfHeader h;
  h.version = b[0];
  // Two-digit years: writers disagree on the base; below 80 is read as 2000 + YY.
  int yy = b[1];
  h.year = yy >= 100 ? 1900 + yy : (yy < 80 ? 2000 + yy : 1900 + yy);
  h.month = b[2];
  h.day = b[3];
  h.recCount = le32(&b[4]);
  h.headerLen = le16(&b[8]);
  h.recordLen = le16(&b[10]);
  h.flags = b[28];
  h.codePage = b[29];
  return h;
}

void DbfHeader::encode(std::span<uint8_t, kSize> b) const {
  std::fill(b.begin(), b.end(), uint8_t(0));
  b[0] = version;
  b[1] = uint8_t(std::clamp(year - 1900, 0, 255));
  b[2] = uint8_t(month);
  b[3] = uint8_t(day);
  put32(&b[4], recCount);
  put16(&b[8], headerLen);
  put16(&b[10], recordLen);
  b[28] = flags;
  b[29] = codePage;
}

FieldDescriptor FieldDescriptor::decode(std::span<const uint8_t, kSize> b) {
  FieldDescriptor f;
  size_t n = 0;
  while (n < 11 && b[n] != 0) ++n;
  f.name.assign(reinterpret_cast<const char*>(b.data()), n);
  while (!f.name.empty() && f.name.back() == ' ') f.name.pop_back();
  for (auto& c : f.name) c = char(std::toupper(static_cast<unsigned char>(c)));
  f.type = char(std::toupper(b[11]));
  f.offset = le32(&b[12]);
  f.len = b[16];
  f.dec = b[17];
  f.fieldFlags = b[18];
  if (f.type == 'C' && f.dec != 0) {  // long character field: the decimals byte is the high byte
    f.len += uint32_t(f.dec) << 8;
    f.dec = 0;
  }
  return f;
}

void FieldDescriptor::encode(std::span<uint8_t, kSize> b) const {
  std::fill(b.begin(), b.end(), uint8_t(0));
  std::memcpy(b.data(), name.data(), std::min<size_t>(name.size(), 10));
  b[11] = uint8_t(type);
  put32(&b[12], offset);
  b[16] = uint8_t(len & 0xFF);
  b[17] = type == 'C' ? uint8_t(len >> 8) : dec;
  b[18] = fieldFlags;
}

DbfLayout DbfLayout::decode(std::span<const uint8_t> region, uint64_t fileSize, const std::string& file) {
  if (region.size() < DbfHeader::kSize) damaged(file, "file too short for a table header");
  DbfLayout layout;
  layout.header = DbfHeader::decode(region.first<DbfHeader::kSize>());
  const DbfHeader& h = layout.header;
  static constexpr uint8_t known[] = {0x02, 0x03, 0x04, 0x05, 0x30, 0x31, 0x32, 0x43, 0x63, 0x83,
                                      0x8B, 0x8E, 0xCB, 0xE5, 0xF5, 0xFB};
  if (std::find(std::begin(known), std::end(known), h.version) == std::end(known))
    damaged(file, "unknown table version byte " + std::to_string(h.version));
  if (h.headerLen < DbfHeader::kSize + 1 || h.headerLen > fileSize || h.headerLen > region.size())
    damaged(file, "header length " + std::to_string(h.headerLen) + " out of range");
  if (h.recordLen < 2) damaged(file, "record length " + std::to_string(h.recordLen) + " out of range");
  if (h.month > 12 || h.day > 31) damaged(file, "invalid date of last update");

  size_t pos = DbfHeader::kSize;
  while (pos < h.headerLen && region[pos] != 0x0D) {
    if (pos + FieldDescriptor::kSize > h.headerLen)
      damaged(file, "field list runs past the header at offset " + std::to_string(pos));
    layout.fields.push_back(FieldDescriptor::decode(region.subspan(pos).first<FieldDescriptor::kSize>()));
    pos += FieldDescriptor::kSize;
  }
  if (layout.fields.empty()) damaged(file, "table has no fields");

  // Fields lie end to end after the delete flag; stored offsets are not trusted (writers differ).
  const bool stored = false;
  uint32_t next = 1;
  for (size_t i = 0; i < layout.fields.size(); ++i) {
    auto& f = layout.fields[i];
    if (f.len == 0) damaged(file, "field " + f.name + " has length 0 at offset " + std::to_string(32 + 32 * i));
    if (f.name.empty()) damaged(file, "field without a name at offset " + std::to_string(32 + 32 * i));
    // A block number is ten digits or four binary bytes; any other width would keep only a part.
    if (f.isMemo() && f.len != 10 && f.len != 4)
      damaged(file, "memo field " + f.name + " has length " + std::to_string(f.len) + " (10 or 4 expected) at offset " +
                        std::to_string(32 + 32 * i));
    if (!stored) f.offset = next;
    next += f.len;
    if (f.offset + f.len > h.recordLen)
      damaged(file, "field " + f.name + " lies outside the record length " + std::to_string(h.recordLen));
  }
  if (!stored && next > h.recordLen) damaged(file, "fields are longer than the record");
  uint64_t needed = uint64_t(h.headerLen) + uint64_t(h.recCount) * h.recordLen;
  if (needed > fileSize)
    damaged(file, "file is truncated: " + std::to_string(h.recCount) + " records need " + std::to_string(needed) +
                      " bytes, the file has " + std::to_string(fileSize));
  return layout;
}

void DbfLayout::layOut() {
  uint32_t next = 1;
  for (auto& f : fields) {
    f.offset = next;
    next += f.len;
  }
  header.recordLen = uint16_t(next);
  size_t len = DbfHeader::kSize + FieldDescriptor::kSize * fields.size() + 1;
  if (header.isVisualFoxPro()) len += 263;
  header.headerLen = uint16_t(len);
}

std::vector<uint8_t> DbfLayout::encode() const {
  std::vector<uint8_t> out(header.headerLen, 0);
  header.encode(std::span<uint8_t, DbfHeader::kSize>(out.data(), DbfHeader::kSize));
  size_t pos = DbfHeader::kSize;
  for (auto& f : fields) {
    f.encode(std::span<uint8_t, FieldDescriptor::kSize>(out.data() + pos, FieldDescriptor::kSize));
    pos += FieldDescriptor::kSize;
  }
  if (pos < out.size()) out[pos] = 0x0D;
  return out;
}

}  // namespace rt::db
