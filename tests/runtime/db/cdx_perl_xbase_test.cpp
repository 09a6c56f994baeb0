// Our compound index files as Perl's XBase reads them: tag list, every key in order with its
// record number, for character keys with leading blanks, numeric keys with negatives, date keys,
// a FOR tag, trees with interior pages, and after removals and re-insertions.
#include <gtest/gtest.h>

#include <cstdio>
#include <random>
#include <set>
#include <sstream>

#include "runtime/db/cdx_bag.h"
#include "runtime/db/cdx_keys.h"
#include "tests/runtime/db/helpers/temp_dir.h"

namespace rt::db {
namespace {

using testing::TempDir;
using testing::runCommand;

bool perlXBaseAvailable() {
  int status = -1;
  runCommand("perl -MXBase::Index -e 1 2>/dev/null", &status);
  return status == 0;
}

std::string hexNoTrailingZeros(std::string_view key) {
  while (!key.empty() && key.back() == '\0') key.remove_suffix(1);
  std::string out;
  char buf[3];
  for (unsigned char c : key) {
    std::snprintf(buf, sizeof buf, "%02x", c);
    out += buf;
  }
  return out;
}

// One line per entry, as the Perl one-liner for the same kind of key prints it.
std::string ourListing(CdxTag& tag) {
  std::ostringstream out;
  auto c = tag.cursor();
  for (bool ok = c->first(); ok; ok = c->next()) {
    std::string key(c->key());
    switch (tag.info().type) {
      case KeyType::Num: {
        char buf[64];
        std::snprintf(buf, sizeof buf, "%.2f", decodeNumKey(key));
        key = buf;
        break;
      }
      case KeyType::Date: key = hexNoTrailingZeros(key); break;
      default: key.erase(key.find_last_not_of(' ') + 1); break;
    }
    out << "[" << key << "] " << c->recno() << "\n";
  }
  return out.str();
}

std::string perlListing(const std::string& path, const CdxTag& tag) {
  std::string print;
  std::string type = "C";
  switch (tag.info().type) {
    case KeyType::Num: type = "N"; print = R"(printf "[%.2f] %d\n", $k, $r)"; break;
    case KeyType::Date: print = R"(print "[", unpack("H*", $k), "] $r\n")"; break;
    default: print = R"(print "[$k] $r\n")"; break;
  }
  const std::string script = "$t = XBase::Index->new('" + path + "', tag => '" + tag.info().name +
                             "', type => '" + type + "') or die XBase::Index->errstr;" +
                             " $t->prepare_select; while (($k, $r) = $t->fetch) { " + print + " }";
  return runCommand("perl -MXBase::Index -e '" + [&] {
    std::string quoted;
    for (char ch : script) quoted += ch == '\'' ? std::string("'\\''") : std::string(1, ch);
    return quoted;
  }() + "'");
}

TEST(CdxPerlXBase, ReadsOurTagsKeysAndRecordNumbers) {
  if (!perlXBaseAvailable()) GTEST_SKIP() << "Perl XBase is not installed";
  TempDir dir;
  const std::string path = dir.file("cross.cdx");
  const uint32_t records = 20000;
  std::mt19937 rng(2024);
  auto nrPrac = [](uint32_t r) {
    char buf[8];
    std::snprintf(buf, sizeof buf, "%5u", r % 2000);
    return std::string(buf);
  };
  std::vector<int32_t> day(records + 1);
  std::vector<double> kw(records + 1);
  for (uint32_t r = 1; r <= records; ++r) {
    day[r] = (r % 97 == 0) ? 0 : 2458850 + int32_t(rng() % 2557);  // some empty dates
    kw[r] = (double(rng() % 5500001) - 500000) / 100;
  }
  auto tag1Key = [&](uint32_t r) { return nrPrac(r) + std::to_string(day[r] % 100000000); };

  {
    auto bag = CdxBag::create(path);
    KeyBatch b1(13, ' '), b2(8, '\0'), b3(8, '\0'), b4(5, ' ');
    for (uint32_t r = 1; r <= records; ++r) {
      b1.add(tag1Key(r), r);
      b2.add(encodeNumKey(kw[r]), r);
      b3.add(encodeDateKey(day[r]), r);
      if (kw[r] < 0) b4.add(nrPrac(r), r);  // FOR KW < 0
    }
    TagInfo t1{"TAG1", "NR_PRAC+DTOS(DO)", "", KeyType::Char, 13, false, false};
    TagInfo t2{"TAG2", "KW", "", KeyType::Num, 8, false, true};
    TagInfo t3{"TAG3", "OD", "", KeyType::Date, 8, false, false};
    TagInfo t4{"UJEMNE", "NR_PRAC", "KW < 0", KeyType::Char, 5, false, false};
    bag->addTag(t1, b1);
    bag->addTag(t2, b2);
    bag->addTag(t3, b3);
    bag->addTag(t4, b4);
    // Delete plus re-insert: records change their amounts and dates.
    for (int i = 0; i < 3000; ++i) {
      const uint32_t r = 1 + rng() % records;
      ASSERT_TRUE(bag->tag(0).remove(tag1Key(r), r));
      ASSERT_TRUE(bag->tag(1).remove(encodeNumKey(kw[r]), r));
      ASSERT_TRUE(bag->tag(2).remove(encodeDateKey(day[r]), r));
      if (kw[r] < 0) {
        ASSERT_TRUE(bag->tag(3).remove(nrPrac(r), r));
      }
      kw[r] = -kw[r] + 0.01;
      day[r] = 2458850 + int32_t(rng() % 2557);
      bag->tag(0).insert(tag1Key(r), r);
      bag->tag(1).insert(encodeNumKey(kw[r]), r);
      bag->tag(2).insert(encodeDateKey(day[r]), r);
      if (kw[r] < 0) bag->tag(3).insert(nrPrac(r), r);
    }
    bag->close();
  }

  auto types = [](const TagInfo& info) {
    return info.keyExpr == "KW" ? KeyType::Num : info.keyExpr == "OD" ? KeyType::Date : KeyType::Char;
  };
  auto bag = CdxBag::open(path, File::Access::ReadOnly, types);
  bag->verify();
  EXPECT_EQ(runCommand("perl -MXBase::Index -e '$i = XBase::Index->new(\"" + path +
                       "\", type => \"C\"); print join(\",\", $i->tags), \"\\n\"'"),
            "TAG1,TAG2,TAG3,UJEMNE\n");
  for (int i = 0; i < bag->tagCount(); ++i) {
    CdxTag& tag = bag->tag(i);
    const std::string ours = ourListing(tag);
    EXPECT_GT(ours.size(), 1000u);
    EXPECT_EQ(perlListing(path, tag), ours) << tag.info().name;
  }
  // Spot checks that the listings say what they should.
  EXPECT_EQ(ourListing(bag->tag(0)).substr(0, 6), "[    0");
  EXPECT_EQ(ourListing(bag->tag(1)).substr(0, 2), "[-");
}

TEST(CdxPerlXBase, ReadsATagDirectoryOfSeveralPages) {
  if (!perlXBaseAvailable()) GTEST_SKIP() << "Perl XBase is not installed";
  TempDir dir;
  const std::string path = dir.file("many.cdx");
  std::string expected;
  {
    auto bag = CdxBag::create(path);
    for (int i = 0; i < 120; ++i) {
      char name[12];
      std::snprintf(name, sizeof name, "T%03d", (i * 37) % 120);  // created out of name order
      KeyBatch batch(4, ' ');
      batch.add(name, uint32_t(i + 1));
      bag->addTag({name, "NAZW", "", KeyType::Char, 4, false, false}, batch);
    }
    ASSERT_TRUE(bag->removeTag("T050"));
    bag->close();
  }
  for (int i = 0; i < 120; ++i) {
    char name[12];
    std::snprintf(name, sizeof name, "T%03d", i);
    if (i == 50) continue;
    expected += (expected.empty() ? "" : ",") + std::string(name);
  }
  auto bag = CdxBag::open(path, File::Access::ReadOnly);
  bag->verify();
  EXPECT_EQ(bag->tagCount(), 119);
  EXPECT_EQ(bag->tag(0).info().name, "T000");  // creation order
  EXPECT_EQ(bag->tag(1).info().name, "T037");
  EXPECT_EQ(runCommand("perl -MXBase::Index -e '$i = XBase::Index->new(\"" + path +
                       "\", type => \"C\"); print join(\",\", $i->tags), \"\\n\"'"),
            expected + "\n");
  EXPECT_EQ(perlListing(path, *bag->find("T077")), "[T077] 42\n");
}

}  // namespace
}  // namespace rt::db
