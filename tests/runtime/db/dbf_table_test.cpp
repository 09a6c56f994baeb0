// DBF tables and FPT memos: our own round trips, independent readers (python3-dbf, Perl XBase)
// reading what we write, our engine reading what they write, and damaged files.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "runtime/core/error.h"
#include "runtime/core/std_dates.h"
#include "runtime/db/dbf_table.h"
#include "tests/runtime/db/helpers/temp_dir.h"

namespace rt::db {
namespace {

using testing::readFile;
using testing::runCommand;
using testing::TempDir;

void writeAll(const std::string& path, const std::string& bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out << bytes;
}

const std::vector<FieldSpec> kStructure = {
    {"NR_PRAC", 'C', 5, 0}, {"OD", 'D', 8, 0}, {"KW", 'N', 12, 2}, {"OK", 'L', 1, 0}, {"UW", 'M', 10, 0}};

// Writes three records: leading blanks, a negative amount, an empty date, a memo, a deleted one.
void writeSample(const std::string& path) {
  DbfTable::create(path, kStructure);
  auto t = DbfTable::open(path, {});
  struct Row { const char* nr; int32_t day; double kw; bool ok; const char* memo; bool del; };
  const Row rows[] = {{"    0", makeDate(2024, 3, 14), -1842.88, true, "pierwsza notatka", false},
                      {"  100", 0, 50000.0, false, "", true},
                      {"12345", makeDate(1999, 12, 31), 0.5, true, "druga", false}};
  for (const auto& r : rows) {
    ASSERT_TRUE(t->append());
    t->put(0, Value::text(r.nr));
    t->put(1, Value::date(r.day));
    t->put(2, Value::number(r.kw, 2));
    t->put(3, Value::logical(r.ok));
    t->put(4, Value::text(r.memo));
    t->setDeleted(r.del);
  }
  t->close();
}

TEST(DbfTable, WritesAndReadsBackEveryFieldType) {
  TempDir dir;
  std::string path = dir.file("t.dbf");
  writeSample(path);
  auto t = DbfTable::open(path, {.shared = true, .readOnly = true});
  ASSERT_EQ(t->recCount(), 3u);
  EXPECT_EQ(t->header().version, kDbfFoxProMemo);
  EXPECT_EQ(t->header().codePage, kCodePage852);
  t->goTo(1);
  EXPECT_EQ(t->get(0).str(), "    0");
  EXPECT_EQ(t->get(1).date(), makeDate(2024, 3, 14));
  EXPECT_DOUBLE_EQ(t->get(2).num(), -1842.88);
  EXPECT_EQ(t->get(2).decimals(), 2);
  EXPECT_EQ(t->get(2).width(), 12);
  EXPECT_TRUE(t->get(3).logical());
  EXPECT_EQ(t->get(4).str(), "pierwsza notatka");
  t->goTo(2);
  EXPECT_TRUE(t->deleted());
  EXPECT_EQ(t->get(1).date(), 0);
  EXPECT_EQ(t->get(4).str(), "");
  t->goTo(4);
  EXPECT_TRUE(t->atPhantom());
  EXPECT_EQ(t->recno(), 4u);
  EXPECT_EQ(t->get(0).str(), "     ");
}

TEST(DbfTable, StoredDateTextsThatNameNoDayReadAsTheEmptyDate) {
  TempDir dir;
  std::string path = dir.file("d.dbf");
  writeSample(path);
  size_t at;
  {
    auto t = DbfTable::open(path, {});
    at = t->header().headerLen + t->field(1).offset;  // OD of record 1
  }
  struct Case { const char* stored; int32_t day; };
  for (Case c : {Case{"20240229", makeDate(2024, 2, 29)}, {"20230229", 0}, {"20240431", 0},
                 {"2024031x", 0}, {"00000101", 0}}) {
    std::string bytes = readFile(path);
    bytes.replace(at, 8, c.stored);
    writeAll(path, bytes);
    auto t = DbfTable::open(path, {});
    t->goTo(1);
    EXPECT_EQ(t->get(1).date(), c.day) << c.stored;
  }
}

TEST(DbfTable, PythonDbfAndPerlXBaseReadOurTable) {
  TempDir dir;
  std::string path = dir.file("t.dbf");
  writeSample(path);
  std::string py = runCommand(
      "/usr/bin/python3 -c \"import dbf; t=dbf.Table('" + path +
      "', default_data_types={'C': str}, codepage='cp852'); t.open(); "
      "print('|'.join(repr((r.nr_prac, str(r.od), float(r.kw), r.ok, r.uw, dbf.is_deleted(r))) for r in t))\" 2>&1");
  EXPECT_EQ(py,
            "('    0', '2024-03-14', -1842.88, True, 'pierwsza notatka', False)|"
            "('  100', 'None', 50000.0, False, '', True)|"
            "('12345', '1999-12-31', 0.5, True, 'druga', False)\n");
  std::string pl = runCommand("perl -MXBase -e '$t=XBase->new(\"" + path +
                              "\") or die XBase->errstr; for $i (0..$t->last_record){@r=$t->get_record($i);"
                              "print join(\",\",map {defined $_ ? \"[$_]\" : \"U\"} @r),\"\\n\"}' 2>&1");
  EXPECT_EQ(pl,
            "[0],[    0],[20240314],[-1842.88],[1],[pierwsza notatka]\n"
            "[1],[  100],U,[50000],[0],U\n"
            "[0],[12345],[19991231],[0.5],[1],[druga]\n");
}

TEST(DbfTable, ReadsFoxProTableWithMemosWrittenByPythonDbf) {
  TempDir dir;
  std::string path = dir.file("py.dbf");
  std::string out = runCommand(
      "/usr/bin/python3 -c \"import dbf, datetime; t=dbf.Table('" + path +
      "', 'name C(20); amount N(10,2); born D; flag L; note M', dbf_type='fp', codepage='cp852'); t.open(dbf.READ_WRITE); "
      "t.append(('Kowalski', 12.5, datetime.date(1980,5,17), True, 'x'*300)); "
      "t.append(('Nowak', -3, None, False, '')); t.close()\" 2>&1");
  ASSERT_EQ(out, "");
  auto t = DbfTable::open(path, {});
  ASSERT_EQ(t->recCount(), 2u);
  t->goTo(1);
  EXPECT_EQ(t->get(0).str(), "Kowalski            ");
  EXPECT_DOUBLE_EQ(t->get(1).num(), 12.5);
  EXPECT_EQ(t->get(2).date(), makeDate(1980, 5, 17));
  EXPECT_TRUE(t->get(3).logical());
  EXPECT_EQ(t->get(4).str(), std::string(300, 'x'));
  t->goTo(2);
  EXPECT_DOUBLE_EQ(t->get(1).num(), -3);
  EXPECT_EQ(t->get(4).str(), "");
}

TEST(DbfTable, ReadsDbaseTableWithMemosWrittenByPerlXBase) {
  TempDir dir;
  std::string path = dir.file("pl.dbf");
  std::string out = runCommand(
      "perl -MXBase -e '$t=XBase->create(name=>\"" + path +
      "\", field_names=>[\"NAME\",\"NOTE\",\"AMT\"], field_types=>[\"C\",\"M\",\"N\"], field_lengths=>[10,10,8], "
      "field_decimals=>[0,0,2]) or die XBase->errstr; $t->set_record(0,\"  lead\",\"memo text\",-7.25); "
      "$t->set_record(1,\"b\",\"y\" x 1000, 3); $t->close' 2>&1");
  ASSERT_EQ(out, "");
  auto t = DbfTable::open(path, {});
  ASSERT_EQ(t->recCount(), 2u);
  t->goTo(1);
  EXPECT_EQ(t->get(0).str(), "  lead    ");
  EXPECT_EQ(t->get(1).str(), "memo text");
  EXPECT_DOUBLE_EQ(t->get(2).num(), -7.25);
  t->goTo(2);
  EXPECT_EQ(t->get(1).str(), std::string(1000, 'y'));
}

TEST(DbfTable, NumbersAreRoundedOrRefusedNeverWrong) {
  TempDir dir;
  std::string path = dir.file("n.dbf");
  DbfTable::create(path, {{"A", 'N', 6, 2}, {"B", 'N', 3, 0}});
  auto t = DbfTable::open(path, {});
  ASSERT_TRUE(t->append());
  struct Case { double v; const char* stored; };
  for (Case c : {Case{1.005, "  1.01"}, {-1.005, " -1.01"}, {85.33 * 0.8, " 68.26"}, {999.99, "999.99"},
                 {-99.99, "-99.99"}, {0.0, "  0.00"}, {-0.004, "  0.00"}}) {
    t->put(0, Value::number(c.v, 2));
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(t->recordBytes()) + 1, 6), c.stored) << c.v;
  }
  t->put(0, Value::number(12.5, 2));
  for (double tooWide : {1000.0, 999.995, -100.0}) {
    try {
      t->put(0, Value::number(tooWide, 2));
      ADD_FAILURE() << tooWide << " was accepted";
    } catch (const Error& e) {
      EXPECT_EQ(e.kind(), ErrorKind::DataWidth);
      EXPECT_EQ(e.description(), "Data width error");
    }
    EXPECT_DOUBLE_EQ(t->get(0).num(), 12.5);  // untouched
  }
  EXPECT_THROW(t->put(1, Value::number(1000)), Error);
  t->put(1, Value::number(-99));
  EXPECT_DOUBLE_EQ(t->get(1).num(), -99);
  EXPECT_THROW(t->put(1, Value::text("1")), Error);
}

