// The transfer to personnel on a small company: day records written per calendar day, sent
// again after a change, removed for vanished benefits, holidays overwritten and listed, locks.
#include <fstream>
#include <sstream>

#include "runtime/db/work_areas.h"
#include "tests/runtime/db/helpers/killed_at_write.h"
#include "tests/zus/transfer/killed_between_writes.h"
#include "tests/zus/transfer/transfer_fixture.h"
#include "zus/transfer/to_personnel.h"

namespace transfer_test {
namespace {

using rt::term::K_ENTER;
using rt::term::K_ESC;

class PersonnelTransfer : public TransferCompany {
 protected:
  void SetUp() override {
    TransferCompany::SetUp();
    // The period: January and February 2026 (one and zero months back).
    monthsBack = {1, 0};
    installPersonnelProgram();
    writePersonnelSettings("U01U02");
  }

  void installPersonnelProgram() {
    fs::create_directories(dir / "bin");
    std::ofstream(dir / "bin" / "kadry.exe") << "";
    std::string binDir = (dir / "bin").string() + "/";
    rt::functions().add("_PATH_TO_EXE", [binDir](rt::Args&) { return text(binDir); });
  }

  void writePersonnelSettings(const std::string& holidayCodes) {
    rt::PrivateFrame frame(rt::context().memvars);
    rt::context().memvars.declarePrivate("symbol_u_1", text(holidayCodes));
    suite::saveMemory((dir / "KADRY" / "kadry_pp.mem").string(), "symbol_u_1");
  }

