// The RESET export: rows of the chosen groups from the template, the basis history out of the
// saved basis, and the ways an export is refused or cut short.
#include "tests/zus/transfer/reset_fixture.h"

#include "tests/zus/transfer/killed_between_writes.h"

#include <fstream>
#include <functional>

#include "runtime/core/error.h"
#include "tests/support/scoped_functions.h"
#include "zus/calc/saved_basis_record.h"

namespace reset_test {
namespace {

using zus::reset_export::BasisReading;
using zus::reset_export::readBasisHistory;

class ResetExport : public ResetCompany {
 protected:
  bool runExport() {
    messages.clear();
    return call("RS_EKSP").logicalOr(false);
  }
};

TEST_F(ResetExport, ChosenGroupsFillTheCopyOfTheTemplate) {
  const std::string basis = savedBasis(completeBasis());
  // Employee 1 (group D01): a benefit with its own basis, one that re-uses it, one of a kind
  // without a RESET code. Employee 2 (group D02) is not chosen. Employee 3: D01 but not employed.
  add("NIEOBEC", benefit("    1", kSickness, 500, 10, day(2026, 1, 31),
                         {{"od", day(2026, 1, 5)}, {"do", day(2026, 1, 14)}, {"procent", num(80)},
                          {"suma", num(3000, 2)}, {"podst_zas", num(80, 2)}, {"netto", num(430, 2)},
                          {"nr_stat", text(" A  ")}, {"nr_l_4", text("AB1234567")}, {"zapis_pod", text(basis)},
                          {"data_dost", day(2026, 1, 16)}, {"data_otrz", day(2026, 1, 15)}}));
  add("NIEOBEC", benefit("    1", kSickness2, 300, 5, day(2026, 1, 31),
                         {{"od", day(2026, 1, 15)}, {"do", day(2026, 1, 19)}, {"procent", num(100)},
                          {"nieobec", text("PBZ")}, {"nr_stat", text("a")}}));
  add("NIEOBEC", benefit("    1", kOther, 100, 2, day(2026, 1, 31), {{"od", day(2026, 1, 20)}, {"do", day(2026, 1, 21)}}));
  add("NIEOBEC", benefit("    2", kSickness, 700, 7, day(2026, 1, 31)));
  add("MAIN", {{"nr_prac", text("    3")}, {"nazwisko", text("Zwolniony")}, {"status", num(0)}, {"sl_slow1", text("D01")}});
  add("NIEOBEC", benefit("    3", kSickness, 700, 7, day(2026, 1, 31)));

  EXPECT_TRUE(runExport());
  EXPECT_TRUE(messages.empty()) << (messages.empty() ? "" : messages[0]);
  auto rows = exported();
  ASSERT_EQ(rows.size(), 2u);
  auto& a = rows[0];
  EXPECT_EQ(a["ZNACZ1"].str(), "*PR       ");
  EXPECT_EQ(a["NAZWISKO"].str().substr(0, 8), "Kowalski");
  EXPECT_EQ(a["NR_PRAC"].str().substr(0, 5), "    1");
  EXPECT_TRUE(a["UM_PR"].logical());
  EXPECT_EQ(a["DZIAL"].str().substr(0, 9), "Produkcja");
  EXPECT_EQ(a["DATA_ZATRU"].date(), rt::makeDate(2020, 3, 1));
  EXPECT_EQ(a["DATA_OD"].date(), rt::makeDate(2026, 1, 5));
  EXPECT_EQ(a["RODZ_NB"].str().substr(0, 2), "31");
  EXPECT_EQ(a["IL_DNI"].str(), " 10");
  EXPECT_FALSE(a["KONTYN"].logical());
  EXPECT_EQ(a["PROC_ZAS"].num(), 80);
  EXPECT_EQ(a["RODZ_PROC"].str().substr(0, 2), "6 ");  // mapped 6 with 80 %: the code itself
  EXPECT_EQ(a["KOD_CH1"].str().substr(0, 1), "1");
  EXPECT_EQ(a["SERIA"].str().substr(0, 2), "AB");
  EXPECT_EQ(a["NR"].str().substr(0, 7), "1234567");
  EXPECT_EQ(a["POD_WYM"].num(), 3000);
  EXPECT_EQ(a["ZAS_NETTO"].num(), 430);
  EXPECT_DOUBLE_EQ(a["ETAT"].num(), 0.75);
  EXPECT_EQ(a["DATA_WPL"].date(), rt::makeDate(2026, 1, 16));
  EXPECT_EQ(a["DATA_WYST"].date(), rt::makeDate(2026, 1, 15));
  EXPECT_EQ(a["ZNACZ3"].str().substr(0, 4), "*ZHH");
  EXPECT_EQ(a["MC3"].str().substr(0, 2), "3 ");
  EXPECT_EQ(a["MC11"].str().substr(0, 2), "11");
  EXPECT_EQ(a["ROK12"].str().substr(0, 4), "2025");
  EXPECT_EQ(a["PCH2"].num(), 3010);
  EXPECT_EQ(a["DPR1"].num(), 20);
  EXPECT_EQ(a["DNOM12"].num(), 21);
  EXPECT_DOUBLE_EQ(a["ETAT7"].num(), 0.75);
  // The continued benefit: its own codes, the basis of the record before it.
  auto& b = rows[1];
  EXPECT_EQ(b["RODZ_NB"].str().substr(0, 2), "33");
  EXPECT_TRUE(b["KONTYN"].logical());
  EXPECT_EQ(b["RODZ_PROC"].str().substr(0, 2), " 1");  // no percentage mapping, 100 %
  EXPECT_EQ(b["KOD_CH1"].str(), std::string(10, ' '));  // lower-case letter
  EXPECT_EQ(b["PCH12"].num(), 3110);
}

TEST_F(ResetExport, HistoryWrittenByTheCalculationIsReadBack) {
  zus::basis::BasisSet set;
  set.monthCount = {12, 0};
  for (int i = 0; i < 12; ++i) {
    set.months[size_t(i)] = zus::basis::Num{double(i + 1), 0};
    set.years[size_t(i)] = zus::basis::Num{2025, 0};
    set.basis.push_back({1000.5 + i, 2});
    set.filledUp.push_back({2000.25 + i, 2});
    set.daysWorked.push_back({double(18 + i % 3), 0});
    set.workingDays.push_back({21, 0});
    set.calendarDays.push_back({31, 0});
    set.counts.push_back(true);
  }
  auto r = readBasisHistory(zus::basis::savedRecordText(set));
  EXPECT_EQ(r.reading, BasisReading::Complete);
  EXPECT_EQ(r.history.months()[4], 5);
  EXPECT_EQ(r.history.years()[0], 2025);
  EXPECT_DOUBLE_EQ(r.history.basis()[1], 2001.25);
  EXPECT_EQ(r.history.daysWorked()[2], 20);
  EXPECT_EQ(r.history.workingDays()[11], 21);
}

TEST(ResetBasisHistory, ShortAndMalformedRecords) {
  auto lines = completeBasis();
  auto with = [&](size_t line, std::vector<std::string> values) {
    auto l = lines;
    l[line - 1] = std::move(values);
    return savedBasis(l);
  };
  struct Case {
    std::string text;
    BasisReading reading;
    bool months, basis, worked, working;
  } cases[] = {
      {"", BasisReading::Empty, false, false, false, false},
      {savedBasis({lines.begin(), lines.begin() + 7}), BasisReading::Short, false, false, false, false},
      {savedBasis(lines), BasisReading::Complete, true, true, true, true},
      {"   " + savedBasis(lines) + "  ", BasisReading::Complete, true, true, true, true},
      {with(7, series(20, 0, 11)), BasisReading::Short, true, true, false, true},
      {with(8, series(21, 0, 11)), BasisReading::Short, true, true, true, false},
      {with(6, series(3000, 10, 11)), BasisReading::Short, true, false, false, false},
      {with(2, series(1, 1, 11)), BasisReading::Short, false, false, false, false},
      {with(6, {"3000", "x", "3020", "3030", "3040", "3050", "3060", "3070", "3080", "3090", "3100", "3110"}),
       BasisReading::Malformed, true, true, true, true},
  };
  for (const Case& c : cases) {
    auto r = readBasisHistory(c.text);
    SCOPED_TRACE(c.text.substr(0, 40));
    EXPECT_EQ(r.reading, c.reading);
    EXPECT_EQ(r.history.months()[0], c.months ? 1 : 0);
    EXPECT_EQ(r.history.basis()[2], c.basis ? 3020 : 0);
    EXPECT_EQ(r.history.daysWorked()[0], c.worked ? 20 : 0);
    EXPECT_EQ(r.history.workingDays()[0], c.working ? 21 : 0);
  }
  // "NIL" for a month the calculation did not fill counts 0 and is no fault.
  auto nil = with(2, {"1", "2", "NIL", "4", "5", "6", "7", "8", "9", "10", "11", "NIL"});
  EXPECT_EQ(readBasisHistory(nil).reading, BasisReading::Complete);
  EXPECT_EQ(readBasisHistory(nil).history.months()[2], 0);
}

TEST(ResetRowRules, PercentCodeAndSickNoteLetter) {
  using zus::reset_export::letterCodeNumber;
  using zus::reset_export::percentCodeFor;
  const std::tuple<const char*, double, const char*> percent[] = {
      {"", 100, " 1"}, {"0", 100, " 1"}, {"xy", 100, " 1"}, {"", 80, ""},  {"3", 100, " 4"},
      {"3", 80, "3"},  {"6", 75, "13"},  {"6", 100, "14"},  {"6", 80, "6"}, {"12", 100, "12"},
  };
  for (auto [mapped, p, code] : percent) EXPECT_EQ(percentCodeFor(mapped, p), code) << mapped << " " << p;
  const std::pair<const char*, const char*> letters[] = {
      {"A", "1"}, {" A  ", "1"}, {"E", "5"}, {"F", ""}, {"a", ""}, {"A1", ""}, {"", ""}, {"    ", ""},
  };
  for (auto [letter, n] : letters) EXPECT_EQ(letterCodeNumber(letter), n) << "[" << letter << "]";
}

TEST_F(ResetExport, UnreadableBasisIsReportedAndWrittenAsZeros) {
  auto broken = completeBasis();
  broken[6] = series(20, 0, 5);
  add("NIEOBEC", benefit("    1", kSickness, 500, 10, day(2026, 1, 31),
                         {{"zapis_pod", text(savedBasis(broken))}, {"od", day(2026, 1, 5)}}));
  add("NIEOBEC", benefit("    1", kSickness, 500, 3, day(2026, 2, 28),
                         {{"zapis_pod", text("garbage")}, {"od", day(2026, 2, 5)}, {"do", day(2026, 2, 7)}}));
  EXPECT_TRUE(runExport());
  auto rows = exported();
  ASSERT_EQ(rows.size(), 2u);
  EXPECT_EQ(rows[0]["PCH1"].num(), 3000);
  EXPECT_EQ(rows[0]["DPR1"].num(), 0);
  EXPECT_EQ(rows[1]["PCH1"].num(), 0);
  ASSERT_EQ(messages.size(), 1u);
  EXPECT_TRUE(said("zapis niepel`ny"));
  EXPECT_TRUE(said("Kowalski"));
  EXPECT_TRUE(said("05.02.2026") || said("05.02.26")) << messages[0];
}

TEST_F(ResetExport, AContinuationExportsAHistoryOfZeros) {
  add("NIEOBEC", benefit("    1", kSickness, 500, 10, day(2026, 1, 31), {{"nieobec", text("PBZ")}}));
  EXPECT_TRUE(runExport());
  auto rows = exported();
  ASSERT_EQ(rows.size(), 1u);
  EXPECT_TRUE(rows[0]["KONTYN"].logical());
  EXPECT_EQ(rows[0]["ETAT"].num(), 0.75);
  EXPECT_EQ(rows[0]["MC1"].str().substr(0, 2), "0 ");  // a history of zeros: month 0 as text
  EXPECT_EQ(rows[0]["ROK12"].str().substr(0, 2), "0 ");
  EXPECT_EQ(rows[0]["PCH1"].num(), 0);
  EXPECT_TRUE(messages.empty());
}

TEST_F(ResetExport, WithoutTheFullTimeEquivalentTheExportStopsAndKeepsThePreviousFile) {
  add("NIEOBEC", benefit("    1", kSickness, 500, 10, day(2026, 1, 31)));
  ASSERT_TRUE(runExport());
  const std::string mem = "kadry_pp" + suite::memoryFileExtension();
  struct Case {
    const char* what;
    std::function<void()> cause;
    const char* message;
  } cases[] = {
      {"no parameter file in the personnel directory", [&] { fs::remove(dir / "KADRY" / mem); },
       "Brak pliku kadry_pp"},
      {"a parameter file only in the current directory's kadry", [&] {
         fs::remove(dir / "KADRY" / mem);
         fs::create_directories(fs::path("kadry"));
         rt::Memvars& v = rt::context().memvars;
         v.declarePrivate("symbol_eta", text("ETAT"));
         suite::saveMemory("kadry/" + mem, "symbol_eta");
         v.release("symbol_eta");
         rt::context().memvars.assign("_path_kadr", text((dir / "ELSEWHERE").string() + "/"));
       }, "Brak pliku kadry_pp"},
      {"a symbol that names no field", [&] {
         rt::Memvars& v = rt::context().memvars;
         v.declarePrivate("symbol_eta", text("WYMIAR"));
         suite::saveMemory((dir / "KADRY" / mem).string(), "symbol_eta");
         v.release("symbol_eta");
       }, "Symbol sl`ownika etatu \"WYMIAR\""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    rt::Value pathKadr = *rt::context().memvars.tryGet("_path_kadr");
    auto before = fs::last_write_time(dir / "EXP" / "ZAS_EXP.dbf");
    auto size = fs::file_size(dir / "EXP" / "ZAS_EXP.dbf");
    c.cause();
    messages.clear();
    EXPECT_FALSE(runExport());
    EXPECT_TRUE(said(c.message)) << (messages.empty() ? "" : messages[0]);
    EXPECT_TRUE(said("Eksport nie mox`e byc` wykonany."));
    EXPECT_EQ(fs::last_write_time(dir / "EXP" / "ZAS_EXP.dbf"), before);
    EXPECT_EQ(fs::file_size(dir / "EXP" / "ZAS_EXP.dbf"), size);
    EXPECT_FALSE(tableOpen("main"));
    rt::context().memvars.assign("_path_kadr", pathKadr);
  }
}

TEST_F(ResetExport, MissingTemplateIsReportedAndNothingIsExported) {
  fs::remove(dir / "WZR" / "ZAS_WZR.dbf");
  add("NIEOBEC", benefit("    1", kSickness, 500, 10, day(2026, 1, 31)));
  EXPECT_FALSE(runExport());
  EXPECT_TRUE(said("Brak bazy wzorcowej: ZAS_WZR.dbf w katalogu: \nWZR\\\n"));
  EXPECT_FALSE(fs::exists(dir / "EXP" / "ZAS_EXP.dbf"));
  EXPECT_FALSE(tableOpen("main"));
  EXPECT_EQ(rt::context().memvars.typeOf("rs_kat_wzr"), "U");  // released
}

TEST_F(ResetExport, DamagedTemplateStopsTheExportNamingTheCopyAndLeavesNothingOpen) {
  {
    std::fstream f(dir / "WZR" / "ZAS_WZR.dbf", std::ios::binary | std::ios::in | std::ios::out);
    f.seekp(8);
    f.write("\x07\x00", 2);  // header length 7
  }
  add("NIEOBEC", benefit("    1", kSickness, 500, 10, day(2026, 1, 31)));
  std::string file;
  try {
    runExport();
    ADD_FAILURE() << "a damaged template ended the export in silence";
  } catch (const rt::Error& e) {
    EXPECT_EQ(e.kind(), rt::ErrorKind::Corrupt);
    file = e.file();
  }
  EXPECT_NE(file.find("ZAS_EXP.dbf"), std::string::npos) << file;
  EXPECT_FALSE(tableOpen("main"));
  EXPECT_FALSE(tableOpen("zas_exp"));
}

TEST_F(ResetExport, ACopyThatCannotBeOpenedIsReported) {
  add("NIEOBEC", benefit("    1", kSickness, 500, 10, day(2026, 1, 31)));
  ASSERT_TRUE(runExport());
  // RESET itself has the previous export open.
  call("DBUSEAREA", {yes(), rt::Value(), text("EXP/ZAS_EXP.dbf"), text("reset"), yes(), yes()});
  EXPECT_FALSE(runExport());
  call("DBCLOSEAREA");
  EXPECT_TRUE(said("Nie mox`na otworzyc` kopii bazy wzorcowej ZAS_EXP.dbf w katalogu:\nEXP\\\n"));
  EXPECT_FALSE(tableOpen("main"));
  EXPECT_FALSE(tableOpen("zas_exp"));
}

TEST_F(ResetExport, AGroupChosenTwiceIsExportedOnce) {
  add("NIEOBEC", benefit("    1", kSickness, 500, 10, day(2026, 1, 31)));
  chooseGroups({"D01", "D01", "D01 "});
  EXPECT_TRUE(runExport());
  EXPECT_EQ(exported().size(), 1u);
}

TEST_F(ResetExport, AKilledExportLeavesEveryRowOnceAfterTheNextRun) {
  for (int n = 0; n < 4; ++n)
    add("NIEOBEC", benefit("    1", kSickness, 500 + n, 3, day(2026, 1, 31),
                           {{"od", day(2026, 1, 1 + 5 * n)}, {"do", day(2026, 1, 3 + 5 * n)}}));
  auto rowsText = [&] {
    std::vector<std::string> out;
    for (auto& r : exported()) out.push_back(r["NR_PRAC"].str() + rt::dtos(r["DATA_OD"].date()) + r["IL_DNI"].str());
    return out;
  };
  ASSERT_TRUE(runExport());
  const std::vector<std::string> whole = rowsText();
  ASSERT_EQ(whole.size(), 4u);
  int kills = 0;
  for (int nth = 1;; ++nth) {
    SCOPED_TRACE("killed before write " + std::to_string(nth));
    call("DBCLOSEALL");
    if (!transfer_test::killedBeforeWrite(nth, {}, [&] { runExport(); })) break;
    ++kills;
    EXPECT_TRUE(runExport());
    EXPECT_EQ(rowsText(), whole);
  }
  EXPECT_GT(kills, 4);
}

TEST_F(ResetExport, ARowThatFailsHalfWayIsRemovedFromTheCopy) {
  add("NIEOBEC", benefit("    1", kSickness, 500, 10, day(2026, 1, 31)));
  add("NIEOBEC", benefit("    1", kSickness, 600, 3, day(2026, 2, 28), {{"od", day(2026, 2, 5)}, {"do", day(2026, 2, 7)}}));
  // The second row's fill stops between its first fields and the rest.
  int rounds = 0;
  company_test::Replacements stand;
  rt::NativeFunction round = *rt::functions().find("E_ROUND");
  stand.replace("E_ROUND", [&rounds, round](rt::Args& a) -> rt::Value {
    if (++rounds == 2) throw rt::Error(rt::ErrorKind::DataWidth, "Data width error", "E_ROUND");
    return round(a);
  });
  EXPECT_FALSE(runExport());
  stand.restore();
  EXPECT_TRUE(said("Eksport przerwano"));
  call("DBUSEAREA", {yes(), rt::Value(), text("EXP/ZAS_EXP.dbf"), text("check"), yes(), yes()});
  EXPECT_EQ(call("LASTREC").intOr(-1), 1) << "no delete-marked half row for RESET to read";
  call("DBCLOSEAREA");
  EXPECT_EQ(exported().at(0)["ZAS_BR"].num(), 500);
}

TEST_F(ResetExport, TemplateWithoutAFieldOfTheExportIsRefused) {
  makeTemplate(dir / "WZR" / "ZAS_WZR", {"PCH7", "etat"});
  add("NIEOBEC", benefit("    1", kSickness, 500, 10, day(2026, 1, 31)));
  EXPECT_FALSE(runExport());
  EXPECT_TRUE(said("etat, PCH7"));
  EXPECT_TRUE(exported().empty());
}

TEST_F(ResetExport, WithoutAGroupRangeNothingStarts) {
  for (rt::Value tab : {yes(false), text("    1")}) {
    rt::context().memvars.assign("ky_tab", tab);
    EXPECT_FALSE(runExport());
    EXPECT_TRUE(said("Nie wybrano grup pracowniko`w!\nEksport nie mox`e byc` wykonany.\n"));
  }
  EXPECT_FALSE(fs::exists(dir / "EXP" / "ZAS_EXP.dbf"));
}

TEST_F(ResetExport, FailedAppendStopsTheExportKeepingTheRowsWritten) {
  add("NIEOBEC", benefit("    1", kSickness, 500, 10, day(2026, 1, 31)));
  add("NIEOBEC", benefit("    1", kSickness, 600, 3, day(2026, 2, 28), {{"od", day(2026, 2, 5)}, {"do", day(2026, 2, 7)}}));
  int appends = 0;
  rt::NativeFunction real = *rt::functions().find("_APPE_BLAN");
  test_support::ScopedFunctions stand__appe_blan("_APPE_BLAN", [&](rt::Args& a) { return ++appends == 1 ? real(a) : yes(false); });
  EXPECT_FALSE(runExport());
  auto rows = exported();
  ASSERT_EQ(rows.size(), 1u);
  EXPECT_EQ(rows[0]["ZAS_BR"].num(), 500);
  EXPECT_TRUE(said("Eksport przerwano"));
}

TEST_F(ResetExport, ValueTooWideForTheTemplateStopsBeforeItsRow) {
  makeTemplate(dir / "WZR" / "ZAS_WZR", {}, "zas_br");
  add("NIEOBEC", benefit("    1", kSickness, 500, 10, day(2026, 1, 31), {{"wartosc", num(99, 2)}}));
  add("NIEOBEC", benefit("    1", kSickness, 1500, 3, day(2026, 2, 28), {{"od", day(2026, 2, 5)}, {"do", day(2026, 2, 7)}}));
  EXPECT_FALSE(runExport());
  auto rows = exported();
  ASSERT_EQ(rows.size(), 1u);  // the row before; the too wide one was never begun
  EXPECT_EQ(rows[0]["ZAS_BR"].num(), 99);
  EXPECT_TRUE(said("Wartos`c` pola zas_br nie mies`ci sie`"));
}

TEST_F(ResetExport, OrderNotKeyedByTheGroupGivesWayToTheGroupsOrder) {
  add("NIEOBEC", benefit("    1", kSickness, 500, 10, day(2026, 1, 31)));
  saveSettings("WZR\\", "EXP\\", "Z01,,,,31", "", 1, 3);  // order 3: by surname
  EXPECT_TRUE(runExport());
  EXPECT_EQ(exported().size(), 1u);
  // A group field without an order of its own: nothing to walk by, and the user is told.
  rt::context().memvars.assign("ky_index", text("NAZWISKO"));
  EXPECT_FALSE(runExport());
  EXPECT_TRUE(said("Brak indeksu bazy MAIN.dbf wg pola NAZWISKO")) << (messages.empty() ? "" : messages[0]);
  EXPECT_TRUE(exported().empty());
}

TEST_F(ResetExport, GroupNamesOrderAndEmptyDirectories) {
  // Long group names, both groups (given out of order), everything in the current directory.
  fs::copy_file(dir / "WZR" / "ZAS_WZR.dbf", dir / "ZAS_WZR.dbf");
  saveSettings("", "", "Z01,,,,31", "", 2, 4);
  chooseGroups({"D02", "D01", "D77"});
  add("NIEOBEC", benefit("    1", kSickness, 500, 10, day(2026, 1, 31)));
  add("NIEOBEC", benefit("    2", kSickness, 700, 7, day(2026, 1, 31)));
  EXPECT_TRUE(runExport());
  call("DBUSEAREA", {yes(), rt::Value(), text("ZAS_EXP.dbf"), text("check"), yes(), yes()});
  ASSERT_EQ(call("RECCOUNT").intOr(0), 2);
  call("DBGOTOP");
  EXPECT_EQ(suite::field("dzial").str().substr(0, 15), "Dzial produkcji");
  call("DBSKIP");
  EXPECT_EQ(suite::field("nr_prac").str().substr(0, 5), "    2");
  EXPECT_EQ(suite::field("dzial").str(), std::string(30, ' '));  // D02 has no long name
  call("DBCLOSEAREA");
}

}  // namespace
}  // namespace reset_test
