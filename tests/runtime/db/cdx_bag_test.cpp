// Compound index files: trees checked against a model through builds, inserts, removals,
// reopening, a second opener's view, free-page reuse and damaged pages.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <random>
#include <set>
#include <algorithm>

#include "runtime/core/error.h"
#include "runtime/db/cdx_bag.h"
#include "runtime/db/cdx_keys.h"
#include "tests/runtime/db/helpers/temp_dir.h"

namespace rt::db {
namespace {

using testing::TempDir;
using Entry = std::pair<std::string, uint32_t>;
using Model = std::set<Entry>;

TagInfo charTag(const std::string& name, int keyLen, bool unique = false) {
  TagInfo info;
  info.name = name;
  info.keyExpr = name;
  info.keyLen = keyLen;
  info.unique = unique;
  return info;
}

std::string randomKey(std::mt19937& rng, int keyLen, int alphabet) {
  std::string key(size_t(keyLen), ' ');
  const int used = 1 + int(rng() % keyLen);
  for (int i = 0; i < used; ++i) key[size_t(i)] = char('A' + rng() % alphabet);
  return key;
}

std::vector<Entry> walkForward(Order& order) {
  std::vector<Entry> out;
  auto c = order.cursor();
  for (bool ok = c->first(); ok; ok = c->next()) out.emplace_back(std::string(c->key()), c->recno());
  return out;
}

std::vector<Entry> walkBackward(Order& order) {
  std::vector<Entry> out;
  auto c = order.cursor();
  for (bool ok = c->last(); ok; ok = c->prev()) out.emplace_back(std::string(c->key()), c->recno());
  return {out.rbegin(), out.rend()};
}

void expectSame(CdxTag& tag, const Model& model) {
  std::vector<Entry> expected(model.begin(), model.end());
  EXPECT_EQ(tag.verify(), model.size());
  EXPECT_EQ(walkForward(tag), expected);
  EXPECT_EQ(walkBackward(tag), expected);
}

TEST(CdxBag, RandomChangesKeepTheTreeEqualToAModel) {
  TempDir dir;
  const std::string path = dir.file("t.cdx");
  std::mt19937 rng(42);
  Model model;
  {
    auto bag = CdxBag::create(path);
    KeyBatch batch(12, ' ');
    for (uint32_t r = 1; r <= 5000; ++r) {
      std::string key = randomKey(rng, 12, 6);
      batch.add(key, r);
      model.insert({key, r});
    }
    CdxTag& tag = bag->addTag(charTag("T", 12), batch);
    expectSame(tag, model);
    // Inserts that split leaves and branches, removals that empty pages, in random order.
    uint32_t nextRecno = 5001;
    for (int step = 0; step < 30000; ++step) {
      if (rng() % 3 != 0 || model.empty()) {
        std::string key = randomKey(rng, 12, 6);
        const uint32_t r = (rng() % 4 == 0) ? 70000 + nextRecno : nextRecno;  // widen entries
        ++nextRecno;
        tag.insert(key, r);
        model.insert({key, r});
      } else {
        auto it = model.begin();
        std::advance(it, rng() % model.size());
        ASSERT_TRUE(tag.remove(it->first, it->second));
        model.erase(it);
      }
    }
    EXPECT_FALSE(tag.remove("NOT THERE", 1));
    expectSame(tag, model);
    // Counts between random key prefixes against the model.
    for (int i = 0; i < 300; ++i) {
      std::string lo = randomKey(rng, 1 + int(rng() % 3), 6), hi = randomKey(rng, 1 + int(rng() % 3), 6);
      if (i % 10 == 0) lo.clear();
      if (i % 7 == 0) hi.clear();
      uint64_t expected = 0;
      for (const auto& [key, r] : model)
        if ((lo.empty() || key.compare(0, lo.size(), lo) >= 0) && (hi.empty() || key.compare(0, hi.size(), hi) <= 0))
          ++expected;
      ASSERT_EQ(tag.countRange(lo, hi), expected) << "[" << lo << "] [" << hi << "]";
    }
    bag->close();
  }
  auto bag = CdxBag::open(path);
  ASSERT_EQ(bag->tagCount(), 1);
  expectSame(bag->tag(0), model);

  // Removing every entry leaves an empty, valid tag that grows again.
  CdxTag& tag = bag->tag(0);
  for (const auto& [key, r] : model) ASSERT_TRUE(tag.remove(key, r));
  expectSame(tag, {});
  tag.insert("AGAIN", 7);
  expectSame(tag, {{"AGAIN       ", 7}});
}

// A new record enters every tag with a blank key, which its first write replaces: the blank key
// leaves the front of a leaf whose next key (a right-aligned number) then stores its leading
// blanks again. On a nearly full page that moves the other keys down past the entries; on a full
// page (other keys came in while the blank one was there) the rest no longer fits and splits.
TEST(CdxBag, ABlankKeyRemovedBeforeKeysThatBeginWithBlanksKeepsTheTree) {
  TempDir dir;
  auto rightAligned = [](uint32_t n, int keyLen) {
    std::string digits = std::to_string(n);
    return std::string(5 - digits.size(), ' ') + digits + std::string(size_t(keyLen - 5), 'X');
  };
  for (int keyLen : {5, 13}) {
    // Replaced one by one, as records are appended and written.
    auto bag = CdxBag::create(dir.file("r" + std::to_string(keyLen) + ".cdx"));
    KeyBatch none(keyLen, ' ');
    CdxTag& tag = bag->addTag(charTag("T", keyLen), none);
    Model model;
    const std::string blank(size_t(keyLen), ' ');
    for (uint32_t r = 1; r <= 1500; ++r) {
      tag.insert(blank, r);
      ASSERT_TRUE(tag.remove(blank, r)) << r;
      const std::string key = rightAligned(r % 700 + 1, keyLen);
      tag.insert(key, r);
      model.insert({key, r});
    }
    expectSame(tag, model);
  }
  // The blank key stays while the page fills up to the last byte, then goes.
  auto bag = CdxBag::create(dir.file("f.cdx"));
  KeyBatch none(5, ' ');
  CdxTag& tag = bag->addTag(charTag("T", 5), none);
  Model model;
  tag.insert("     ", 1);
  for (uint32_t i = 0; i < 118; ++i) {
    tag.insert(rightAligned(5 + i, 5), 2 + i);
    model.insert({rightAligned(5 + i, 5), 2 + i});
  }
  ASSERT_TRUE(tag.remove("     ", 1));
  expectSame(tag, model);
}

TEST(CdxBag, LargeBatchesSortAsTheTreeOrdersEntries) {
  // Big enough for the sort to split the work between threads; few distinct leading bytes and
  // many repeated keys, as real keys have.
  std::mt19937 rng(9);
  for (bool unique : {false, true}) {
    KeyBatch batch(9, ' ');
    std::vector<Entry> expected;
    for (uint32_t r = 1; r <= 150000; ++r) {
      std::string key = std::string(rng() % 2 ? "  " : " 1") + randomKey(rng, 7, 4);
      batch.add(key, r);
      expected.emplace_back(key, r);
    }
    std::sort(expected.begin(), expected.end());
    if (unique)
      expected.erase(std::unique(expected.begin(), expected.end(),
                                 [](const Entry& a, const Entry& b) { return a.first == b.first; }),
                     expected.end());
    batch.sort(unique);
    ASSERT_EQ(batch.size(), expected.size());
    for (size_t i = 0; i < expected.size(); ++i) {
      ASSERT_EQ(batch.key(i), expected[i].first) << i;
      ASSERT_EQ(batch.recno(i), expected[i].second) << i;
    }
  }
}

TEST(CdxBag, SeeksAndCountsFollowKeyPrefixes) {
  TempDir dir;
  auto bag = CdxBag::create(dir.file("s.cdx"));
  KeyBatch batch(5, ' ');
  Model model;
  for (uint32_t r = 1; r <= 20000; ++r) {
    char key[6];
    std::snprintf(key, sizeof key, "%5u", r % 2000);  // right-aligned, "    0" included
    batch.add(key, r);
    model.insert({key, r});
  }
  CdxTag& tag = bag->addTag(charTag("NR", 5), batch);
  auto c = tag.cursor();

  EXPECT_TRUE(c->seek("    0"));
  EXPECT_EQ(c->recno(), 2000u);  // lowest record number among equal keys
  EXPECT_TRUE(c->seekLast("    0"));
  EXPECT_EQ(c->recno(), 20000u);
  EXPECT_TRUE(c->seek("  12"));  // a prefix: "  120".."  129"
  EXPECT_EQ(c->key(), "  120");
  EXPECT_TRUE(c->seekLast("  12"));
  EXPECT_EQ(c->key(), "  129");
  EXPECT_EQ(c->recno(), 20000u - 2000 + 129);
  EXPECT_FALSE(c->seek(" 5000"));  // after every key
  EXPECT_FALSE(c->valid());
  EXPECT_FALSE(c->seek("  12X"));  // soft position: the next key
  EXPECT_EQ(c->key(), "  130");
  EXPECT_FALSE(c->seekLast("  12X"));
  EXPECT_EQ(c->key(), "  130");
  EXPECT_TRUE(c->seekEntry("  777", 4777));
  EXPECT_FALSE(c->seekEntry("  777", 4778));
  EXPECT_EQ(c->recno(), 6777u);

  EXPECT_EQ(tag.countRange("", ""), 20000u);
  EXPECT_EQ(tag.countRange("  12", "  12"), 100u);
  EXPECT_EQ(tag.countRange("  100", "  199"), 1000u);
  EXPECT_EQ(tag.countRange("", "    9"), 100u);
  EXPECT_EQ(tag.countRange(" 1999", ""), 10u);
  EXPECT_EQ(tag.countRange("  2", "  1"), 0u);
}

TEST(CdxBag, CursorsFindTheirPlaceAfterChanges) {
  TempDir dir;
  auto bag = CdxBag::create(dir.file("c.cdx"));
  KeyBatch batch(4, ' ');
  for (uint32_t r = 1; r <= 3000; ++r) batch.add(std::to_string(1000 + r), r);
  CdxTag& tag = bag->addTag(charTag("K", 4), batch);
  auto c = tag.cursor();
  ASSERT_TRUE(c->seek("2500"));
  // The current entry and its neighbours go; many inserts split pages around it.
  ASSERT_TRUE(tag.remove("2500", 1500));
  ASSERT_TRUE(tag.remove("2501", 1501));
  ASSERT_TRUE(tag.remove("2499", 1499));
  for (uint32_t r = 5000; r < 6000; ++r) tag.insert("2498", r);
  EXPECT_EQ(c->key(), "2500");  // still readable
  ASSERT_TRUE(c->next());
  EXPECT_EQ(c->key(), "2502");
  ASSERT_TRUE(c->prev());
  EXPECT_EQ(c->key(), "2498");
  EXPECT_EQ(c->recno(), 5999u);
  tag.remove("2498", 5999);
  ASSERT_TRUE(c->prev());
  EXPECT_EQ(c->recno(), 5998u);
}

TEST(CdxBag, UniqueTagsKeepOneEntryPerKey) {
  TempDir dir;
  auto bag = CdxBag::create(dir.file("u.cdx"));
  KeyBatch batch(3, ' ');
  for (uint32_t r = 1; r <= 100; ++r) batch.add(std::to_string(r % 7), r);
  CdxTag& tag = bag->addTag(charTag("U", 3, true), batch);
  Model model;
  for (uint32_t k = 0; k < 7; ++k) model.insert({std::to_string(k) + "  ", k == 0 ? 7 : k});
  expectSame(tag, model);
  tag.insert("3", 500);
  tag.insert("9", 501);
  model.insert({"9  ", 501});
  expectSame(tag, model);
}

TEST(CdxBag, TagsListInCreationOrderAndFreedPagesAreReused) {
  TempDir dir;
  const std::string path = dir.file("b.cdx");
  auto bag = CdxBag::create(path);
  KeyBatch big(8, '\0');
  for (uint32_t r = 1; r <= 20000; ++r) big.add(encodeNumKey(double(r) - 10000.5), r);
  TagInfo num;
  num.name = "zeta";
  num.keyExpr = "KW";
  num.type = KeyType::Num;
  num.keyLen = 8;
  num.descending = true;
  bag->addTag(num, big);
  KeyBatch small(3, ' ');
  small.add("ABC", 1);
  TagInfo forTag = charTag("alpha", 3);
  forTag.forExpr = "KW > 0";
  bag->addTag(forTag, small);
  bag->close();
  const auto sizeWithBoth = std::filesystem::file_size(path);

  auto types = [](const TagInfo& info) { return info.keyExpr == "KW" ? KeyType::Num : KeyType::Char; };
  bag = CdxBag::open(path, File::Access::ReadWrite, types);
  ASSERT_EQ(bag->tagCount(), 2);
  EXPECT_EQ(bag->tag(0).info().name, "ZETA");
  EXPECT_EQ(bag->tag(0).info().type, KeyType::Num);
  EXPECT_TRUE(bag->tag(0).info().descending);
  EXPECT_EQ(bag->tag(1).info().name, "ALPHA");
  EXPECT_EQ(bag->tag(1).info().forExpr, "KW > 0");
  EXPECT_EQ(bag->find("Alpha"), &bag->tag(1));
  auto c = bag->tag(0).cursor();
  ASSERT_TRUE(c->first());
  EXPECT_EQ(decodeNumKey(c->key()), -9999.5);

  ASSERT_TRUE(bag->removeTag("ZETA"));
  EXPECT_FALSE(bag->removeTag("ZETA"));
  bag->addTag(num, big);  // the freed pages take it back
  bag->close();
  EXPECT_LE(std::filesystem::file_size(path), sizeWithBoth + 2 * kCdxPageSize);
  bag = CdxBag::open(path, File::Access::ReadOnly, types);
  bag->verify();
  EXPECT_EQ(bag->tag(0).info().name, "ALPHA");
  EXPECT_EQ(bag->tag(1).countRange("", ""), 20000u);
}

TEST(CdxBag, ReindexRebuildsEveryTagInPlace) {
  TempDir dir;
  auto bag = CdxBag::create(dir.file("r.cdx"));
  KeyBatch batch(2, ' ');
  batch.add("ZZ", 1);
  CdxTag& a = bag->addTag(charTag("A", 2), batch);
  CdxTag& b = bag->addTag(charTag("B", 2), batch);
  bag->reindex([](const TagInfo& info, KeyBatch& out) {
    for (uint32_t r = 1; r <= 3000; ++r) out.add(info.name == "A" ? std::to_string(r % 90) : "X", r);
  });
  EXPECT_EQ(a.verify(), 3000u);
  EXPECT_EQ(b.countRange("X", "X"), 3000u);
  EXPECT_EQ(&bag->tag(0), &a);
}

TEST(CdxBag, ASecondOpenerSeesChangesAfterRefresh) {
  TempDir dir;
  const std::string path = dir.file("p.cdx");
  auto writer = CdxBag::create(path);
  KeyBatch batch(4, ' ');
  for (uint32_t r = 1; r <= 2000; ++r) batch.add(std::to_string(r), r);
  writer->addTag(charTag("T", 4), batch);
  writer->flush();

  auto reader = CdxBag::open(path);
  auto c = reader->tag(0).cursor();
  ASSERT_TRUE(c->seek("1500"));
  EXPECT_EQ(reader->tag(0).countRange("", ""), 2000u);

  for (uint32_t r = 3000; r < 3500; ++r) writer->tag(0).insert("1500", r);
  writer->tag(0).remove("1501", 1501);
  writer->flush();
  EXPECT_FALSE(writer->refresh());  // its own change
  ASSERT_TRUE(reader->refresh());
  EXPECT_EQ(reader->tag(0).countRange("", ""), 2499u);
  ASSERT_TRUE(c->next());
  EXPECT_EQ(c->recno(), 3000u);
  reader->tag(0).verify();

  KeyBatch other(1, ' ');
  other.add("Q", 9);
  writer->addTag(charTag("NEW", 1), other);
  writer->flush();
  ASSERT_TRUE(reader->refresh());
  ASSERT_NE(reader->find("NEW"), nullptr);
}

TEST(CdxBag, DamagedPagesGiveAClearErrorNamingTheFile) {
  TempDir dir;
  const std::string path = dir.file("d.cdx");
  {
    auto bag = CdxBag::create(path);
    KeyBatch batch(10, ' ');
    for (uint32_t r = 1; r <= 5000; ++r) batch.add("K" + std::to_string(r * 7919 % 100000), r);
    bag->addTag(charTag("T", 10), batch);
    bag->close();
  }
  const auto size = std::filesystem::file_size(path);
  std::mt19937 rng(5);
  int errors = 0;
  for (int trial = 0; trial < 200; ++trial) {
    std::fstream f(path, std::ios::in | std::ios::out | std::ios::binary);
    const auto page = 2048 + (rng() % ((size - 2048) / 512)) * 512;
    const auto at = page + rng() % 24;
    f.seekg(std::streamoff(at));
    char old;
    f.get(old);
    f.seekp(std::streamoff(at));
    f.put(char(old ^ (1 << (rng() % 8))));
    f.close();
    // Walking, seeking and counting without a check first, then the full check: errors only.
    for (int check = 0; check < 2; ++check) {
      try {
        auto bag = CdxBag::open(path, File::Access::ReadOnly);
        if (check) {
          bag->verify();
        } else {
          walkBackward(bag->tag(0));
          bag->tag(0).cursor()->seek("K5");
          bag->tag(0).countRange("K1", "K7");
          walkForward(bag->tag(0));
        }
      } catch (const Error& e) {
        errors += check;
        EXPECT_EQ(e.kind(), ErrorKind::Corrupt);
        EXPECT_EQ(e.file(), path);
      }
    }
    std::fstream g(path, std::ios::in | std::ios::out | std::ios::binary);
    g.seekp(std::streamoff(at));
    g.put(old);
  }
  EXPECT_GT(errors, 100);
}

}  // namespace
}  // namespace rt::db