TEST(DbfTable, ReadsHeadersWithManyFieldsAndLongCharacterFields) {
  TempDir dir;
  std::string path = dir.file("wide.dbf");
  std::vector<FieldSpec> fields;
  for (int i = 0; i < 150; ++i) fields.push_back({"F" + std::to_string(i), 'C', 3, 0});
  fields.push_back({"LONGTEXT", 'C', 300, 0});
  DbfTable::create(path, fields);
  {
    auto t = DbfTable::open(path, {});
    ASSERT_TRUE(t->append());
    t->put(149, Value::text("end"));
    t->put(150, Value::text(std::string(299, 'q') + "z"));
  }
  auto t = DbfTable::open(path, {});
  ASSERT_EQ(t->fieldCount(), 151u);
  EXPECT_EQ(t->field(150).len, 300u);
  t->goTo(1);
  EXPECT_EQ(t->get(149).str(), "end");
  EXPECT_EQ(t->get(150).str(), std::string(299, 'q') + "z");
  EXPECT_EQ(t->fieldIndex("longtext"), 150);
}

TEST(DbfTable, ReadsVisualFoxProTableWithBacklink) {
  TempDir dir;
  std::string path = dir.file("vfp.dbf");
  std::string out = runCommand("/usr/bin/python3 -c \"import dbf; t=dbf.Table('" + path +
                               "', 'name C(8); qty I; price Y', dbf_type='vfp'); t.open(dbf.READ_WRITE); "
                               "t.append(('abc', 42, 12.5)); t.close()\" 2>&1");
  ASSERT_EQ(out, "");
  auto t = DbfTable::open(path, {});
  EXPECT_TRUE(t->header().isVisualFoxPro());
  t->goTo(1);
  EXPECT_EQ(t->get(0).str(), "abc     ");
  EXPECT_DOUBLE_EQ(t->get(1).num(), 42);
  EXPECT_DOUBLE_EQ(t->get(2).num(), 12.5);
}