  // The live day records of an employee as "date kind number" lines, in date order.
  std::vector<std::string> days(const std::string& nr) {
    std::vector<std::pair<std::string, std::string>> found;
    for (auto& r : rows("CZAS_P"))
      if (r["NR_PRAC"].strOr("") == nr)
        found.push_back({rt::dtos(r["DATA"].date()),
                         rt::dtos(r["DATA"].date()) + " " + r["KOD"].strOr("") + " " + r["KOD_WEW"].strOr("")});
    std::sort(found.begin(), found.end());
    std::vector<std::string> out;
    for (auto& f : found) out.push_back(f.second);
    return out;
  }
};

TEST_F(PersonnelTransfer, EachCalendarDayOfABenefitBecomesADayRecord) {
  // 30 January to 2 February, whatever the days field says.
  add("NIEOBEC", benefit("    1", kSickness, 100, 2, day(2026, 2, 5), {{"od", day(2026, 1, 30)}, {"do", day(2026, 2, 2)}}));
  add("NIEOBEC", benefit("    1", kSickness, 100, 0, day(2026, 2, 5)));                      // no days
  add("NIEOBEC", benefit("    1", kOther, 100, 3, day(2026, 2, 5)));                         // not calculated kind
  add("NIEOBEC", benefit("    1", kSickness, 100, 3, day(2026, 2, 5), {{"czy_korekt", yes()}}));
  add("NIEOBEC", benefit("    1", kSickness, 100, 3, day(2026, 2, 5), {{"o_zlicz", yes()}}));
  add("NIEOBEC", benefit("    2", kSickness, 100, 3, day(2026, 4, 5)));                      // paid after the period
  run("GOTO_KADRY");

  EXPECT_EQ(days("    1"), (std::vector<std::string>{"20260130 Z01      1", "20260131 Z01      1",
                                                      "20260201 Z01      1", "20260202 Z01      1"}));
  EXPECT_TRUE(days("    2").empty());
  EXPECT_EQ(record(1)["KOD_WEW"].str(), "     1");
  for (int n = 2; n <= 6; ++n) EXPECT_EQ(record(n)["KOD_WEW"].str(), "      ") << n;
  EXPECT_EQ(summaryLine(0), "Liczba przepisanych pracowniko`w: 1");
  EXPECT_EQ(summaryLine(1), "Liczba przepisanych zasil`ko`w:    1");
  EXPECT_EQ(summaryLine(4), "Nie stwierdzono bl`e`do`w krytycznych!");
  EXPECT_FALSE(tableOpen("czas_p"));
  EXPECT_FALSE(tableOpen("main"));
}

TEST_F(PersonnelTransfer, AChangedBenefitIsWrittenAgainUnderItsNumber) {
  add("NIEOBEC", benefit("    1", kSickness, 100, 3, day(2026, 2, 5)));
  add("NIEOBEC", benefit("    1", kSickness2, 100, 2, day(2026, 2, 6), {{"od", day(2026, 1, 20)}, {"do", day(2026, 1, 21)}}));
  run("GOTO_KADRY");
  ASSERT_EQ(days("    1").size(), 5u);
  EXPECT_EQ(record(2)["KOD_WEW"].str(), "     2");

  change("NIEOBEC", 1, {{"od", day(2026, 1, 11)}, {"do", day(2026, 1, 12)}, {"zasilek", text(kSickness2)}});
  run("GOTO_KADRY");
  EXPECT_EQ(days("    1"), (std::vector<std::string>{"20260111 Z10      1", "20260112 Z10      1",
                                                      "20260120 Z10      2", "20260121 Z10      2"}));
  EXPECT_EQ(summaryLine(1), "Liczba przepisanych zasil`ko`w:    2");
}

TEST_F(PersonnelTransfer, DayRecordsOfVanishedBenefitsAreRemoved) {
  add("NIEOBEC", benefit("    1", kSickness, 100, 3, day(2026, 2, 5)));
  add("NIEOBEC", benefit("    1", kSickness, 100, 2, day(2026, 1, 5), {{"od", day(2026, 2, 10)}, {"do", day(2026, 2, 11)}}));
  run("GOTO_KADRY");
  ASSERT_EQ(days("    1").size(), 5u);
  // The personnel module's own record on a day of its own stays.
  add("CZAS_P", {{"nr_prac", text("    1")}, {"data", day(2026, 1, 3)}, {"kod", text("X01")}, {"kod_wew", text("     !")}});

  removeRecord("NIEOBEC", 1);
  removeRecord("NIEOBEC", 2);
  run("GOTO_KADRY");
  EXPECT_EQ(days("    1"), (std::vector<std::string>{"20260103 X01      !"}));
  EXPECT_EQ(summaryLine(0), "Liczba przepisanych pracowniko`w: 1");
  EXPECT_EQ(summaryLine(2), "Liczba wykasownych danych: 2");
}

TEST_F(PersonnelTransfer, AKilledRunLeavesNoDayTwiceOrMissingAfterTheNextRun) {
  // Employee 1: a benefit sent before and moved since, one sent before and deleted since, and a
  // new one over a holiday day of the personnel module; employee 2: a new benefit.
  auto prepare = [&] {
    call("DBCLOSEALL");
    createEmptyTables({"NIEOBEC", "CZAS_P"});
    add("NIEOBEC", benefit("    1", kSickness, 100, 3, day(2026, 2, 5)));
    add("NIEOBEC", benefit("    1", kSickness2, 100, 2, day(2026, 2, 5), {{"od", day(2026, 1, 20)}, {"do", day(2026, 1, 21)}}));
    run("GOTO_KADRY");
    change("NIEOBEC", 1, {{"od", day(2026, 1, 11)}, {"do", day(2026, 1, 14)}});
    removeRecord("NIEOBEC", 2);
    add("NIEOBEC", benefit("    1", kSickness, 100, 2, day(2026, 2, 6), {{"od", day(2026, 2, 2)}, {"do", day(2026, 2, 3)}}));
    add("CZAS_P", {{"nr_prac", text("    1")}, {"data", day(2026, 2, 3)}, {"kod", text("U01")}});
    add("NIEOBEC", benefit("    2", kSickness, 100, 3, day(2026, 2, 5)));
  };
  prepare();
  run("GOTO_KADRY");
  const std::vector<std::string> one = days("    1"), two = days("    2");
  ASSERT_EQ(one, (std::vector<std::string>{"20260111 Z01      1", "20260112 Z01      1", "20260113 Z01      1",
                                           "20260114 Z01      1", "20260202 Z01      3", "20260203 Z01      3"}));
  ASSERT_EQ(two.size(), 3u);

  const std::vector<std::string> watched = {suite::tablePath(*suite::findTable("CZAS_P")) + ".dbf",
                                            suite::tablePath(*suite::findTable("NIEOBEC")) + ".dbf"};
  int kills = 0;
  for (int nth = 1;; ++nth) {
    SCOPED_TRACE("killed before write " + std::to_string(nth));
    prepare();
    if (!killedBeforeWrite(nth, watched, [&] { run("GOTO_KADRY"); })) break;
    ++kills;
    run("GOTO_KADRY");
    EXPECT_EQ(days("    1"), one);
    EXPECT_EQ(days("    2"), two);
  }
  EXPECT_GT(kills, 20);
}

TEST_F(PersonnelTransfer, AVanishedBenefitIsFoundAnywhereInThePeriod) {
  // Its days lie in the period's last month only, and the employee has no day in the first.
  add("NIEOBEC", benefit("    1", kSickness, 100, 2, day(2026, 2, 5), {{"od", day(2026, 2, 3)}, {"do", day(2026, 2, 4)}}));
  range = 4;
  run("GOTO_KADRY");
  ASSERT_EQ(days("    1").size(), 2u);
  removeRecord("NIEOBEC", 1);
  run("GOTO_KADRY");
  EXPECT_TRUE(days("    1").empty());
  EXPECT_EQ(summaryLine(2), "Liczba wykasownych danych: 1");
}

TEST_F(PersonnelTransfer, NewNumbersFollowTheHighestOfTheEmployee) {
  add("NIEOBEC", benefit("    1", kSickness, 100, 1, day(2026, 2, 5), {{"kod_wew", text("     7")}}));
  add("NIEOBEC", benefit("    1", kSickness, 100, 1, day(2026, 2, 6), {{"kod_wew", text("     !")}, {"od", day(2026, 1, 15)}, {"do", day(2026, 1, 15)}}));
  add("NIEOBEC", benefit("    1", kSickness, 100, 1, day(2026, 2, 7), {{"od", day(2026, 1, 20)}, {"do", day(2026, 1, 20)}}));
  add("NIEOBEC", benefit("    2", kSickness, 100, 1, day(2026, 2, 7)));
  run("GOTO_KADRY");
  EXPECT_EQ(record(3)["KOD_WEW"].str(), "     8");
  EXPECT_EQ(record(4)["KOD_WEW"].str(), "     1");
  EXPECT_EQ(days("    1"), (std::vector<std::string>{"20260110 Z01      7", "20260120 Z01      8"}))
      << "a benefit numbered \"!\" is not sent";
  EXPECT_EQ(summaryLine(1), "Liczba przepisanych zasil`ko`w:    3");
}

TEST_F(PersonnelTransfer, OverwrittenHolidaysAreCountedToldAndListed) {
  fs::create_directories(dir / "WYDRUKI");
  add("CZAS_P", {{"nr_prac", text("    1")}, {"data", day(2026, 1, 10)}, {"kod", text("U01")}});
  add("CZAS_P", {{"nr_prac", text("    1")}, {"data", day(2026, 1, 10)}, {"kod", text("P05")}});
  add("CZAS_P", {{"nr_prac", text("    1")}, {"data", day(2026, 1, 11)}, {"kod", text("U02")}});
  add("CZAS_P", {{"nr_prac", text("    1")}, {"data", day(2026, 1, 12)}, {"kod", text("U0")}});
  add("NIEOBEC", benefit("    1", kSickness, 100, 3, day(2026, 2, 5)));
  run("GOTO_KADRY");
  EXPECT_EQ(days("    1").size(), 3u) << "every record of the benefit's days is replaced";
  EXPECT_TRUE(said("Pracownik nr 1 mial` w podanym okresie urlop w liczbie 2 dni,"));
  EXPECT_TRUE(said("Nalex`y sprawdzic` wydruk z pliku url_kas.lst ")) << "the file actually written";

  std::ifstream in(dir / "WYDRUKI" / "url_kas.lst", std::ios::binary);
  std::stringstream content;
  content << in.rdbuf();
  std::string expected = "\r\n\r\nLista pracownikow, ktorym nalezy zmodyfikowac dni urlopu w KADRACH, " +
                         call("DTOC", {call("DATE")}).str() +
                         "\r\nNr   | Nazwisko           | Dni urlopu (na ktore nadpisano zasilek)" +
                         "\r\n    1|Kowalski                      |  2";
  EXPECT_EQ(content.str(), expected);
}

TEST_F(PersonnelTransfer, LockedRecordsAreCriticalErrors) {
  add("NIEOBEC", benefit("    1", kSickness, 100, 3, day(2026, 2, 5)));
  add("NIEOBEC", benefit("    2", kSickness, 100, 3, day(2026, 2, 5)));
  run("GOTO_KADRY");
  ASSERT_EQ(days("    1").size(), 3u);
  change("NIEOBEC", 1, {{"do", day(2026, 1, 13)}});

  // Another workstation holds a day record of the first benefit and the second benefit itself.
  openOwn("CZAS_P", "otherdays");
  call("DBGOTO", {num(2)});
  ASSERT_TRUE(call("DBRLOCK", {num(2)}).logicalOr(false));
  openOwn("NIEOBEC", "otherben");
  ASSERT_TRUE(call("DBRLOCK", {num(2)}).logicalOr(false));
  run("GOTO_KADRY");
  EXPECT_EQ(days("    1").size(), 3u) << "none of the old day records is deleted";
  EXPECT_EQ(summaryLine(4), "Podczas przepisywania zasil`ko`w wysta`pil`y bl`e`dy krytyczne w 2 przypadkach !");
  EXPECT_EQ(summaryLine(0), "Liczba przepisanych pracowniko`w: 0");

  // The employee's record locked: counted among the unavailable ones.
  call("DBSELECTAREA", {text("otherdays")});
  call("DBCLOSEAREA");
  call("DBSELECTAREA", {text("otherben")});
  call("DBCLOSEAREA");
  openOwn("MAIN", "othermain");
  ASSERT_TRUE(call("DBRLOCK", {num(1)}).logicalOr(false));
  run("GOTO_KADRY");
  EXPECT_EQ(summaryLine(3), "Liczba pracowniko`w o niedoste`pnych danych: 1");
  EXPECT_EQ(days("    1").size(), 3u);
  call("DBSELECTAREA", {text("othermain")});
  call("DBCLOSEAREA");

  run("GOTO_KADRY");
  EXPECT_EQ(days("    1").size(), 4u);
  EXPECT_EQ(summaryLine(4), "Nie stwierdzono bl`e`do`w krytycznych!");
}

TEST_F(PersonnelTransfer, TheLockedDayLeavesTheWholeBenefitAsItWas) {
  add("NIEOBEC", benefit("    1", kSickness, 100, 3, day(2026, 2, 5)));  // 10 to 12 January
  run("GOTO_KADRY");
  add("CZAS_P", {{"nr_prac", text("    1")}, {"data", day(2026, 1, 13)}, {"kod", text("P05")}});
  add("NIEOBEC", benefit("    1", kSickness, 100, 3, day(2026, 2, 6), {{"od", day(2026, 1, 20)}, {"do", day(2026, 1, 22)}}));
  add("CZAS_P", {{"nr_prac", text("    1")}, {"data", day(2026, 1, 21)}, {"kod", text("P05")}});
  change("NIEOBEC", 1, {{"do", day(2026, 1, 13)}, {"zasilek", text(kSickness2)}});
  std::vector<std::string> before = days("    1");
  openOwn("CZAS_P", "otherdays");
  ASSERT_TRUE(call("DBRLOCK", {num(4)}).logicalOr(false));   // the 13th
  ASSERT_TRUE(call("DBRLOCK", {num(5)}).logicalOr(false));   // the 21st
  run("GOTO_KADRY");
  call("DBCLOSEAREA");
  EXPECT_EQ(days("    1"), before) << "neither benefit has a day deleted or written";
  EXPECT_EQ(summaryLine(1), "Liczba przepisanych zasil`ko`w:    0");
  EXPECT_EQ(summaryLine(4), "Podczas przepisywania zasil`ko`w wysta`pil`y bl`e`dy krytyczne w 2 przypadkach !");
}

TEST_F(PersonnelTransfer, AFailedAppendStopsTheBenefitAtThatDay) {
  add("CZAS_P", {{"nr_prac", text("    1")}, {"data", day(2026, 1, 11)}, {"kod", text("U01")}});
  add("CZAS_P", {{"nr_prac", text("    1")}, {"data", day(2026, 1, 12)}, {"kod", text("P05")}});
  add("NIEOBEC", benefit("    1", kSickness, 100, 3, day(2026, 2, 5)));  // 10 to 12 January
  int appends = 0;
  rt::NativeFunction append = *rt::functions().find("_APPE_BLAN");
  company_test::Replacements stand;
  stand.replace("_APPE_BLAN", [&appends, append](rt::Args& a) {
    return ++appends == 2 ? yes(false) : append(a);
  });
  run("GOTO_KADRY");
  stand.restore();
  EXPECT_EQ(days("    1"), (std::vector<std::string>{"20260110 Z01      1", "20260111 U01       ", "20260112 P05       "}))
      << "the days from the failed one on stay as they were";
  EXPECT_EQ(summaryLine(1), "Liczba przepisanych zasil`ko`w:    0");
  EXPECT_EQ(summaryLine(4), "Podczas przepisywania zasil`ko`w wysta`pil`y bl`e`dy krytyczne w 1 przypadku !");
  EXPECT_FALSE(said("urlop w liczbie")) << "no holiday was overwritten";

  run("GOTO_KADRY");
  EXPECT_EQ(days("    1"), (std::vector<std::string>{"20260110 Z01      1", "20260111 Z01      1", "20260112 Z01      1"}));
}

// The transfer killed at each write into the day-record table in turn, as a power cut could stop
// it: every live day record is whole, none appended and left blank.
TEST_F(PersonnelTransfer, ATransferKilledAtAnyWriteLeavesNoBlankDayRecord) {
  add("NIEOBEC", benefit("    1", kSickness, 100, 3, day(2026, 2, 5)));
  int kills = 0;
  for (int k = 1; k < 200; ++k) {
    SCOPED_TRACE("killed at write " + std::to_string(k));
    call("DBCLOSEALL");
    createEmptyTables({"CZAS_P"});
    add("CZAS_P", {{"nr_prac", text("    1")}, {"data", day(2026, 1, 11)}, {"kod", text("U01")}});
    const int transfer = rt::db::testing::killedAtWrite(k, "CZAS_P.dbf", [&] {
      run("GOTO_KADRY");
      return 0;
    });
    if (transfer == 0) break;  // the transfer ended before its k-th write
    ++kills;
    // A kill inside a key change leaves the index marked as interrupted; the program's next
    // opening with nobody else on the table rebuilds it, as here.
    {
      rt::db::WorkArea& days = rt::db::workAreas().use(suite::tablePath(*suite::findTable("CZAS_P")) + ".dbf", {});
      if (days.indexesStale()) days.reindex();
      call("DBCLOSEALL");
    }
    for (auto& r : rows("CZAS_P")) {
      EXPECT_NE(r["NR_PRAC"].strOr("").find_first_not_of(' '), std::string::npos) << "a blank day record";
      EXPECT_NE(r["DATA"].date(), 0) << "a day record without its day";
    }
  }
  EXPECT_GE(kills, 6) << "the transfer was killed at each of its writes";
}

TEST_F(PersonnelTransfer, ABenefitThatStoppedCountingLosesItsDayRecords) {
  struct Case {
    const char* what;
    Fields change;
  } cases[] = {{"days not counted", {{"o_zlicz", yes()}}},
               {"a correction", {{"czy_korekt", yes()}}},
               {"no days", {{"l_dni", num(0)}}},
               {"a kind not calculated", {{"zasilek", text(kOther)}}}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    call("DBCLOSEALL");
    createEmptyTables({"NIEOBEC", "CZAS_P"});
    add("NIEOBEC", benefit("    1", kSickness, 100, 3, day(2026, 2, 5)));
    add("CZAS_P", {{"nr_prac", text("    1")}, {"data", day(2026, 1, 3)}, {"kod", text("X01")}, {"kod_wew", text("     !")}});
    run("GOTO_KADRY");
    ASSERT_EQ(days("    1").size(), 4u);
    change("NIEOBEC", 1, c.change);

    // A day record held elsewhere: none of them goes.
    openOwn("CZAS_P", "otherdays");
    ASSERT_TRUE(call("DBRLOCK", {num(3)}).logicalOr(false));
    run("GOTO_KADRY");
    call("DBCLOSEAREA");
    EXPECT_EQ(days("    1").size(), 4u);
    EXPECT_EQ(summaryLine(4), "Podczas przepisywania zasil`ko`w wysta`pil`y bl`e`dy krytyczne w 1 przypadku !");

    run("GOTO_KADRY");
    EXPECT_EQ(days("    1"), (std::vector<std::string>{"20260103 X01      !"}));
    EXPECT_EQ(summaryLine(2), "Liczba wykasownych danych: 1");
  }
}

TEST_F(PersonnelTransfer, TheRunNeedsThePersonnelSettingsAndProgram) {
  add("NIEOBEC", benefit("    1", kSickness, 100, 3, day(2026, 2, 5)));
  fs::remove(dir / "bin" / "kadry.exe");
  run("GOTO_KADRY");
  EXPECT_TRUE(said("Nie zainstalowano modul`u \"KADRY\" - przesyl`anie nie nasta`pi."));
  fs::remove(dir / "KADRY" / "kadry_pp.mem");
  run("GOTO_KADRY");
  EXPECT_TRUE(said("Brak pliku kadry_pp.mem !"));
  EXPECT_TRUE(summary.empty());
  EXPECT_TRUE(days("    1").empty());
}

TEST_F(PersonnelTransfer, EscAtASetUpQuestionAbandonsWithEverythingClosed) {
  add("NIEOBEC", benefit("    1", kSickness, 100, 3, day(2026, 2, 5)));
  run("GOTO_KADRY", {K_ESC});
  monthsBack.clear();
  run("GOTO_KADRY");
  monthsBack = {1, 0};
  fs::remove(dir / "STATUS.dbf");
  run("GOTO_KADRY", {K_ENTER, K_ESC});
  EXPECT_TRUE(summary.empty());
  EXPECT_TRUE(days("    1").empty());
  for (const char* alias : {"main", "sl", "czas_p", "status", "nieobec"}) EXPECT_FALSE(tableOpen(alias)) << alias;

  // Called by name, the set-up left with Esc returns to its caller.
  h.keys({K_ESC});
  EXPECT_NO_THROW(call("INI_GOTO_K"));
  EXPECT_FALSE(tableOpen("main"));
}

TEST_F(PersonnelTransfer, HolidayCodesAreWholeThreeCharacterCodes) {
  rt::PrivateFrame frame(rt::context().memvars);
  rt::context().memvars.declarePrivate("symbol_u_1", text("U01U02X"));
  rt::context().memvars.declarePrivate("symb_ua", rt::Value::newArray(0));
  zus::DEF_TAB_U();
  rt::Value codes = *rt::context().memvars.tryGet("symb_ua");
  ASSERT_EQ(codes.arr().size(), 2u);
  EXPECT_EQ(codes.arr()[0].str(), "U01");
  EXPECT_EQ(codes.arr()[1].str(), "U02");
}

}  // namespace
}  // namespace transfer_test
