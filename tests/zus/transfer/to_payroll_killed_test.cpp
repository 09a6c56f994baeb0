// The transfer to payroll and the register's take-back killed at each step of each payroll call:
// after a restart and another transfer, payroll holds every value exactly once and the marks say
// so.
#include <signal.h>

#include <algorithm>
#include <cerrno>
#include <fstream>

#include "runtime/db/file.h"
#include "tests/runtime/db/helpers/child_process.h"
#include "tests/zus/transfer/transfer_fixture.h"
#include "zus/transfer/payroll_journal.h"
#include "zus/transfer/to_payroll.h"

namespace transfer_test {
namespace {

class KilledPayrollTransfer : public TransferCompany {
 protected:
  // Runs `body` in a child process that dies with SIGKILL when the payroll step `step` is
  // reached for the `nth` time; whether it was killed there.
  bool killedAt(const char* step, int nth, const std::function<void()>& body) {
    rt::db::testing::Child child([&](int, int) {
      int seen = 0;
      zus::setPayrollStepHook([&](const char* reached) {
        if (std::string(reached) == step && ++seen == nth) ::raise(SIGKILL);
      });
      body();
      return 0;
    });
    return child.wait() == -SIGKILL;
  }

  static fs::path companyDir() { return fs::path(suite::tablePath(*suite::findTable("NIEOBEC"))).parent_path(); }
  static std::string journalOf(const std::string& nr) {
    return zus::PayrollJournal::pathFor(companyDir().string(), nr);
  }
  static bool journalLeft() {
    for (const auto& e : fs::directory_iterator(companyDir()))
      if (e.path().filename().string().rfind("PRZEKAZ_", 0) == 0) return true;
    return false;
  }
};

TEST_F(KilledPayrollTransfer, EveryPayrollItemHoldsOneSendAfterAKillAtAnyStep) {
  // Each benefit is sent with 3 arrears days, so that one change reaches three payroll items.
  struct Case {
    const char* what;
    int calls;                      // payroll calls of the killed operation
    int amount, current, arrears;   // what payroll must hold in the end (hundredths)
  } cases[] = {{"a send", 3, 50000, 700, 300},
               {"a change", 6, 62000, 900, 300},
               {"a deletion taken back", 3, 0, 0, 0},
               {"a Ctrl+F3", 3, 50000, 700, 300}};
  for (const Case& c : cases)
    for (const char* step : {"intent", "payroll", "marks"})
      for (int nth = 1; nth <= c.calls; ++nth) {
        SCOPED_TRACE(std::string(c.what) + ", killed at " + step + " of call " + std::to_string(nth));
        call("DBCLOSEALL");
        createEmptyTables({"NIEOBEC", "DANE_WE", "MAIN"});
        add("MAIN", {{"nr_prac", text("    1")}, {"nazwisko", text("Kowalski")}, {"status", num(1)}});
        add("NIEOBEC", benefit("    1", kSickness, 500, 10, day(2026, 2, 10), {{"dni_rob", num(3)}}));
        std::string what = c.what;
        if (what != "a send") run("TO_WRITE");
        if (what == "a change") change("NIEOBEC", 1, {{"wartosc", num(620, 2)}, {"l_dni", num(12)}});
        if (what == "a deletion taken back") removeRecord("NIEOBEC", 1);

        bool killed = killedAt(step, nth, [&] {
          if (what == "a Ctrl+F3") ctrlF3(true);
          else run("TO_WRITE");
        });
        ASSERT_TRUE(killed);
        // Restarted: the transfer runs again, and once more with nothing left to do.
        for (int again = 0; again < 2; ++again) {
          run("TO_WRITE");
          EXPECT_EQ(inputItem("    1", "P001"), c.amount);
          EXPECT_EQ(inputItem("    1", "D001"), c.current);
          EXPECT_EQ(inputItem("    1", "D005"), c.arrears);
          EXPECT_EQ(summaryLine(3), "Nie stwierdzono bl`e`do`w krytycznych!");
        }
        auto r = record(1);
        EXPECT_EQ(r["PLACE"].logical(), c.amount != 0);
        EXPECT_EQ(r["OLD_WART"].num() * 100, c.amount);
        EXPECT_FALSE(journalLeft());
      }
}

TEST_F(KilledPayrollTransfer, AJournalThatCannotBeSettledKeepsItsEmployeeWaiting) {
  // The first send of record 1 (P001 500.00), noted and then killed.
  zus::PayrollIntent sent;
  sent.nr = "    1";
  sent.recno = 1;
  sent.routine = "SAV_SKL";
  sent.item = "P001";
  sent.change = 50000;
  sent.after = 50000;
  sent.place = true;
  sent.kind = kSickness;
  sent.amount = 500;
  struct Case {
    const char* what;
    std::string journal;  // the text left, or "" for `sent` written whole
    int payrollHeld;      // P001 when the run starts
    bool heldElsewhere;   // another workstation holds the employee
    bool settled;         // the run settles it and sends the benefit once
    const char* said;
  } cases[] = {
      {"cut off while written", "ZAMIAR\n    1\t1\tSAV_S", 0, false, true, nullptr},
      {"damaged", "ZAMIAR\n    1\t1\tSAV_SKL\tP001\t90000\t-\t90000\nT\tZ01\t900.00\t0.00\t-\nKONIEC 00000000\n", 0,
       false, false, "uszkodzony plik dziennika PRZEKAZ_2020202031.JRN"},
      {"the item changed since by payroll", "", 12345, false, false,
       "pozycja P001 w PL`ACACH ma 123.45, a przed przesl`aniem brak pozycji i po nim 500.00"},
      {"the employee held elsewhere", "", 50000, true, false, nullptr},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    call("DBCLOSEALL");
    createEmptyTables({"NIEOBEC", "DANE_WE"});
    add("NIEOBEC", benefit("    1", kSickness, 500, 10, day(2026, 2, 10)));
    if (c.payrollHeld)
      add("DANE_WE", {{"nr_prac", text("    1")}, {"kod", text("P001")}, {"wartosc", text(suite::encodeInputValue(c.payrollHeld))}});
    const std::string path = journalOf("    1");
    if (c.journal.empty()) zus::PayrollJournal::write(path, sent);
    else {
      std::ofstream out(path, std::ios::binary);
      out << c.journal;
    }
    std::string before = c.journal.empty() ? "" : c.journal;
    if (c.heldElsewhere) {
      openOwn("MAIN", "othermain");
      call("DBGOTO", {num(1)});
      ASSERT_TRUE(call("DBRLOCK", {num(1)}).logicalOr(false));
    }
    run("TO_WRITE");
    if (c.heldElsewhere) {
      call("DBSELECTAREA", {text("othermain")});
      call("DBCLOSEAREA");
      EXPECT_EQ(summaryLine(2), "Liczba pracowniko`w o niedoste`pnych danych: 1");
    }
    if (c.said) {
      EXPECT_TRUE(said("Pracownik nr 1: nie rozliczono przerwanego przesl`ania do PL`AC"));
      EXPECT_TRUE(said(c.said));
      EXPECT_EQ(summaryLine(3), "Podczas przepisywania zasil`ko`w wysta`pil`y bl`e`dy krytyczne w 1 przypadku !");
    }
    EXPECT_EQ(inputItem("    1", "P001"), c.settled ? 50000 : c.payrollHeld) << "nothing else of the employee sent";
    EXPECT_EQ(fs::exists(path), !c.settled) << "a journal not settled stays";
    EXPECT_EQ(record(1)["PLACE"].logical(), c.settled);
    if (!c.settled && c.heldElsewhere) {
      // Released, the next run finds payroll holding the send and writes its marks.
      run("TO_WRITE");
      EXPECT_EQ(inputItem("    1", "P001"), 50000);
      EXPECT_TRUE(record(1)["PLACE"].logical());
      EXPECT_FALSE(fs::exists(path));
    }
  }
}

TEST_F(KilledPayrollTransfer, ACallNeitherMarkedNorGivenBackStopsTheEmployeeUntilTheNextRun) {
  add("NIEOBEC", benefit("    1", kSickness, 500, 10, day(2026, 2, 10)));
  add("NIEOBEC", benefit("    1", kSickness, 100, 2, day(2026, 2, 11)));
  {
    // The marks of the first payroll call cannot be written, and payroll refuses to give it back.
    MarksWriteFault fault;
    company_test::Replacements stand;
    stand.replace("DEL_SKL", [](rt::Args&) { return num(1); });
    run("TO_WRITE");
    ASSERT_TRUE(fault.fired);
  }
  EXPECT_TRUE(said("Nie udal`o sie` cofna`c` wartos`ci 500.00 pozycji P001"));
  EXPECT_TRUE(said("poprzednie przesl`anie pracownika nie jest rozliczone"));
  EXPECT_EQ(inputItem("    1", "P001"), 50000) << "nothing more of the employee was sent";
  EXPECT_FALSE(record(1)["PLACE"].logical());
  EXPECT_TRUE(fs::exists(journalOf("    1")));

  run("TO_WRITE");
  EXPECT_EQ(inputItem("    1", "P001"), 60000);
  EXPECT_EQ(inputItem("    1", "D001"), 1200);
  EXPECT_EQ(summaryLine(3), "Nie stwierdzono bl`e`do`w krytycznych!");
  EXPECT_FALSE(journalLeft());
}

}  // namespace
}  // namespace transfer_test
