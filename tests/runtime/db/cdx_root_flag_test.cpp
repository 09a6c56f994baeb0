// A page whose root flag contradicts its place in the tree (the root without it, another page
// with it): a split, a remove that empties the page and a seek each report the damaged file,
// and never crash or rebuild the tree around the wrong page.
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <vector>

#include "runtime/core/error.h"
#include "runtime/db/cdx_bag.h"
#include "tests/runtime/db/helpers/temp_dir.h"

namespace rt::db {
namespace {

using testing::TempDir;

std::string key(char lead, uint32_t n) {
  char buf[16];
  std::snprintf(buf, sizeof buf, "%c%05u", lead, n);
  return buf;
}

// A one-tag bag of `entries` keys K00001.. (record n has key n); returns the tag's pages, the
// root first, then level by level from the left.
std::vector<uint32_t> makeFixture(const std::string& path, uint32_t entries) {
  auto bag = CdxBag::create(path);
  KeyBatch batch(10, ' ');
  for (uint32_t r = 1; r <= entries; ++r) batch.add(key('K', r), r);
  TagInfo info;
  info.name = info.keyExpr = "T";
  info.keyLen = 10;
  CdxTag& tag = bag->addTag(info, batch);
  std::vector<uint32_t> pages;
  tag.collectPages(pages);
  bag->close();
  return pages;
}

void flipRootBit(const std::string& path, uint32_t page) {
  std::fstream f(path, std::ios::in | std::ios::out | std::ios::binary);
  f.seekg(page);
  char attributes = 0;
  f.get(attributes);
  f.seekp(page);
  f.put(char(attributes ^ kNodeRoot));
}

struct Damage {
  const char* what;
  uint32_t entries;  // 20: the root is the only page, a leaf; 2000: a root over leaves
  int page;          // index in the fixture's page list whose root bit is flipped
};

struct Operation {
  const char* what;
  std::function<void(CdxTag&, uint32_t entries)> run;
};

TEST(CdxRootFlag, APageWhoseRootFlagContradictsItsPlaceIsADamagedFile) {
  const Damage damages[] = {
      {"root leaf without the root flag", 20, 0},
      {"root branch without the root flag", 2000, 0},
      {"first leaf with the root flag", 2000, 1},
  };
  const Operation operations[] = {
      // Keys below every stored one all go to the first leaf, which splits soon.
      {"split", [](CdxTag& tag, uint32_t) {
         for (uint32_t n = 1; n <= 400; ++n) tag.insert(key('A', n), 100000 + n);
       }},
      {"emptying remove", [](CdxTag& tag, uint32_t entries) {
         for (uint32_t r = 1; r <= entries; ++r) tag.remove(key('K', r), r);
       }},
      {"seek", [](CdxTag& tag, uint32_t) { tag.cursor()->seek("K00001"); }},
  };
  TempDir dir;
  for (const Damage& d : damages) {
    const std::string fixture = dir.file("fixture.cdx"), path = dir.file("t.cdx");
    const std::vector<uint32_t> pages = makeFixture(fixture, d.entries);
    ASSERT_GT(pages.size(), size_t(d.page)) << d.what;
    for (const Operation& op : operations) {
      SCOPED_TRACE(std::string(d.what) + ", " + op.what);
      std::filesystem::copy_file(fixture, path, std::filesystem::copy_options::overwrite_existing);
      flipRootBit(path, pages[size_t(d.page)]);
      auto bag = CdxBag::open(path);
      try {
        op.run(bag->tag(0), d.entries);
        ADD_FAILURE() << "no error";
      } catch (const Error& e) {
        EXPECT_EQ(e.kind(), ErrorKind::Corrupt) << e.description();
        EXPECT_EQ(e.file(), path);
      }
    }
  }
}

TEST(CdxRootFlag, ASeekWithAnEmptyKeyStandsOnTheFirstEntry) {
  TempDir dir;
  makeFixture(dir.file("e.cdx"), 20);
  auto bag = CdxBag::open(dir.file("e.cdx"));
  auto cursor = bag->tag(0).cursor();
  EXPECT_TRUE(cursor->seek(std::string_view()));
  EXPECT_EQ(cursor->recno(), 1u);
}

}  // namespace
}  // namespace rt::db