// A changed memo goes to fresh blocks and the record write switches the pointer: whichever write
// fails (the Nth, and every one after it), the record keeps its old fields with its old memo or
// has its new fields with its new memo, never the old fields with the new memo.
TEST(DbfTable, AMemoIsNeverHalfReplacedWhicheverWriteFails) {
  for (bool shared : {false, true}) {
    for (int failing = 1; failing <= 7; ++failing) {
      SCOPED_TRACE((shared ? "shared, write " : "exclusive, write ") + std::to_string(failing));
      TempDir dir;
      std::string path = dir.file("m.dbf");
      DbfTable::create(path, {{"NR", 'N', 4, 0}, {"UW", 'M', 10, 0}});
      {
        auto t = DbfTable::open(path, {});
        ASSERT_TRUE(t->append());
        t->put(0, Value::number(1));
        t->put(1, Value::text("stara notatka 1"));
        t->close();
      }
      {
        auto t = DbfTable::open(path, {.shared = shared});
        t->goTo(1);
        ASSERT_TRUE(t->lockRecord(1));
        t->put(0, Value::number(2));
        t->put(1, Value::text("nowa notatka 22"));  // as long as the old one: it would fit its blocks
        int writes = 0;
        File::setWriteFault([&](const std::string&, uint64_t, size_t) { return ++writes >= failing ? 28 : 0; });
        try {
          t->commit();
          t->close();
        } catch (const Error&) {
          // The failure; the table is dropped without another chance to write.
        }
        t.reset();
        File::setWriteFault({});
      }
      auto t = DbfTable::open(path, {});
      ASSERT_EQ(t->recCount(), 1u);
      t->goTo(1);
      const double nr = t->get(0).num();
      const std::string memo = t->get(1).str();
      EXPECT_TRUE((nr == 1 && memo == "stara notatka 1") || (nr == 2 && memo == "nowa notatka 22"))
          << nr << " with \"" << memo << "\"";
    }
  }
}

