// Sortable key encodings: see cdx_keys.h.
#include "runtime/db/cdx_keys.h"

#include <bit>
#include <cmath>
#include <cstdio>
#include <cstring>

namespace rt::db {

namespace {

constexpr uint64_t kSignBit = uint64_t{1} << 63;

uint64_t sortableBits(double value) {
  if (value == 0.0 || std::isnan(value)) value = 0.0;  // -0.0 sorts as 0.0
  uint64_t bits = std::bit_cast<uint64_t>(value);
  return (bits & kSignBit) ? ~bits : (bits | kSignBit);
}

double fromSortableBits(uint64_t bits) {
  bits = (bits & kSignBit) ? (bits & ~kSignBit) : ~bits;
  return std::bit_cast<double>(bits);
}

uint64_t readBigEndian64(std::string_view key) {
  uint64_t bits = 0;
  for (int i = 0; i < 8 && i < int(key.size()); ++i) bits = (bits << 8) | uint8_t(key[i]);
  return bits;
}

// Gregorian calendar date of a Julian day number (Fliegel and Van Flandern).
void civilFromJulian(int32_t jd, int& y, int& m, int& d) {
  int64_t l = int64_t(jd) + 68569;
  int64_t n = 4 * l / 146097;
  l -= (146097 * n + 3) / 4;
  int64_t i = 4000 * (l + 1) / 1461001;
  l = l - 1461 * i / 4 + 31;
  int64_t j = 80 * l / 2447;
  d = int(l - 2447 * j / 80);
  l = j / 11;
  m = int(j + 2 - 12 * l);
  y = int(100 * (n - 49) + i + l);
}

}  // namespace

std::string encodeCharKey(std::string_view text, int keyLen) {
  std::string key(size_t(keyLen), ' ');
  std::memcpy(key.data(), text.data(), std::min(text.size(), key.size()));
  return key;
}

void encodeNumKeyInto(double value, char* out) {
  uint64_t bits = sortableBits(value);
  for (int i = 7; i >= 0; --i) {
    out[i] = char(bits & 0xFF);
    bits >>= 8;
  }
}

std::string encodeNumKey(double value) {
  std::string key(kNumKeyLen, '\0');
  encodeNumKeyInto(value, key.data());
  return key;
}

std::string encodeDateKey(int32_t julianDay) { return encodeNumKey(double(julianDay)); }

std::string encodeLogicalKey(bool value) { return std::string(1, value ? 'T' : 'F'); }

std::string_view decodeCharKey(std::string_view key) { return key; }

double decodeNumKey(std::string_view key) { return fromSortableBits(readBigEndian64(key)); }

int32_t decodeDateKey(std::string_view key) { return int32_t(std::lround(decodeNumKey(key))); }

bool decodeLogicalKey(std::string_view key) {
  return !key.empty() && (key[0] == 'T' || key[0] == 't' || key[0] == 'Y' || key[0] == 'y');
}

char keyFillByte(KeyType type) {
  return (type == KeyType::Num || type == KeyType::Date) ? '\0' : ' ';
}

int keyLengthFor(KeyType type, int charLen) {
  switch (type) {
    case KeyType::Num:
    case KeyType::Date: return kNumKeyLen;
    case KeyType::Logical: return kLogicalKeyLen;
    case KeyType::Char: break;
  }
  return charLen;
}

std::string keyToText(std::string_view key, KeyType type) {
  char buf[64];
  switch (type) {
    case KeyType::Char: return std::string(key);
    case KeyType::Logical: return decodeLogicalKey(key) ? "T" : "F";
    case KeyType::Num: std::snprintf(buf, sizeof buf, "%.15g", decodeNumKey(key)); return buf;
    case KeyType::Date: {
      int32_t jd = decodeDateKey(key);
      if (jd <= 0) return "        ";
      int y, m, d;
      civilFromJulian(jd, y, m, d);
      std::snprintf(buf, sizeof buf, "%04d%02d%02d", y, m, d);
      return buf;
    }
  }
  return std::string(key);
}

}  // namespace rt::db
