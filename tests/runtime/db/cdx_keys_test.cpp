// Key encodings: literal bytes, byte order equals value order, and round trips.
#include "runtime/db/cdx_keys.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

namespace rt::db {
namespace {

std::string hex(std::string_view bytes) {
  static const char* digits = "0123456789ABCDEF";
  std::string out;
  for (unsigned char c : bytes) {
    out += digits[c >> 4];
    out += digits[c & 15];
  }
  return out;
}

TEST(CdxKeys, NumericKeysHaveTheDocumentedBytes) {
  struct Case { double value; const char* bytes; };
  const Case cases[] = {
      {0.0, "8000000000000000"},
      {-0.0, "8000000000000000"},
      {1.0, "BFF0000000000000"},
      {-1.0, "400FFFFFFFFFFFFF"},
      {2.0, "C000000000000000"},
  };
  for (const auto& c : cases) EXPECT_EQ(hex(encodeNumKey(c.value)), c.bytes) << c.value;
}

TEST(CdxKeys, NumericByteOrderIsValueOrder) {
  std::vector<double> values = {-50000.0, -5000.0, -1842.88, -1.0, -0.01, 0.0,
                                0.01,     1.0,     1737.5,   16452.6, 49999.97, 1e300};
  for (size_t i = 0; i + 1 < values.size(); ++i)
    EXPECT_LT(encodeNumKey(values[i]), encodeNumKey(values[i + 1])) << values[i];
  for (double v : values) EXPECT_EQ(decodeNumKey(encodeNumKey(v)), v);
}

TEST(CdxKeys, DatesSortAfterTheEmptyDateAndShowAsText) {
  const int32_t y2000 = 2451545;  // 2000-01-01
  EXPECT_LT(encodeDateKey(0), encodeDateKey(y2000));
  EXPECT_LT(encodeDateKey(y2000), encodeDateKey(y2000 + 1));
  EXPECT_EQ(decodeDateKey(encodeDateKey(y2000)), y2000);
  EXPECT_EQ(hex(encodeDateKey(0)), "8000000000000000");
  EXPECT_EQ(keyToText(encodeDateKey(y2000), KeyType::Date), "20000101");
  EXPECT_EQ(keyToText(encodeDateKey(2460384), KeyType::Date), "20240314");
  EXPECT_EQ(keyToText(encodeDateKey(0), KeyType::Date), "        ");
}

TEST(CdxKeys, CharKeysArePaddedOrCutAndKeepLeadingBlanks) {
  EXPECT_EQ(encodeCharKey("    0", 8), "    0   ");
  EXPECT_EQ(encodeCharKey("ABCDEFGHIJ", 4), "ABCD");
  EXPECT_LT(encodeCharKey("    0", 5), encodeCharKey("    1", 5));
  EXPECT_LT(encodeCharKey("    9", 5), encodeCharKey("   10", 5));  // right-aligned numbers
}

TEST(CdxKeys, LogicalKeysAndFillBytes) {
  EXPECT_EQ(encodeLogicalKey(true), "T");
  EXPECT_EQ(encodeLogicalKey(false), "F");
  EXPECT_TRUE(decodeLogicalKey("T"));
  EXPECT_FALSE(decodeLogicalKey("F"));
  EXPECT_EQ(keyFillByte(KeyType::Char), ' ');
  EXPECT_EQ(keyFillByte(KeyType::Num), '\0');
  EXPECT_EQ(keyFillByte(KeyType::Date), '\0');
  EXPECT_EQ(keyLengthFor(KeyType::Num, 12), 8);
  EXPECT_EQ(keyLengthFor(KeyType::Char, 13), 13);
}

}  // namespace
}  // namespace rt::db