TEST(DbfTable, DeletePackAndZap) {
  TempDir dir;
  std::string path = dir.file("p.dbf");
  DbfTable::create(path, {{"N", 'N', 4, 0}});
  auto t = DbfTable::open(path, {});
  for (int i = 1; i <= 10; ++i) {
    ASSERT_TRUE(t->append());
    t->put(0, Value::number(i));
    t->setDeleted(i % 3 == 0);
  }
  t->goTo(3);
  t->setDeleted(false);  // recall
  t->pack();
  ASSERT_EQ(t->recCount(), 8u);
  std::vector<int> left;
  for (uint32_t r = 1; r <= t->recCount(); ++r) {
    t->goTo(r);
    left.push_back(int(t->get(0).num()));
  }
  EXPECT_EQ(left, (std::vector<int>{1, 2, 3, 4, 5, 7, 8, 10}));
  t->close();
  EXPECT_EQ(std::filesystem::file_size(path), 32u + 32 + 1 + 8 * 5 + 1);
  t = DbfTable::open(path, {});
  t->zap();
  EXPECT_EQ(t->recCount(), 0u);
  t->close();
  t = DbfTable::open(path, {});
  EXPECT_EQ(t->recCount(), 0u);
}

TEST(DbfTable, SharedAndExclusiveOpeningsExcludeEachOther) {
  TempDir dir;
  std::string path = dir.file("s.dbf");
  DbfTable::create(path, {{"N", 'N', 4, 0}});
  auto a = DbfTable::open(path, {.shared = true});
  auto b = DbfTable::open(path, {.shared = true});
  try {
    DbfTable::open(path, {});
    ADD_FAILURE() << "exclusive open granted while shared";
  } catch (const Error& e) {
    EXPECT_EQ(e.kind(), ErrorKind::NetErr);
    EXPECT_EQ(e.file(), path);
  }
  a.reset();
  b.reset();
  auto c = DbfTable::open(path, {});
  EXPECT_THROW(DbfTable::open(path, {.shared = true}), Error);
}

TEST(DbfTable, SharedWritesNeedALockAndAreSeenAfterTheNextMove) {
  TempDir dir;
  std::string path = dir.file("s.dbf");
  DbfTable::create(path, {{"N", 'N', 4, 0}});
  auto a = DbfTable::open(path, {.shared = true});
  auto b = DbfTable::open(path, {.shared = true});
  ASSERT_TRUE(a->append());  // appended locked
  a->put(0, Value::number(7));
  a->unlockAll();
  a->goTo(1);
  EXPECT_THROW(a->put(0, Value::number(8)), Error);  // no lock
  ASSERT_TRUE(a->lockRecord(1));
  EXPECT_FALSE(b->lockRecord(1));
  EXPECT_FALSE(b->lockFile());
  a->put(0, Value::number(8));
  a->goTo(1);  // the move writes the record
  b->goTo(1);
  EXPECT_EQ(b->recCount(), 1u);
  EXPECT_DOUBLE_EQ(b->get(0).num(), 8);
  a->unlockRecord(1);
  EXPECT_TRUE(b->lockFile());
  EXPECT_FALSE(a->lockRecord(1));
}

