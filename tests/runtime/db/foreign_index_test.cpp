// A structural index that belongs to another table is refused when the table opens, and an index
// entry for a record past the end of the table is a damaged index when a walk or a seek meets it.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "runtime/core/context.h"
#include "runtime/core/error.h"
#include "runtime/core/std_dates.h"
#include "runtime/core/std_functions.h"
#include "runtime/db/work_areas.h"
#include "tests/runtime/db/helpers/index_check.h"
#include "tests/runtime/db/helpers/temp_dir.h"

namespace rt::db {
namespace {

using testing::compareOrdersWithScan;
using testing::TempDir;

// nieobec.dbf: NR_PRAC C(5), KW N(10,2), with records "1" to "6".
class ForeignIndexTest : public ::testing::Test {
 protected:
  void SetUp() override {
    registerStandardFunctions();
    dateFormat_ = context().settings.dateFormat;
    path_ = dir_.file("nieobec.dbf");
    DbfTable::create(path_, {{"NR_PRAC", 'C', 5, 0}, {"KW", 'N', 10, 2}});
    auto t = DbfTable::open(path_, {});
    for (int r = 1; r <= 6; ++r) {
      t->append();
      t->put(0, Value::text(std::to_string(r)));
      t->put(1, Value::number(r, 2));
    }
  }
  void TearDown() override {
    workAreas().closeAll();
    context().settings.dateFormat = dateFormat_;  // put back for later tests, however this one ended
  }

  TempDir dir_;
  std::string path_;
  std::string dateFormat_;
};

struct Foreign {
  const char* what;
  std::vector<FieldSpec> fields;
  const char* key;
  const char* forText;
  const char* named;  // what the message must name
};

TEST_F(ForeignIndexTest, AStructuralIndexOfAnotherTableIsRefusedNamingTheFile) {
  const Foreign cases[] = {
      {"key names a field the table lacks", {{"NAZWISKO", 'C', 20, 0}}, "UPPER(nazwisko)", "", "NAZWISKO"},
      {"FOR names a field the table lacks", {{"NR_PRAC", 'C', 5, 0}, {"WYPL", 'N', 8, 2}}, "nr_prac",
       "wypl > 0", "WYPL"},
      {"key field of another width", {{"NR_PRAC", 'C', 8, 0}}, "nr_prac", "", "8 bytes"},
      {"key field of another type", {{"NR_PRAC", 'N', 5, 0}}, "nr_prac", "", "8 bytes"},
  };
  const std::string cdx = dir_.file("nieobec.cdx");
  for (const Foreign& c : cases) {
    SCOPED_TRACE(c.what);
    const std::string other = dir_.file("inna.dbf");
    std::filesystem::remove(other);
    std::filesystem::remove(dir_.file("inna.cdx"));
    DbfTable::create(other, c.fields);
    {
      WorkArea& area = workAreas().use(other, {});
      CreateTagOptions options;
      options.forText = c.forText;
      area.createTag("", "PIERWSZY", c.key, options);
      workAreas().closeAll();
    }
    std::filesystem::copy_file(dir_.file("inna.cdx"), cdx, std::filesystem::copy_options::overwrite_existing);
    try {
      workAreas().use(path_, {});
      ADD_FAILURE() << "the index of another table was opened";
    } catch (const Error& e) {
      EXPECT_EQ(e.kind(), ErrorKind::Corrupt);
      EXPECT_EQ(e.file(), cdx);
      EXPECT_NE(e.description().find("PIERWSZY"), std::string::npos) << e.description();
      EXPECT_NE(e.description().find(c.named), std::string::npos) << e.description();
    }
    workAreas().closeAll();
  }
  // The table's own index still opens.
  std::filesystem::remove(cdx);
  workAreas().use(path_, {}).createTag("", "NR", "nr_prac");
  workAreas().closeAll();
  EXPECT_EQ(workAreas().use(path_, {}).orderCount(), 1);
}

// Keys whose length varies from record to record and with the date format: the tags take their
// length from the record current when they are made, and a later opening evaluates them on
// another record, perhaps under another date format.
TEST_F(ForeignIndexTest, TagsOnKeysOfVaryingLengthReopenUnderEitherDateFormat) {
  const std::string longYears = "dd.mm.yyyy", shortYears = "dd.mm.yy";
  const std::string table = dir_.file("skladnik.dbf");
  for (const std::string& made : {longYears, shortYears}) {
    SCOPED_TRACE("made under " + made);
    const std::string other = made == longYears ? shortYears : longYears;
    std::filesystem::remove(table);
    std::filesystem::remove(dir_.file("skladnik.cdx"));
    context().settings.dateFormat = made;
    DbfTable::create(table, {{"NAZW", 'C', 20, 0}, {"NR", 'C', 5, 0}, {"DATA", 'D', 8, 0}});
    {
      WorkArea& w = workAreas().use(table, {});
      const char* names[] = {"  Kowalska", "Nowak", "Wiśniewski Jan", "Lis  ", "Zając"};
      for (int r = 0; r < 5; ++r) {
        w.append();
        w.put(0, Value::text(names[r]));
        w.put(1, Value::text(std::to_string(5 - r)));
        w.put(2, Value::date(makeDate(2026, 12, 1 + 7 * r)));
      }
      w.createTag("", "TRIM", "TRIM(nazw)");
      w.createTag("", "ALLTRIM", "ALLTRIM(nazw)");
      w.createTag("", "DATA", "DTOC(data)");
      w.createTag("", "ZLOZONY", "TRIM(nazw)+nr");
      workAreas().closeAll();
    }
    for (const std::string& format : {other, made}) {
      context().settings.dateFormat = format;
      WorkArea& w = workAreas().use(table, {});
      EXPECT_EQ(w.orderCount(), 4) << "opened under " << format;
      if (format == made) {
        EXPECT_EQ(compareOrdersWithScan(w), "");
      }
      workAreas().closeAll();
    }
  }
}

TEST_F(ForeignIndexTest, AnEntryPastTheLastRecordIsADamagedIndexInAWalkAndASeek) {
  workAreas().use(path_, {}).createTag("", "NR", "nr_prac");
  workAreas().closeAll();
  {
    // The header says 4 records; the index still lists 6.
    std::fstream f(path_, std::ios::in | std::ios::out | std::ios::binary);
    f.seekp(4);
    f.put(char(4));
  }
  const std::string cdx = dir_.file("nieobec.cdx");
  auto expectDamaged = [&](const char* what, const std::function<void(WorkArea&)>& move) {
    SCOPED_TRACE(what);
    WorkArea& area = workAreas().use(path_, {});
    area.setOrder(1);
    try {
      move(area);
      ADD_FAILURE() << "record " << area.recno() << " reached";
    } catch (const Error& e) {
      EXPECT_EQ(e.kind(), ErrorKind::Corrupt);
      EXPECT_EQ(e.file(), cdx);
    }
    workAreas().closeAll();
  };
  expectDamaged("walk", [](WorkArea& a) {
    for (a.goTop(); !a.eof(); a.skip(1)) {
    }
  });
  expectDamaged("seek", [](WorkArea& a) { a.seek(Value::text("6"), false); });
}

}  // namespace
}  // namespace rt::db
