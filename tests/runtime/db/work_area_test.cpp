// Work areas: orders across bags, skipping with scopes, filters and deleted records, seeks by
// key prefix, relations, LOCATE/DBEVAL, aliased fields through expression text, key maintenance.
#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <iterator>

#include "runtime/core/context.h"
#include "runtime/core/error.h"
#include "runtime/core/expr.h"
#include "runtime/core/std_dates.h"
#include "runtime/core/std_functions.h"
#include "runtime/db/work_areas.h"
#include "tests/runtime/db/helpers/index_check.h"
#include "tests/runtime/db/helpers/temp_dir.h"

namespace rt::db {
namespace {

using testing::compareOrdersWithScan;
using testing::TempDir;

struct Row {
  const char* nr;
  int y, m, d;
  double kw;
  const char* name;
  bool del;
};

const Row kRows[] = {
    {"  100", 2024, 3, 14, 150.00, "kowalski", false},  // 1
    {"    0", 2023, 1, 2, -20.50, "Nowak", false},      // 2
    {"  100", 2023, 12, 31, 0, "adamski", true},        // 3 deleted
    {"   12", 2024, 1, 1, 99999.99, "Zielinski", false}, // 4
    {"  100", 2024, 1, 5, -1.00, "Bak", false},         // 5
    {"   12", 2022, 6, 30, 45.10, "nowak", false},      // 6
};

class WorkAreaTest : public ::testing::Test {
 protected:
  void SetUp() override {
    registerStandardFunctions();
    context().settings.deleted = true;
    context().settings.softSeek = false;
    path_ = dir_.file("nieobec.dbf");
    DbfTable::create(path_, {{"NR_PRAC", 'C', 5, 0}, {"DO", 'D', 8, 0}, {"KW", 'N', 12, 2}, {"NAZW", 'C', 10, 0}});
    {
      auto t = DbfTable::open(path_, {});
      for (const Row& r : kRows) {
        t->append();
        t->put(0, Value::text(r.nr));
        t->put(1, Value::date(makeDate(r.y, r.m, r.d)));
        t->put(2, Value::number(r.kw, 2));
        t->put(3, Value::text(r.name));
        t->setDeleted(r.del);
      }
    }
    area_ = &workAreas().use(path_, {});
    area_->createTag("", "TAG1", "nr_prac+DTOS(do)");
    area_->createTag("", "TAG2", "kw");
    area_->createTag("", "TAG3", "UPPER(nazw)");
    CreateTagOptions positive, descending;
    positive.forText = "kw > 0";
    descending.descending = true;
    area_->createTag("", "DODATNIE", "kw", positive);
    area_->createTag("", "MALEJACO", "do", descending);
  }
  void TearDown() override { workAreas().closeAll(); }

  std::vector<uint32_t> walk() {
    std::vector<uint32_t> out;
    for (area_->goTop(); !area_->eof(); area_->skip(1)) out.push_back(area_->recno());
    return out;
  }
  std::vector<uint32_t> walkBack() {
    std::vector<uint32_t> out;
    for (area_->goBottom(); !area_->bof(); area_->skip(-1)) {
      out.push_back(area_->recno());
      if (out.size() > 20) break;
    }
    return out;
  }