// An append with its values: another handle sees the whole record (memo too) as soon as it is
// counted; a value a field cannot hold is refused with the table left byte for byte as it was.
TEST(DbfTable, AnAppendWithValuesWritesTheWholeRecordOrNothing) {
  TempDir dir;
  std::string path = dir.file("v.dbf");
  DbfTable::create(path, kStructure);
  for (bool shared : {true, false}) {
    SCOPED_TRACE(shared ? "shared" : "exclusive");
    auto a = DbfTable::open(path, {.shared = shared});
    const uint32_t before = a->recCount();
    ASSERT_TRUE(a->append({{0, Value::text("   42")}, {2, Value::number(12.5, 2)}, {4, Value::text("notatka")}}));
    a->commit();
    const std::string bytes = readFile(path);
    EXPECT_THROW(a->append({{0, Value::text("   43")}, {2, Value::number(1e12, 2)}}), Error);
    a->close();
    EXPECT_EQ(readFile(path), bytes) << "the refused append wrote nothing";
    auto b = DbfTable::open(path, {.shared = true, .readOnly = true});
    ASSERT_EQ(b->recCount(), before + 1);
    b->goTo(before + 1);
    EXPECT_EQ(b->get(0).str(), "   42");
    EXPECT_DOUBLE_EQ(b->get(2).num(), 12.5);
    EXPECT_EQ(b->get(4).str(), "notatka");
    EXPECT_FALSE(b->get(3).logical());
  }
}

// Damaged input: a clear error naming the file, and the file left byte for byte as it was.
TEST(DbfTable, DamagedFilesGiveAClearErrorAndStayUntouched) {
  TempDir dir;
  std::string good = dir.file("good.dbf");
  writeSample(good);
  const std::string bytes = readFile(good);
  struct Case { const char* name; std::function<std::string(std::string)> damage; const char* words; };
  const Case cases[] = {
      {"version", [](std::string b) { b.at(0) = 0x42; return b; }, "version"},
      {"header length", [](std::string b) { b.at(8) = char(0xFF); b.at(9) = 0x7F; return b; }, "header length"},
      {"field length", [](std::string b) { b.replace(32 + 16, 1, 1, char(0)); return b; }, "length 0"},
      // The memo field (the fifth) narrower than a block number: a pointer it cannot hold.
      {"memo width 8", [](std::string b) { b.replace(32 * 5 + 16, 1, 1, char(8)); return b; }, "memo field UW has length 8"},
      {"memo width 3", [](std::string b) { b.replace(32 * 5 + 16, 1, 1, char(3)); return b; }, "memo field UW has length 3"},
      {"truncated", [](std::string b) { return b.substr(0, b.size() - 30); }, "truncated"},
      {"record count", [](std::string b) { b.at(4) = 100; return b; }, "truncated"},
      {"empty", [](std::string) { return std::string("\x03\x7c", 2); }, "too short"},
  };
  for (const auto& c : cases) {
    std::string path = dir.file(std::string("bad_") + c.name + ".dbf");
    writeAll(path, c.damage(bytes));
    std::filesystem::copy_file(dir.file("good.fpt"), dir.file(std::string("bad_") + c.name + ".fpt"));
    std::string before = readFile(path);
    try {
      DbfTable::open(path, {});
      ADD_FAILURE() << c.name << ": opened";
    } catch (const Error& e) {
      EXPECT_EQ(e.kind(), ErrorKind::Corrupt) << c.name;
      EXPECT_EQ(e.file(), path) << c.name;
      EXPECT_NE(e.description().find(c.words), std::string::npos) << c.name << ": " << e.description();
    }
    EXPECT_EQ(readFile(path), before) << c.name;
  }
}

