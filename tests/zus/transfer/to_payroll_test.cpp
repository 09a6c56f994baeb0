// The transfer to payroll on a small company: what reaches the payroll input items, how a
// changed, deleted or locked benefit is handled, and how the run ends when the user leaves.
#include <cerrno>

#include "runtime/db/file.h"
#include "runtime/db/lock_scheme.h"
#include "runtime/term/terminal.h"
#include "suite/forms/display_text.h"
#include "tests/zus/transfer/transfer_fixture.h"
#include "zus/transfer/to_payroll.h"

namespace transfer_test {
namespace {

using rt::term::K_ENTER;
using rt::term::K_ESC;

using PayrollTransfer = TransferCompany;

TEST(PayrollSlotMaps, MapBenefitSlotsToDaysSlots) {
  struct Case {
    int slot, current, arrears;
  } cases[] = {{1, 1, 5},  {2, 2, 6},   {3, 3, 7},   {7, 9, 5},   {8, 11, 7}, {9, 20, 7},
               {10, 10, 8}, {11, 11, 11}, {12, 12, 12}, {18, 18, 6}, {20, 12, 5}, {28, 28, 5}, {33, 33, 33}};
  for (const Case& c : cases) {
    EXPECT_EQ(zus::DAJ_IND(c.slot), c.current) << c.slot;
    EXPECT_EQ(zus::JAKI_IND(c.slot), c.arrears) << c.slot;
  }
}

TEST_F(PayrollTransfer, CalculatedBenefitsOfTheMonthReachTheirInputItems) {
  add("NIEOBEC", benefit("    1", kSickness, 500, 10, day(2026, 2, 10), {{"dni_rob", num(3)}}));
  add("NIEOBEC", benefit("    1", kSickness2, 120.5, 4, day(2026, 2, 20)));
  add("NIEOBEC", benefit("    1", kSickness, 99, 2, day(2026, 2, 21), {{"status", num(zus::stat_n_obl)}}));
  add("NIEOBEC", benefit("    1", kSickness, 77, 3, day(2026, 3, 1)));   // paid next month
  add("NIEOBEC", benefit("    2", kSickness, 300, 6, day(2026, 1, 31)));  // paid last month
  run("TO_WRITE");

  EXPECT_EQ(inputItem("    1", "P001"), 50000);
  EXPECT_EQ(inputItem("    1", "D005"), 300) << "arrears days go to the arrears item";
  EXPECT_EQ(inputItem("    1", "D001"), 700) << "the other days to the current-days item";
  EXPECT_EQ(inputItem("    1", "P010"), 12050);
  EXPECT_EQ(inputItem("    1", "D010"), 400);
  EXPECT_EQ(rows("DANE_WE").size(), 5u) << "nothing of the other records was sent";

  auto r = record(1);
  EXPECT_TRUE(r["PLACE"].logical());
  EXPECT_EQ(r["OLD_ZAS"].str(), kSickness);
  EXPECT_EQ(r["OLD_WART"].num(), 500);
  EXPECT_EQ(r["OLD_DNI"].num(), 10);
  EXPECT_FALSE(record(3)["PLACE"].logical());
  EXPECT_FALSE(record(4)["PLACE"].logical());
  EXPECT_EQ(rows("MAIN")[0]["STAT_OBL"].num(), 1);
  EXPECT_EQ(rows("MAIN")[1]["STAT_OBL"].num(), 0);

  EXPECT_EQ(summaryLine(0), "Liczba przepisanych pracowniko`w: 2");
  EXPECT_EQ(summaryLine(1), "Liczba przepisanych zasil`ko`w:    2");
  EXPECT_EQ(summaryLine(3), "Nie stwierdzono bl`e`do`w krytycznych!");
  EXPECT_FALSE(tableOpen("nieobec"));
  EXPECT_FALSE(tableOpen("main"));
  EXPECT_EQ(rt::context().memvars.tryGet("lum_zestaw")->num(), 0);
}

TEST_F(PayrollTransfer, AChangedBenefitReplacesWhatWasSentBefore) {
  add("NIEOBEC", benefit("    1", kSickness, 500, 10, day(2026, 2, 10)));
  run("TO_WRITE");
  ASSERT_EQ(inputItem("    1", "P001"), 50000);

  // Unchanged: nothing is sent again.
  run("TO_WRITE");
  EXPECT_EQ(inputItem("    1", "P001"), 50000);
  EXPECT_EQ(inputItem("    1", "D001"), 1000);
  EXPECT_EQ(summaryLine(1), "Liczba przepisanych zasil`ko`w:    0");

  // Amount and days changed: the old values are taken back, the new ones sent.
  change("NIEOBEC", 1, {{"wartosc", num(620, 2)}, {"l_dni", num(12)}, {"status", num(94)}});
  run("TO_WRITE");
  EXPECT_EQ(inputItem("    1", "P001"), 62000);
  EXPECT_EQ(inputItem("    1", "D001"), 1200);
  EXPECT_EQ(record(1)["OLD_WART"].num(), 620);
  EXPECT_EQ(record(1)["OLD_DNI"].num(), 12);

  // Only the kind changed: amount and days move to the new kind's items.
  change("NIEOBEC", 1, {{"zasilek", text(kSickness2)}});
  run("TO_WRITE");
  EXPECT_EQ(inputItem("    1", "P001"), 0);
  EXPECT_EQ(inputItem("    1", "D001"), 0);
  EXPECT_EQ(inputItem("    1", "P010"), 62000);
  EXPECT_EQ(inputItem("    1", "D010"), 1200);
  EXPECT_EQ(record(1)["OLD_ZAS"].str(), kSickness2);

  // Only the days changed: the amount stays as it is.
  change("NIEOBEC", 1, {{"l_dni", num(11)}});
  run("TO_WRITE");
  EXPECT_EQ(inputItem("    1", "P010"), 62000);
  EXPECT_EQ(inputItem("    1", "D010"), 1100);
}

TEST_F(PayrollTransfer, AnAmountRememberedInTheOldUnitsCountsAsUnchanged) {
  add("NIEOBEC", benefit("    1", kSickness, 500, 10, day(2026, 2, 10),
                         {{"place", yes()}, {"old_zas", text(kSickness)}, {"old_wart", num(50000, 2)}, {"old_dni", num(10)}}));
  run("TO_WRITE");
  EXPECT_EQ(rows("DANE_WE").size(), 0u);
  EXPECT_EQ(summaryLine(1), "Liczba przepisanych zasil`ko`w:    0");
}

TEST_F(PayrollTransfer, OnlySendableStatusesAreSent) {
  int statuses[] = {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 90, 93, 94, 95, 99};
  for (int s : statuses) add("NIEOBEC", benefit("    1", kSickness, 1, 1, day(2026, 2, 10), {{"status", num(s)}}));
  run("TO_WRITE");
  EXPECT_EQ(inputItem("    1", "P001"), 600) << "statuses 1, 3, 4, 7, 93 and 94";
  auto all = rows("NIEOBEC");
  for (size_t i = 0; i < all.size(); ++i) {
    int s = statuses[i];
    bool sent = s == 1 || s == 3 || s == 4 || s == 7 || s == 93 || s == 94;
    EXPECT_EQ(all[i]["PLACE"].logical(), sent) << s;
  }
}

TEST_F(PayrollTransfer, CorrectionsSendNoDaysAndAmountsOnlySettingSendsNone) {
  add("NIEOBEC", benefit("    1", kSickness, 100, 5, day(2026, 2, 10), {{"czy_korekt", yes()}}));
  add("NIEOBEC", benefit("    2", kSickness, 200, 6, day(2026, 2, 10)));
  rt::context().memvars.assign("zusx_plc", num(2));
  run("TO_WRITE");
  EXPECT_EQ(inputItem("    1", "P001"), 10000);
  EXPECT_EQ(inputItem("    2", "P001"), 20000);
  EXPECT_EQ(inputItem("    1", "D001"), 0);
  EXPECT_EQ(inputItem("    2", "D001"), 0);
}

TEST_F(PayrollTransfer, AKindInNoSlotOrWithoutItsItemIsACriticalError) {
  add("NIEOBEC", benefit("    1", kUnlinked, 100, 5, day(2026, 2, 10)));
  rt::Value place = *rt::context().memvars.tryGet("zas_place");
  place.arr()[9] = text("");  // slot 10 loses its amount item
  add("NIEOBEC", benefit("    2", kSickness2, 200, 6, day(2026, 2, 10)));
  run("TO_WRITE");
  EXPECT_TRUE(said("Pracownik nr 1 ma przypisany nieprawidl`owy sl`ownik: KINDZ99"));
  EXPECT_TRUE(said("U pracownika nr 2 brak przypisania danej pl`acowej dla "));
  EXPECT_EQ(rows("DANE_WE").size(), 0u);
  EXPECT_EQ(summaryLine(3), "Podczas przepisywania zasil`ko`w wysta`pil`y bl`e`dy krytyczne w 2 przypadkach !");
  EXPECT_FALSE(record(1)["PLACE"].logical());
}

TEST_F(PayrollTransfer, AMissingDaysItemStopsACountedRecordEvenWhenOnlyAmountsAreSent) {
  rt::Value dni = *rt::context().memvars.tryGet("zas_dni");
  dni.arr()[0] = text("");
  rt::context().memvars.assign("zusx_plc", num(2));
  add("NIEOBEC", benefit("    1", kSickness, 100, 5, day(2026, 2, 10)));
  add("NIEOBEC", benefit("    2", kSickness, 200, 5, day(2026, 2, 10), {{"o_zlicz", yes()}}));
  run("TO_WRITE");
  EXPECT_TRUE(said("U pracownika nr 1 brak przypisania danej pl`acowej \"liczba dni\" dla "));
  EXPECT_EQ(inputItem("    1", "P001"), 0);
  EXPECT_EQ(inputItem("    2", "P001"), 20000) << "days not counted need no days item";
  EXPECT_EQ(summaryLine(3), "Podczas przepisywania zasil`ko`w wysta`pil`y bl`e`dy krytyczne w 1 przypadku !");
}

TEST_F(PayrollTransfer, ANetworkErrorMarksTheRecordAndAFailedTakeBackSendsNothingNew) {
  add("NIEOBEC", benefit("    1", kSickness, 500, 10, day(2026, 2, 10)));
  run("TO_WRITE");
  change("NIEOBEC", 1, {{"wartosc", num(600, 2)}});
  auto realDel = *rt::functions().find("DEL_SKL");
  rt::functions().add("DEL_SKL", [](rt::Args&) { return num(1); });
  run("TO_WRITE");
  rt::functions().add("DEL_SKL", realDel);
  EXPECT_EQ(inputItem("    1", "P001"), 50000) << "the new amount waits until the old one is taken back";
  EXPECT_EQ(record(1)["STATUS"].num(), zus::stat_dost);
  EXPECT_EQ(record(1)["OLD_WART"].num(), 500);
  EXPECT_EQ(summaryLine(4), "Liczba bl`e`do`w doste`pu w sieci:    1");

  // Calculated again, the next run replaces the amount once.
  change("NIEOBEC", 1, {{"status", num(zus::stat_obl)}});
  run("TO_WRITE");
  EXPECT_EQ(inputItem("    1", "P001"), 60000);
}

TEST_F(PayrollTransfer, ArrearsDaysRefusedByPayrollAreSentOnceWhenTheRecordGoesAgain) {
  add("NIEOBEC", benefit("    1", kSickness, 500, 10, day(2026, 2, 10), {{"dni_rob", num(3)}}));
  auto realSav = *rt::functions().find("SAV_SKL");
  rt::functions().add("SAV_SKL", [realSav](rt::Args& a) {
    return a[0].strOr("") == "D005" ? num(1) : realSav(a);
  });
  run("TO_WRITE");
  rt::functions().add("SAV_SKL", realSav);
  EXPECT_EQ(inputItem("    1", "D001"), 700);
  EXPECT_EQ(inputItem("    1", "D005"), 0);
  EXPECT_EQ(record(1)["STATUS"].num(), zus::stat_dost);
  EXPECT_EQ(record(1)["OLD_DNI"].num(), 7) << "the marks keep the days payroll holds";

  change("NIEOBEC", 1, {{"status", num(zus::stat_obl)}});
  run("TO_WRITE");
  EXPECT_EQ(inputItem("    1", "P001"), 50000);
  EXPECT_EQ(inputItem("    1", "D001"), 700);
  EXPECT_EQ(inputItem("    1", "D005"), 300);
  EXPECT_EQ(record(1)["OLD_DNI"].num(), 10);
}

TEST_F(PayrollTransfer, TooMuchInputDataGivesTheEmployeesRecordsTheirStatus) {
  add("NIEOBEC", benefit("    1", kSickness, 500, 10, day(2026, 2, 10)));
  add("NIEOBEC", benefit("    1", kSickness, 100, 2, day(2026, 2, 12), {{"od", day(2026, 1, 25)}, {"do", day(2026, 1, 26)}}));
  rt::functions().add("SAV_SKL", [](rt::Args&) { return num(2); });
  run("TO_WRITE");
  suite::registerPayrollValueFunctions();
  EXPECT_EQ(record(1)["STATUS"].num(), zus::stat_dwej);
  EXPECT_EQ(record(2)["STATUS"].num(), zus::stat_dwej);
  EXPECT_FALSE(record(2)["PLACE"].logical());
  EXPECT_EQ(rows("DANE_WE").size(), 0u);
}

TEST_F(PayrollTransfer, ADeletedBenefitHasWhatWasSentTakenBack) {
  add("NIEOBEC", benefit("    1", kSickness, 500, 10, day(2026, 2, 10)));
  add("NIEOBEC", benefit("    1", kSickness, 100, 2, day(2026, 2, 11)));
  run("TO_WRITE");
  ASSERT_EQ(inputItem("    1", "P001"), 60000);
  removeRecord("NIEOBEC", 1);
  run("TO_WRITE");
  EXPECT_EQ(inputItem("    1", "P001"), 10000);
  EXPECT_EQ(inputItem("    1", "D001"), 200);
  EXPECT_FALSE(record(1)["PLACE"].logical());
  EXPECT_TRUE(record(1)["DELETED"].logical());
  EXPECT_EQ(summaryLine(5), "Liczba usunie`tych zasil`ko`w cofnie`tych z PL`AC: 1");
  // Taken back once only.
  run("TO_WRITE");
  EXPECT_EQ(inputItem("    1", "P001"), 10000);
  EXPECT_EQ(summaryLine(5), "Liczba usunie`tych zasil`ko`w cofnie`tych z PL`AC: 0");
}

// Another workstation takes the benefit register's header lock right after the first payroll
// call of the run and keeps it past the writer's wait, until the next payroll call.
struct HeaderLockAfterPayrollCall {
  HeaderLockAfterPayrollCall() {
    for (const char* routine : {"SAV_SKL", "DEL_SKL"}) {
      rt::NativeFunction real = *rt::functions().find(routine);
      stand.replace(routine, [this, real](rt::Args& a) {
        if (holder.isOpen()) holder.close();
        rt::Value result = real(a);
        if (!fired) {
          fired = true;
          holder = rt::db::File::open(suite::tablePath(*suite::findTable("NIEOBEC")) + ".dbf");
          auto r = rt::db::lockScheme().header();
          EXPECT_TRUE(holder.lockRange(r.offset, r.length));
        }
        return result;
      });
    }
  }
  company_test::Replacements stand;
  rt::db::File holder;
  bool fired = false;
};

TEST_F(PayrollTransfer, MarksThatCannotBeWrittenHaveThePayrollCallGivenBack) {
  struct Case {
    const char* what;
    bool sentBefore;  // the record was sent with 500.00 and 10 days before the failing run
    int afterFailure;  // P001 after the failing run
  } cases[] = {{"a first send", false, 0}, {"a changed amount", true, 50000}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    call("DBCLOSEALL");
    createEmptyTables({"NIEOBEC", "DANE_WE"});
    add("NIEOBEC", benefit("    1", kSickness, 500, 10, day(2026, 2, 10)));
    if (c.sentBefore) {
      run("TO_WRITE");
      change("NIEOBEC", 1, {{"wartosc", num(620, 2)}});
    }
    {
      MarksWriteFault fault;
      run("TO_WRITE");
      EXPECT_TRUE(fault.fired);
    }
    EXPECT_EQ(inputItem("    1", "P001"), c.afterFailure);
    EXPECT_TRUE(said("Pracownik nr 1, zasil`ek Z01 od 10.01.2026: nie zapisano znacznika przesl`ania do PL`AC"));
    EXPECT_TRUE(said("Wartos`c` przesl`ana` do PL`AC cofnie`to"));
    EXPECT_EQ(summaryLine(3), "Podczas przepisywania zasil`ko`w wysta`pil`y bl`e`dy krytyczne w 1 przypadku !");
    EXPECT_EQ(record(1)["PLACE"].logical(), c.sentBefore);

    run("TO_WRITE");
    int expected = c.sentBefore ? 62000 : 50000;
    EXPECT_EQ(inputItem("    1", "P001"), expected) << "the next run leaves the exact amount";
    EXPECT_EQ(inputItem("    1", "D001"), 1000);
    run("TO_WRITE");
    EXPECT_EQ(inputItem("    1", "P001"), expected);
  }
}

// The transfer marks change no index entry: their write needs no header lock, so another
// workstation holding it stops neither the marks nor the payroll call.
TEST_F(PayrollTransfer, MarksAreWrittenWhileTheHeaderLockIsHeldElsewhere) {
  for (const bool sentBefore : {false, true}) {
    SCOPED_TRACE(sentBefore ? "a changed amount" : "a first send");
    call("DBCLOSEALL");
    createEmptyTables({"NIEOBEC", "DANE_WE"});
    add("NIEOBEC", benefit("    1", kSickness, 500, 10, day(2026, 2, 10)));
    if (sentBefore) {
      run("TO_WRITE");
      change("NIEOBEC", 1, {{"wartosc", num(620, 2)}});
    }
    HeaderLockAfterPayrollCall lock;
    run("TO_WRITE");
    EXPECT_TRUE(lock.fired);
    EXPECT_EQ(inputItem("    1", "P001"), sentBefore ? 62000 : 50000);
    EXPECT_EQ(summaryLine(3), "Nie stwierdzono bl`e`do`w krytycznych!");
    EXPECT_TRUE(record(1)["PLACE"].logical());
    EXPECT_EQ(record(1)["OLD_WART"].num(), sentBefore ? 620 : 500);
  }
}

TEST_F(PayrollTransfer, ArrearsDaysAreTakenBackFromTheItemTheyWentTo) {
  add("NIEOBEC", benefit("    1", kSickness, 500, 10, day(2026, 2, 10), {{"dni_rob", num(3)}}));
  run("TO_WRITE");
  ASSERT_EQ(inputItem("    1", "D001"), 700);
  ASSERT_EQ(inputItem("    1", "D005"), 300);
  struct Step {
    int days, arrears, current, inArrears;
  } steps[] = {{12, 3, 900, 300}, {12, 5, 700, 500}, {12, 0, 1200, 0}, {8, 2, 600, 200}};
  for (const Step& s : steps) {
    change("NIEOBEC", 1, {{"l_dni", num(s.days)}, {"dni_rob", num(s.arrears)}});
    run("TO_WRITE");
    EXPECT_EQ(inputItem("    1", "D001"), s.current) << s.days << "/" << s.arrears;
    EXPECT_EQ(inputItem("    1", "D005"), s.inArrears) << s.days << "/" << s.arrears;
    EXPECT_EQ(summary.size(), 6u) << "no note";
  }
  // The arrears item's link changed since: the days come back from the item they went to.
  rt::Value dni = *rt::context().memvars.tryGet("zas_dni");
  dni.arr()[4] = text("");
  change("NIEOBEC", 1, {{"l_dni", num(9)}});
  run("TO_WRITE");
  EXPECT_EQ(inputItem("    1", "D005"), 0);
  EXPECT_EQ(inputItem("    1", "D001"), 900);
}

TEST_F(PayrollTransfer, ARecordSentBeforeTheSplitWasKeptIsTakenBackAsOneAndNoted) {
  add("DANE_WE", {{"nr_prac", text("    1")}, {"kod", text("D001")}, {"wartosc", text(suite::encodeInputValue(700))}});
  add("DANE_WE", {{"nr_prac", text("    1")}, {"kod", text("D005")}, {"wartosc", text(suite::encodeInputValue(300))}});
  add("NIEOBEC", benefit("    1", kSickness, 500, 12, day(2026, 2, 10),
                         {{"dni_rob", num(3)}, {"place", yes()}, {"old_zas", text(kSickness)},
                          {"old_wart", num(500, 2)}, {"old_dni", num(10)}}));
  run("TO_WRITE");
  EXPECT_EQ(inputItem("    1", "D001"), 600);
  EXPECT_EQ(inputItem("    1", "D005"), 600);
  EXPECT_EQ(summaryLine(6), "Pracownik nr 1, zasil`ek Z01 od 10.01.2026: dni cofnie`to z pozycji dni biex`a`cych - "
                            "sprawdz` dni zalegl`e w PL`ACACH");
}

TEST_F(PayrollTransfer, CtrlF3TakesBackWhatWasSentBeforeTheRecordGoesAgainAsNew) {
  add("NIEOBEC", benefit("    1", kSickness, 2278.10, 10, day(2026, 2, 10), {{"dni_rob", num(3)}}));
  run("TO_WRITE");
  ASSERT_EQ(inputItem("    1", "P001"), 227810);
  // Ctrl+F3 in the form on the record; the first time payroll refuses.
  company_test::Replacements stand;
  stand.replace("DEL_SKL", [](rt::Args&) { return num(1); });
  ctrlF3();
  stand.restore();
  EXPECT_TRUE(said("Nie cofnie`to zasil`ku z PL`AC: bl`a`d doste`pu w sieci."));
  EXPECT_TRUE(record(1)["PLACE"].logical()) << "the marks stay";
  EXPECT_EQ(inputItem("    1", "P001"), 227810);

  ctrlF3();
  EXPECT_FALSE(record(1)["PLACE"].logical());
  EXPECT_EQ(record(1)["OLD_WART"].num(), 0);
  EXPECT_EQ(inputItem("    1", "P001"), 0);
  EXPECT_EQ(inputItem("    1", "D001"), 0);
  EXPECT_EQ(inputItem("    1", "D005"), 0);
  run("TO_WRITE");
  EXPECT_EQ(inputItem("    1", "P001"), 227810) << "sent again as new, not doubled";
  EXPECT_EQ(inputItem("    1", "D001"), 700);
  EXPECT_EQ(inputItem("    1", "D005"), 300);
}

// Fails every write of one table.
struct TableWriteFault {
  explicit TableWriteFault(std::string file) {
    rt::db::File::setWriteFault([file](const std::string& path, uint64_t, size_t) {
      std::string name = fs::path(path).filename().string();
      std::transform(name.begin(), name.end(), name.begin(), [](unsigned char c) { return char(std::tolower(c)); });
      return name == file ? EIO : 0;
    });
  }
  ~TableWriteFault() { rt::db::File::setWriteFault({}); }
};

TEST_F(PayrollTransfer, ATableThatFailsToCloseLeavesNothingOpenAndNoLockHeld) {
  add("NIEOBEC", benefit("    1", kSickness, 500, 10, day(2026, 2, 10)));
  const char* aliases[] = {"main", "sl", "dane_we", "archiw", "status", "nieobec"};
  // A set whose table in the middle cannot write its last change.
  ASSERT_TRUE(call("_OPEN_SET", {text("MAIN | SLOWNIK | NIEOBEC | DANE_WE"), text("SSSS")}).logicalOr(false));
  call("DBSELECTAREA", {text("nieobec")});
  call("DBGOTO", {num(1)});
  ASSERT_TRUE(call("DBRLOCK", {num(1)}).logicalOr(false));
  suite::setField("wartosc", num(1, 2));
  {
    TableWriteFault fault("nieobec.dbf");
    EXPECT_ANY_THROW(call("_CLOSE_SET", {text("MAIN")}));
  }
  for (const char* alias : aliases) EXPECT_FALSE(tableOpen(alias)) << alias;
  openOwn("NIEOBEC", "other");
  call("DBGOTO", {num(1)});
  EXPECT_TRUE(call("DBRLOCK", {num(1)}).logicalOr(false)) << "the record lock went with the table";
  call("DBCLOSEAREA");
  EXPECT_EQ(record(1)["WARTOSC"].num(), 500);

  // The run's employee record cannot take its mark at the end: the run still closes everything
  // and says so, and the next run goes ahead.
  range = 3;
  oneEmployee = "    1";
  {
    TableWriteFault fault("main.dbf");
    run("TO_WRITE");
  }
  EXPECT_TRUE(said("Bl`a`d przy zamykaniu tabel: bl`a`d zapisu na dysk"));
  for (const char* alias : aliases) EXPECT_FALSE(tableOpen(alias)) << alias;
  EXPECT_EQ(inputItem("    1", "P001"), 50000);
  change("NIEOBEC", 1, {{"wartosc", num(600, 2)}});
  run("TO_WRITE");
  EXPECT_EQ(summaryLine(1), "Liczba przepisanych zasil`ko`w:    1");
  EXPECT_EQ(inputItem("    1", "P001"), 60000);
  EXPECT_EQ(rows("MAIN")[0]["STAT_OBL"].num(), 1);
}

TEST_F(PayrollTransfer, AnAmountTooLargeForItsItemIsACriticalErrorNeverAWrappedValue) {
  add("DANE_WE", {{"nr_prac", text("    2")}, {"kod", text("P001")}, {"wartosc", text(suite::encodeInputValue(2000000000))}});
  add("NIEOBEC", benefit("    1", kSickness, 30000000, 10, day(2026, 2, 10)));   // over the item's reach
  add("NIEOBEC", benefit("    2", kSickness, 2000000, 10, day(2026, 2, 10)));    // the sum would be
  run("TO_WRITE");
  EXPECT_EQ(inputItem("    1", "P001"), 0);
  EXPECT_EQ(inputItem("    2", "P001"), 2000000000);
  EXPECT_FALSE(record(1)["PLACE"].logical());
  EXPECT_FALSE(record(2)["PLACE"].logical());
  EXPECT_EQ(summaryLine(3), "Podczas przepisywania zasil`ko`w wysta`pil`y bl`e`dy krytyczne w 2 przypadkach !");
}

TEST_F(PayrollTransfer, RecordsLockedElsewhereArePassedBy) {
  add("NIEOBEC", benefit("    1", kSickness, 500, 10, day(2026, 2, 10)));
  add("NIEOBEC", benefit("    2", kSickness, 200, 4, day(2026, 2, 10)));
  openOwn("MAIN", "othermain");
  call("DBGOTO", {num(1)});
  ASSERT_TRUE(call("DBRLOCK", {num(1)}).logicalOr(false));
  openOwn("NIEOBEC", "otherben");
  call("DBGOTO", {num(2)});
  ASSERT_TRUE(call("DBRLOCK", {num(2)}).logicalOr(false));
  run("TO_WRITE");
  EXPECT_EQ(rows("DANE_WE").size(), 0u);
  EXPECT_EQ(summaryLine(0), "Liczba przepisanych pracowniko`w: 2");
  EXPECT_EQ(summaryLine(2), "Liczba pracowniko`w o niedoste`pnych danych: 1");
  EXPECT_EQ(summaryLine(3), "Nie stwierdzono bl`e`do`w krytycznych!") << "a locked benefit is not counted";

  call("DBSELECTAREA", {text("othermain")});
  call("DBCLOSEAREA");
  call("DBSELECTAREA", {text("otherben")});
  call("DBCLOSEAREA");
  run("TO_WRITE");
  EXPECT_EQ(inputItem("    1", "P001"), 50000);
  EXPECT_EQ(inputItem("    2", "P001"), 20000);
}

TEST_F(PayrollTransfer, OneEmployeeRangeSendsOnlyThatEmployee) {
  add("NIEOBEC", benefit("    1", kSickness, 500, 10, day(2026, 2, 10)));
  add("NIEOBEC", benefit("    2", kSickness, 200, 4, day(2026, 2, 10)));
  range = 3;
  oneEmployee = "    2";
  run("TO_WRITE");
  EXPECT_EQ(inputItem("    1", "P001"), 0);
  EXPECT_EQ(inputItem("    2", "P001"), 20000);
  EXPECT_EQ(summaryLine(0), "Liczba przepisanych pracowniko`w: 1");
}

TEST_F(PayrollTransfer, GroupRangesAndTheLibrarysSelectionVisitTheirEmployees) {
  add("MAIN", {{"nr_prac", text("    3")}, {"nazwisko", text("Zielinski")}, {"status", num(0)}, {"sl_slow1", text("D03")}});
  add("NIEOBEC", benefit("    1", kSickness, 100, 1, day(2026, 2, 10)));
  add("NIEOBEC", benefit("    2", kSickness, 200, 1, day(2026, 2, 10)));
  add("NIEOBEC", benefit("    3", kSickness, 300, 1, day(2026, 2, 10)));
  range = 2;
  groups = {"D03", "D01"};
  run("TO_WRITE");
  EXPECT_EQ(inputItem("    1", "P001"), 10000);
  EXPECT_EQ(inputItem("    2", "P001"), 0);
  EXPECT_EQ(inputItem("    3", "P001"), 30000) << "a dismissed employee of the group is visited too";
  EXPECT_EQ(summaryLine(0), "Liczba przepisanych pracowniko`w: 2");

  // The library's selection shows its own progress: the run opens no trace window of its own.
  int traceWindows = 0;  // calls that open or close one
  company_test::Replacements stand;
  stand.replace("TRACE_OPEN", [&traceWindows](rt::Args&) { return ++traceWindows, rt::Value(); });
  stand.replace("TRACE_CLOS", [&traceWindows](rt::Args&) { return ++traceWindows, rt::Value(); });
  range = 4;
  run("TO_WRITE");
  stand.restore();
  EXPECT_EQ(inputItem("    2", "P001"), 20000);
  EXPECT_EQ(summaryLine(1), "Liczba przepisanych zasil`ko`w:    1");
  EXPECT_EQ(traceWindows, 0);
}

TEST_F(PayrollTransfer, ArrearsDaysGoToTheCurrentItemWhenTheirItemIsNotLinked) {
  rt::Value dni = *rt::context().memvars.tryGet("zas_dni");
  dni.arr()[4] = text("");
  add("NIEOBEC", benefit("    1", kSickness, 500, 10, day(2026, 2, 10), {{"dni_rob", num(3)}}));
  run("TO_WRITE");
  EXPECT_EQ(inputItem("    1", "D001"), 1000);
  EXPECT_EQ(rows("DANE_WE").size(), 2u);
}

TEST_F(PayrollTransfer, TheBreakKeyEndsTheLoopAndTheRunStillCloses) {
  add("NIEOBEC", benefit("    1", kSickness, 100, 1, day(2026, 2, 10)));
  add("NIEOBEC", benefit("    2", kSickness, 200, 1, day(2026, 2, 10)));
  // Confirm, then Esc after the first employee and "Tak" to the question whether to stop.
  run("TO_WRITE", {K_ENTER, K_ESC, rt::term::K_LEFT, K_ENTER});
  EXPECT_EQ(inputItem("    1", "P001"), 10000);
  EXPECT_EQ(inputItem("    2", "P001"), 0);
  EXPECT_EQ(summaryLine(0), "Liczba przepisanych pracowniko`w: 1");
  EXPECT_FALSE(tableOpen("nieobec"));
}

TEST_F(PayrollTransfer, TheMonthIsTheWholePayoutMonthWhateverDayThePayrollDateHolds) {
  rt::context().memvars.assign("lum_data", day(2026, 2, 15));
  add("NIEOBEC", benefit("    1", kSickness, 100, 1, day(2026, 2, 1)));
  add("NIEOBEC", benefit("    1", kSickness, 200, 1, day(2026, 2, 28)));
  add("NIEOBEC", benefit("    1", kSickness, 400, 1, day(2026, 3, 10)));
  run("TO_WRITE");
  EXPECT_EQ(inputItem("    1", "P001"), 30000);
}

TEST_F(PayrollTransfer, AnOldAmountAboveTheLimitIsTakenBackInTheCurrentUnits) {
  rt::context().memvars.declarePublic("maxlong", num(100000));
  add("DANE_WE", {{"nr_prac", text("    1")}, {"kod", text("P001")}, {"wartosc", text(suite::encodeInputValue(50000))}});
  add("NIEOBEC", benefit("    1", kSickness, 600, 10, day(2026, 2, 10),
                         {{"place", yes()}, {"old_zas", text(kSickness)}, {"old_wart", num(50000, 2)}, {"old_dni", num(10)}}));
  run("TO_WRITE");
  EXPECT_EQ(inputItem("    1", "P001"), 60000);
  EXPECT_EQ(inputItem("    1", "D001"), 0) << "the days did not change";
  EXPECT_EQ(record(1)["OLD_WART"].num(), 600);
}

TEST_F(PayrollTransfer, LeavingASetUpQuestionAbandonsWithEverythingClosed) {
  add("NIEOBEC", benefit("    1", kSickness, 500, 10, day(2026, 2, 10)));
  // Esc at the confirmation, then a cancelled range, then a cancelled month.
  run("TO_WRITE", {K_ESC});
  range = 0;
  run("TO_WRITE");
  range = 1;
  monthsBack.clear();
  run("TO_WRITE");
  EXPECT_TRUE(summary.empty());
  EXPECT_EQ(rows("DANE_WE").size(), 0u);
  EXPECT_FALSE(tableOpen("main"));

  // A table that cannot be opened: the library's message, and Esc gives up.
  monthsBack = {0};
  fs::remove(dir / "STATUS.dbf");
  rt::Value before = call("SELECT");
  bool named = false, busy = false;
  rt::term::keyboard().setKey(rt::term::K_F10, rt::term::HotKey{[&](const rt::term::WaitState&) {
    named = h.text().find(suite::displayText("brak zbioru STATUS.dbf")) != std::string::npos;
    busy = h.text().find(suite::displayText("ux`ywane przez inne stanowisko")) != std::string::npos;
  }, rt::Value()});
  run("TO_WRITE", {K_ENTER, rt::term::K_F10, K_ESC});
  rt::term::keyboard().setKey(rt::term::K_F10, std::nullopt);
  EXPECT_TRUE(named) << "a missing table is named";
  EXPECT_FALSE(busy) << "a missing table is not called busy";
  EXPECT_TRUE(summary.empty());
  for (const char* alias : {"main", "sl", "dane_we", "archiw", "status", "nieobec"}) EXPECT_FALSE(tableOpen(alias)) << alias;
  EXPECT_EQ(call("SELECT").intOr(-1), before.intOr(-2));

  // Called by name, the set-up left with Esc returns to its caller.
  h.keys({K_ESC});
  EXPECT_NO_THROW(call("INI_WRIT"));
  EXPECT_FALSE(tableOpen("main"));
}

TEST_F(PayrollTransfer, WithoutALinkTheRunDoesNotStart) {
  rt::context().memvars.assign("czy_jest_mem", yes(false));
  add("NIEOBEC", benefit("    1", kSickness, 500, 10, day(2026, 2, 10)));
  run("TO_WRITE");
  EXPECT_TRUE(said("Nie dokonano pol`a`czenia"));
  EXPECT_EQ(rows("DANE_WE").size(), 0u);
}

}  // namespace
}  // namespace transfer_test