  TempDir dir_;
  std::string path_;
  WorkArea* area_ = nullptr;
};

TEST_F(WorkAreaTest, OrdersByNumberAndNameWalkBothWaysHidingDeletedRecords) {
  EXPECT_EQ(area_->orderCount(), 5);
  EXPECT_EQ(area_->orderByName("tag2"), 2);
  EXPECT_EQ(area_->orderByName("nothing"), 0);
  struct Case { int order; std::vector<uint32_t> forward; };
  const Case cases[] = {
      {0, {1, 2, 4, 5, 6}},
      {1, {2, 6, 4, 5, 1}},  // "    0..." < "   12..." < "  100..."
      {2, {2, 5, 6, 1, 4}},  // numeric, negatives first
      {3, {5, 1, 2, 6, 4}},  // upper case names; equal keys by record number
      {4, {6, 1, 4}},        // FOR kw > 0
      {5, {1, 5, 4, 2, 6}},  // descending dates
  };
  for (const auto& c : cases) {
    area_->setOrder(c.order);
    EXPECT_EQ(walk(), c.forward) << "order " << c.order;
    std::vector<uint32_t> back(c.forward.rbegin(), c.forward.rend());
    EXPECT_EQ(walkBack(), back) << "order " << c.order;
  }
  context().settings.deleted = false;
  area_->setOrder(1);
  EXPECT_EQ(walk(), (std::vector<uint32_t>{2, 6, 4, 3, 5, 1}));
  EXPECT_EQ(compareOrdersWithScan(*area_), "");
}

TEST_F(WorkAreaTest, BofAndEofAtTheEnds) {
  area_->setOrder(1);
  area_->goTop();
  EXPECT_EQ(area_->recno(), 2u);
  area_->skip(-1);
  EXPECT_TRUE(area_->bof());
  EXPECT_EQ(area_->recno(), 2u);
  area_->goBottom();
  area_->skip(1);
  EXPECT_TRUE(area_->eof());
  EXPECT_EQ(area_->recno(), 7u);
  EXPECT_EQ(area_->get(0).str(), "     ");
  area_->skip(-1);
  EXPECT_FALSE(area_->eof());
  EXPECT_EQ(area_->recno(), 1u);
  area_->skip(-2);
  EXPECT_EQ(area_->recno(), 4u);
}

TEST_F(WorkAreaTest, SeekByKeyPrefixSoftSeekAndLast) {
  area_->setOrder(1);
  EXPECT_TRUE(area_->seek(Value::text("  100"), false));
  EXPECT_EQ(area_->recno(), 5u);  // record 3 is deleted
  EXPECT_TRUE(area_->found());
  EXPECT_TRUE(area_->seek(Value::text("  1002024"), false));
  EXPECT_EQ(area_->recno(), 5u);
  EXPECT_TRUE(area_->seek(Value::text("  100202403"), false));
  EXPECT_EQ(area_->recno(), 1u);
  EXPECT_TRUE(area_->seek(Value::text("  100"), false, true));
  EXPECT_EQ(area_->recno(), 1u);
  // Never found through a prefix of another employee's number.
  EXPECT_FALSE(area_->seek(Value::text("   1 "), false));
  EXPECT_TRUE(area_->eof());
  EXPECT_FALSE(area_->seek(Value::text("   13"), true));
  EXPECT_FALSE(area_->eof());
  EXPECT_EQ(area_->recno(), 5u);
  context().settings.softSeek = true;
  EXPECT_FALSE(area_->seek(Value::text("  2"), false));
  EXPECT_TRUE(area_->eof());
  context().settings.softSeek = false;

  area_->setOrder(2);
  EXPECT_TRUE(area_->seek(Value::number(-1), false));
  EXPECT_EQ(area_->recno(), 5u);
  EXPECT_FALSE(area_->seek(Value::number(0), false));  // only the deleted record has 0
  EXPECT_THROW(area_->seek(Value::text("x"), false), Error);

  area_->setOrder(5);
  EXPECT_TRUE(area_->seek(Value::date(makeDate(2024, 1, 1)), false));
  EXPECT_EQ(area_->recno(), 4u);
  EXPECT_FALSE(area_->seek(Value::date(makeDate(2023, 6, 1)), true));
  EXPECT_EQ(area_->recno(), 2u);  // next in the descending walk
}

TEST_F(WorkAreaTest, ScopesByValueAndBlockLimitWalkAndKeyCount) {
  area_->setOrder(1);
  area_->setScope(0, Value::text("  100"));
  area_->setScope(1, Value::text("  100"));
  EXPECT_EQ(walk(), (std::vector<uint32_t>{5, 1}));
  EXPECT_EQ(walkBack(), (std::vector<uint32_t>{1, 5}));
  EXPECT_EQ(area_->keyCount(), 2u);  // the keys walked: the deleted record's is hidden
  area_->setScope(0, Value::text("   12"));
  area_->setScope(1, Value::block(compileBlock("{|| '   12' }")));
  EXPECT_EQ(walk(), (std::vector<uint32_t>{6, 4}));
  EXPECT_FALSE(area_->seek(Value::text("  100"), false));
  area_->setScope(0, Value());
  area_->setScope(1, Value());
  EXPECT_EQ(area_->keyCount(), 5u);
  context().settings.deleted = false;
  EXPECT_EQ(area_->keyCount(), 6u);  // with SET DELETED off, every key
  context().settings.deleted = true;
  area_->setOrder(2);
  area_->setScope(0, Value::number(0));
  EXPECT_EQ(walk(), (std::vector<uint32_t>{6, 1, 4}));
}

TEST_F(WorkAreaTest, FilterFromTextAndAliasedFieldsInExpressions) {
  area_->setFilter(Value(), "nieobec->kw < 100 .and. nr_prac = '  100'");
  EXPECT_EQ(walk(), (std::vector<uint32_t>{5}));
  EXPECT_EQ(area_->filterText(), "nieobec->kw < 100 .and. nr_prac = '  100'");
  area_->clearFilter();
  area_->goTo(4);
  EXPECT_DOUBLE_EQ(evalText("nieobec->kw").num(), 99999.99);
  EXPECT_EQ(typeOfText("nieobec->kw"), "N");
  EXPECT_EQ(typeOfText("nieobec->do"), "D");
  EXPECT_EQ(typeOfText("nieobec->nic"), "U");
  EXPECT_EQ(typeOfText("brak->kw"), "U");
  EXPECT_THROW(evalText("brak->kw"), Error);
}

TEST_F(WorkAreaTest, LocateAndEvalVisitRecordsInTheCurrentOrder) {
  area_->setOrder(2);
  EXPECT_TRUE(area_->locate(Value::block(compileBlock("kw > 0"))));
  EXPECT_EQ(area_->recno(), 6u);
  EXPECT_TRUE(area_->continueLocate());
  EXPECT_EQ(area_->recno(), 1u);
  EXPECT_TRUE(area_->locate(Value::block(compileBlock("kw > 0"))));  // from the top again
  EXPECT_EQ(area_->recno(), 6u);
  EXPECT_FALSE(area_->locate(Value::block(compileBlock("kw > 1000000"))));
  EXPECT_TRUE(area_->eof());
  context().memvars.assign("suma", Value::number(0));
  uint64_t n = area_->eval(Value::block(compileBlock("suma := suma + kw")), Value::block(compileBlock("kw < 1000")),
                           Value(), -1, 0, false);
  EXPECT_EQ(n, 4u);
  EXPECT_NEAR(context().memvars.get("suma").num(), 150 - 20.5 - 1 + 45.1, 1e-9);
}

TEST_F(WorkAreaTest, KeysFollowEveryWriteAppendDeleteAndRecall) {
  area_->setOrder(1);
  area_->goTo(2);
  area_->put(0, Value::text("  999"));
  area_->goTo(5);
  area_->put(2, Value::number(77, 2));
  area_->put(0, Value::text("    1"));
  area_->deleteRecord();
  area_->goTo(3);
  area_->recall();
  ASSERT_TRUE(area_->append());
  area_->put(0, Value::text("   12"));
  area_->put(2, Value::number(5, 2));
  area_->commit();
  EXPECT_EQ(compareOrdersWithScan(*area_), "");
  EXPECT_EQ(walk(), (std::vector<uint32_t>{7, 6, 4, 3, 1, 2}));
  // Reopened from disk, the same.
  workAreas().closeAll();
  area_ = &workAreas().use(path_, {});
  EXPECT_EQ(area_->orderCount(), 5);
  EXPECT_EQ(area_->order(), 0);
  area_->setOrder(1);
  EXPECT_EQ(walk(), (std::vector<uint32_t>{7, 6, 4, 3, 1, 2}));
  EXPECT_EQ(compareOrdersWithScan(*area_), "");
}

TEST_F(WorkAreaTest, RelationRepositionsTheChildThroughItsOrder) {
  std::string mainPath = dir_.file("main.dbf");
  DbfTable::create(mainPath, {{"NR_PRAC", 'C', 5, 0}, {"NAZWISKO", 'C', 10, 0}});
  {
    auto t = DbfTable::open(mainPath, {});
    for (auto [nr, name] : {std::pair{"  100", "Kowalski"}, {"    0", "Nowak"}, {"   12", "Zielinski"}}) {
      t->append();
      t->put(0, Value::text(nr));
      t->put(1, Value::text(name));
    }
  }
  WorkArea& main = workAreas().use(mainPath, {.alias = "main"});
  main.createTag("", "MAINPRAC", "nr_prac");
  workAreas().select(area_->number());
  area_->addRelation(main, Value(), "nieobec->nr_prac");
  area_->setOrder(1);
  area_->goTop();
  EXPECT_EQ(evalText("main->nazwisko").str(), "Nowak     ");
  area_->skip(1);
  EXPECT_EQ(evalText("main->nazwisko").str(), "Zielinski ");
  area_->goBottom();
  EXPECT_EQ(main.recno(), 1u);
  area_->skip(1);
  EXPECT_TRUE(main.eof());
  EXPECT_EQ(area_->relationText(1), "nieobec->nr_prac");
  EXPECT_EQ(area_->relationTarget(1), main.number());
}

TEST_F(WorkAreaTest, TagsInASecondBagCountAfterTheStructuralOnes) {
  std::string bag = dir_.file("extra.cdx");
  area_->createTag(bag, "JEDEN", "nazw+nr_prac");
  EXPECT_EQ(area_->orderCount(), 6);
  EXPECT_EQ(area_->order(), 6);
  EXPECT_EQ(area_->orderBag(6), bag);
  area_->clearBags();
  EXPECT_EQ(area_->orderCount(), 5);
  area_->addBag(bag);
  EXPECT_EQ(area_->orderCount(), 6);
  EXPECT_EQ(area_->orderInfo(6)->keyExpr, "nazw+nr_prac");
  EXPECT_TRUE(area_->destroyTag("TAG3"));
  EXPECT_EQ(area_->orderCount(), 5);
  EXPECT_EQ(area_->orderByName("JEDEN"), 5);
}

TEST_F(WorkAreaTest, PackRebuildsTheIndexes) {
  area_->pack();
  EXPECT_EQ(area_->table().recCount(), 5u);
  EXPECT_EQ(compareOrdersWithScan(*area_), "");
  area_->zap();
  EXPECT_EQ(compareOrdersWithScan(*area_), "");
  area_->setOrder(1);
  area_->goTop();
  EXPECT_TRUE(area_->eof());
  EXPECT_TRUE(area_->bof());
}

TEST_F(WorkAreaTest, ATagWhoseStoredExpressionWasOverwrittenIsReportedAsADamagedIndex) {
  workAreas().closeAll();
  const std::string cdx = dir_.file("nieobec.cdx");
  std::string bytes;
  {
    std::ifstream in(cdx, std::ios::binary);
    bytes.assign(std::istreambuf_iterator<char>(in), {});
  }
  const size_t at = bytes.find("nr_prac+DTOS(do)");
  ASSERT_NE(at, std::string::npos);
  bytes.replace(at, 16, std::string(16, ' '));
  std::ofstream(cdx, std::ios::binary | std::ios::trunc) << bytes;
  try {
    workAreas().use(path_, {});
    FAIL() << "the damaged index was opened";
  } catch (const Error& e) {
    EXPECT_EQ(e.kind(), ErrorKind::Corrupt);
    EXPECT_EQ(e.file(), cdx);
    EXPECT_NE(e.description().find("TAG1"), std::string::npos) << e.description();
  }
}

}  // namespace
}  // namespace rt::db