TEST(DbfTable, MemoBlockOutOfRangeNamesTheMemoFile) {
  TempDir dir;
  std::string path = dir.file("m.dbf");
  writeSample(path);
  std::string bytes = readFile(path);
  // Record 1's memo field holds block "9999999999".
  size_t memoAt = bytes.size() - 1 - 3 * 37 + 1 + 5 + 8 + 12 + 1;
  bytes.replace(memoAt, 10, "0009999999");
  writeAll(path, bytes);
  std::string memoBefore = readFile(dir.file("m.fpt"));
  auto t = DbfTable::open(path, {});
  t->goTo(1);
  try {
    t->get(4);
    ADD_FAILURE() << "read a memo out of range";
  } catch (const Error& e) {
    EXPECT_EQ(e.kind(), ErrorKind::Corrupt);
    EXPECT_EQ(e.file(), dir.file("m.fpt"));
    EXPECT_NE(e.description().find("out of range"), std::string::npos);
  }
  t->close();
  EXPECT_EQ(readFile(dir.file("m.fpt")), memoBefore);
}

TEST(DbfTable, MemoFileWhoseFreeBlockLiesPastItsEndTakesNoWrite) {
  TempDir dir;
  std::string path = dir.file("m.dbf");
  writeSample(path);
  std::string memo = readFile(dir.file("m.fpt"));
  const std::string table = readFile(path);
  for (const char* next : {"\x7F\xFF\xFF\xFF", "\x00\x01\x00\x00"}) {
    std::string damaged = memo;
    damaged.replace(0, 4, next, 4);
    writeAll(dir.file("m.fpt"), damaged);
    for (bool shared : {false, true}) {
      auto t = DbfTable::open(path, {.shared = shared});
      t->goTo(2);
      if (shared) {
        ASSERT_TRUE(t->lockRecord(2));
      }
      t->put(4, Value::text("nowa notatka"));
      try {
        t->commit();
        ADD_FAILURE() << "a memo was written past the end of the memo file";
      } catch (const Error& e) {
        EXPECT_EQ(e.kind(), ErrorKind::Corrupt);
        EXPECT_EQ(e.file(), dir.file("m.fpt"));
        EXPECT_NE(e.description().find("past the end"), std::string::npos) << e.description();
      }
      try {
        t->close();
      } catch (const Error&) {
        // The refused record is reported once more on closing; it stays unwritten.
      }
      EXPECT_EQ(readFile(dir.file("m.fpt")), damaged);
      EXPECT_EQ(readFile(path), table);
      // The table itself was not touched, so it opens again without the mark of an interrupted write.
      auto again = DbfTable::open(path, {});
      again->goTo(1);
      EXPECT_EQ(again->get(0).str(), "    0");
    }
  }
}

TEST(DbfTable, WriteFailuresAreReportedNamingTheFile) {
  TempDir dir;
  std::string path = dir.file("w.dbf");
  DbfTable::create(path, {{"N", 'N', 4, 0}});
  auto t = DbfTable::open(path, {.shared = true});
  File::setWriteFault([&](const std::string& p, uint64_t, size_t) { return p == path ? ENOSPC : 0; });
  try {
    t->append();
    ADD_FAILURE() << "append on a full disk succeeded";
  } catch (const Error& e) {
    EXPECT_EQ(e.kind(), ErrorKind::Write);
    EXPECT_EQ(e.file(), path);
    EXPECT_EQ(e.osCode(), ENOSPC);
  }
  File::setWriteFault({});
  t->refresh();
  EXPECT_EQ(t->recCount(), 0u);
}

TEST(DbfTable, ChangesOfAFailedFlushCanBeForgotten) {
  TempDir dir;
  std::string path = dir.file("d.dbf");
  DbfTable::create(path, {{"N", 'N', 4, 0}});
  {
    auto t = DbfTable::open(path, {});
    t->append();
    t->put(0, Value::number(1, 0));
    t->close();
  }
  auto t = DbfTable::open(path, {.shared = true});
  t->goTo(1);
  ASSERT_TRUE(t->lockRecord(1));
  t->put(0, Value::number(7, 0));
  File::setWriteFault([&](const std::string& p, uint64_t, size_t) { return p == path ? EIO : 0; });
  EXPECT_THROW(t->flush(), Error);
  File::setWriteFault({});
  t->discardChanges();
  EXPECT_FALSE(t->dirty());
  EXPECT_EQ(t->get(0).num(), 1) << "the record reads as on disk";
  t->goTo(1);  // a move writes nothing now
  t->close();
  auto again = DbfTable::open(path, {});
  again->goTo(1);
  EXPECT_EQ(again->get(0).num(), 1);
}

}  // namespace
}  // namespace rt::db
