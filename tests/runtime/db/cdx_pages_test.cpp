// On-disk structures of the compound index: literal bytes, round trips and damaged pages.
#include <gtest/gtest.h>

#include <array>
#include <random>
#include <set>

#include "runtime/core/error.h"
#include "runtime/db/cdx_header.h"
#include "runtime/db/cdx_interior.h"
#include "runtime/db/cdx_leaf.h"

namespace rt::db {
namespace {

using Page = std::array<uint8_t, kCdxPageSize>;
const PageWhere kWhere{"t.cdx", 4096};

TEST(CdxTagHeader, EncodesTheDocumentedOffsetsAndRoundTrips) {
  TagHeader h;
  h.root = 0x600;
  h.changeCounter = 0x01020304;
  h.keyLen = 13;
  h.options = kTagCompact | kTagCompound | kTagFor | kTagUnique;
  h.descending = true;
  h.keyExpr = "NR_PRAC+DTOS(DO)";
  h.forExpr = "!DELETED()";
  std::array<uint8_t, kCdxHeaderSize> bytes;
  h.encode(bytes);
  EXPECT_EQ(bytes[0], 0x00);
  EXPECT_EQ(bytes[1], 0x06);
  EXPECT_EQ(bytes[8], 0x01);  // change counter is big-endian
  EXPECT_EQ(bytes[11], 0x04);
  EXPECT_EQ(bytes[12], 13);
  EXPECT_EQ(bytes[14], 0x69);
  EXPECT_EQ(bytes[15], 0x01);
  EXPECT_EQ(bytes[502], 1);
  EXPECT_EQ(getLe16(&bytes[508]), 0);
  EXPECT_EQ(getLe16(&bytes[510]), 17);  // with the NUL
  EXPECT_EQ(getLe16(&bytes[504]), 17);
  EXPECT_EQ(getLe16(&bytes[506]), 11);
  EXPECT_EQ(std::string(reinterpret_cast<char*>(&bytes[512])), "NR_PRAC+DTOS(DO)");
  EXPECT_EQ(std::string(reinterpret_cast<char*>(&bytes[529])), "!DELETED()");

  TagHeader back = TagHeader::decode(bytes, kWhere);
  EXPECT_EQ(back.root, h.root);
  EXPECT_EQ(back.changeCounter, h.changeCounter);
  EXPECT_EQ(back.keyLen, 13);
  EXPECT_EQ(back.options, h.options);
  EXPECT_TRUE(back.descending);
  EXPECT_EQ(back.keyExpr, h.keyExpr);
  EXPECT_EQ(back.forExpr, h.forExpr);
}

TEST(CdxTagHeader, DamagedHeadersAreReportedWithFileAndOffset) {
  TagHeader h;
  h.root = 1024;
  h.keyLen = 10;
  std::array<uint8_t, kCdxHeaderSize> good;
  h.encode(good);
  struct Damage { size_t at; uint8_t value; };
  for (Damage d : {Damage{12, 0}, Damage{13, 0x10}, Damage{0, 0x07}, Damage{511, 0x09}}) {
    auto bytes = good;
    bytes[d.at] = d.value;
    try {
      TagHeader::decode(bytes, kWhere);
      ADD_FAILURE() << "accepted damage at " << d.at;
    } catch (const Error& e) {
      EXPECT_EQ(e.kind(), ErrorKind::Corrupt);
      EXPECT_EQ(e.file(), "t.cdx");
      EXPECT_NE(e.description().find("offset 4096"), std::string::npos) << e.description();
    }
  }
}

TEST(CdxLeafNode, PacksEntriesAndSuffixesAsDocumented) {
  LeafNode leaf;
  leaf.header.attributes = 3;
  leaf.keyLen = 5;
  leaf.fill = ' ';
  leaf.insert(0, "AB   ", 1);
  leaf.insert(1, "AC   ", 2);
  Page page{};
  leaf.encode(page);
  const Page expectedHead = [] {
    Page p{};
    const uint8_t head[] = {3, 0, 2, 0, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF,
                            479 & 0xFF, 479 >> 8, 0xFF, 0xFF, 0x03, 0x00, 7, 7, 18, 3, 3, 3,
                            0x01, 0x00, 0x60, 0x02, 0x00, 0x64};
    std::copy(std::begin(head), std::end(head), p.begin());
    p[509] = 'C';
    p[510] = 'A';
    p[511] = 'B';
    return p;
  }();
  EXPECT_EQ(page, expectedHead);
  LeafNode back = LeafNode::decode(page, 5, ' ', kWhere);
  ASSERT_EQ(back.count(), 2);
  EXPECT_EQ(back.key(0), "AB   ");
  EXPECT_EQ(back.key(1), "AC   ");
  EXPECT_EQ(back.recnos[1], 2u);
}

TEST(CdxLeafNode, RoundTripsAndWidensEntriesForLargeRecordNumbers) {
  std::mt19937 rng(7);
  for (uint32_t maxRecno : {100u, 70000u, 5000000u, 0xFFFFFFF0u}) {
    LeafNode leaf;
    leaf.header.attributes = 2;
    leaf.header.left = 512;
    leaf.header.right = 2048;
    leaf.keyLen = 8;
    leaf.fill = '\0';
    std::vector<std::string> keys;
    for (int i = 0; i < 30; ++i) {
      std::string k(8, '\0');
      for (int j = 0; j < 1 + int(rng() % 6); ++j) k[size_t(j)] = char('A' + rng() % 3);
      keys.push_back(k);
    }
    std::sort(keys.begin(), keys.end());
    for (size_t i = 0; i < keys.size(); ++i)
      leaf.insert(int(i), keys[i], uint32_t(rng() % maxRecno) + 1);
    ASSERT_TRUE(leaf.fits());
    Page page{};
    leaf.encode(page);
    EXPECT_EQ(getLe16(&page[12]), kCdxPageSize - leaf.encodedSize());
    LeafNode back = LeafNode::decode(page, 8, '\0', kWhere);
    EXPECT_EQ(back.keys, leaf.keys);
    EXPECT_EQ(back.recnos, leaf.recnos);
    EXPECT_EQ(back.header.left, 512u);
    EXPECT_EQ(back.header.right, 2048u);
    EXPECT_GE(uint64_t{1} << page[20], uint64_t{leaf.maxRecno()} + (page[20] == 32 ? 0 : 1));
  }
}

TEST(CdxLeafNode, DamagedLeavesAreErrorsNotCrashes) {
  LeafNode leaf;
  leaf.header.attributes = 2;
  leaf.keyLen = 10;
  leaf.fill = ' ';
  for (int i = 0; i < 20; ++i) leaf.insert(i, std::string(10, char('A' + i)), uint32_t(i + 1));
  Page good{};
  leaf.encode(good);
  std::mt19937 rng(11);
  int rejected = 0;
  for (int trial = 0; trial < 2000; ++trial) {
    Page page = good;
    for (int k = 0; k < 3; ++k) page[rng() % 120] = uint8_t(rng());
    try {
      LeafNode::decode(page, 10, ' ', kWhere);
    } catch (const Error& e) {
      EXPECT_EQ(e.kind(), ErrorKind::Corrupt);
      ++rejected;
    }
  }
  EXPECT_GT(rejected, 0);
  Page tooMany = good;
  putLe16(&tooMany[2], 400);
  EXPECT_THROW(LeafNode::decode(tooMany, 10, ' ', kWhere), Error);
}

TEST(CdxLeafNode, InsertInPlaceGivesTheBytesOfAFreshEncoding) {
  std::mt19937 rng(3);
  int patched = 0;
  for (int trial = 0; trial < 3000; ++trial) {
    const int keyLen = 1 + int(rng() % 16);
    const char fill = trial % 2 ? ' ' : '\0';
    LeafNode leaf;
    leaf.header.attributes = 2;
    leaf.keyLen = keyLen;
    leaf.fill = fill;
    std::set<std::pair<std::string, uint32_t>> entries;
    auto randomKey = [&] {
      std::string k(size_t(keyLen), fill);
      const int used = int(rng() % (keyLen + 1));
      for (int i = 0; i < used; ++i) k[size_t(i)] = char('A' + rng() % 3);
      return k;
    };
    const int n = int(rng() % 40);
    for (int i = 0; i < n; ++i) entries.insert({randomKey(), uint32_t(rng() % 60000)});
    for (const auto& [k, r] : entries) leaf.insert(leaf.count(), k, r);
    if (!leaf.fits()) continue;
    Page page{};
    leaf.encode(page);
    LeafDecoder decoder;
    decoder.load(page.data(), keyLen, fill, kWhere);
    const std::string key = randomKey();
    const uint32_t recno = uint32_t(rng() % 70000);
    const int pos = decoder.lowerBoundEntry(key, recno);  // decodes only through pos
    decoder.measureAll();
    if (pos < decoder.count() && decoder.key(pos) == key && decoder.recno(pos) == recno) continue;
    Page patchedPage = page;
    leaf.insert(pos, key, recno);
    if (!decoder.insertInPlace(patchedPage.data(), pos, key, recno)) {
      EXPECT_EQ(patchedPage, page) << "a refused insert leaves the page alone";
      continue;
    }
    ++patched;
    Page fresh{};
    leaf.encode(fresh);
    ASSERT_EQ(patchedPage, fresh) << "trial " << trial << " pos " << pos;
  }
  EXPECT_GT(patched, 1000);
}

TEST(CdxLeafNode, RemoveInPlaceGivesTheBytesOfAFreshEncoding) {
  std::mt19937 rng(4);
  int patched = 0;
  for (int trial = 0; trial < 3000; ++trial) {
    const int keyLen = 1 + int(rng() % 16);
    const char fill = trial % 2 ? ' ' : '\0';
    LeafNode leaf;
    leaf.header.attributes = 2;
    leaf.header.right = 4096;
    leaf.keyLen = keyLen;
    leaf.fill = fill;
    std::set<std::pair<std::string, uint32_t>> entries;
    const int n = 1 + int(rng() % 40);
    for (int i = 0; i < n; ++i) {
      std::string k(size_t(keyLen), fill);
      const int used = int(rng() % (keyLen + 1));
      for (int j = 0; j < used; ++j) k[size_t(j)] = char('A' + rng() % 3);
      entries.insert({k, uint32_t(rng() % 60000)});
    }
    for (const auto& [k, r] : entries) leaf.insert(leaf.count(), k, r);
    if (!leaf.fits()) continue;
    Page page{};
    leaf.encode(page);
    LeafDecoder decoder;
    decoder.load(page.data(), keyLen, fill, kWhere);
    const int pos = int(rng() % leaf.count());
    decoder.decodeThrough(std::min(pos + 1, leaf.count() - 1));
    decoder.measureAll();
    Page patchedPage = page;
    if (!decoder.removeInPlace(patchedPage.data(), pos)) {
      EXPECT_EQ(patchedPage, page);
      EXPECT_EQ(leaf.count(), 1) << "only a last entry stays";
      continue;
    }
    ++patched;
    leaf.erase(pos);
    Page fresh{};
    leaf.encode(fresh);
    ASSERT_EQ(patchedPage, fresh) << "trial " << trial << " pos " << pos;
  }
  EXPECT_GT(patched, 1500);
}

TEST(CdxInteriorNode, RoundTripsWithBigEndianRecordsAndChildren) {
  InteriorNode node;
  node.header.attributes = kNodeRoot;
  node.keyLen = 4;
  node.insert(0, "AAAA", 0x01020304, 1024);
  node.insert(1, "BBBB", 7, 1536);
  Page page{};
  node.encode(page);
  EXPECT_EQ(page[0], 1);
  EXPECT_EQ(page[2], 2);
  EXPECT_EQ(std::string(reinterpret_cast<char*>(&page[12]), 4), "AAAA");
  EXPECT_EQ(page[16], 0x01);
  EXPECT_EQ(page[19], 0x04);
  EXPECT_EQ(getBe32(&page[20]), 1024u);
  InteriorNode back = InteriorNode::decode(page, 4, 4096, kWhere);
  EXPECT_EQ(back.keys, node.keys);
  EXPECT_EQ(back.recnos, node.recnos);
  EXPECT_EQ(back.children, node.children);
  InteriorView view(page.data(), 4, kWhere);
  EXPECT_EQ(view.lowerBoundPrefix("B"), 1);
  EXPECT_EQ(view.upperBoundPrefix("B"), 2);
  EXPECT_EQ(view.lowerBoundEntry("AAAA", 0x01020305), 1);
  // A child beyond the end of the file is damage.
  EXPECT_THROW(InteriorNode::decode(page, 4, 1536, kWhere), Error);
}

}  // namespace
}  // namespace rt::db
