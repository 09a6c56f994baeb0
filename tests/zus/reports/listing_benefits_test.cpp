// The listing of one row per benefit: a listing chosen on the generator's screens and written to
// a file, the per-record callback, the tax, the transfer status, the temporary orders.
#include "zus/reports/listing_benefits.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/wait.h>
#include <unistd.h>

#include "listing_fixture.h"
#include "runtime/term/keyboard.h"
#include "runtime/term/terminal.h"
#include "tests/support/scoped_functions.h"

namespace listing_test {
namespace {

using namespace rt::term;

class BenefitListing : public ListingCompany {};

TEST_F(BenefitListing, ChosenColumnsInTheChosenOrderAreWrittenToTheFileWithTotals) {
  createTables(false);
  someBenefits();
  h.keys(join({{K_ENTER},  // Kolumny
               pick(1),
               pick(5),
               pick(3),
               {K_ESC},  // Nazwisko, Data do, Wartosc
               pick(1),
               pick(2),     // Porzadek: by number and payout date
               pick(2)}));  // Wykonaj
  h.pause(0.5);             // an Esc waiting while the listing prints would cut it short
  h.keys({K_ESC});
  call("G_WYDR_ZAS");
  EXPECT_EQ(printed(),
            "Zestawienie zasiłków ZUS\n"
            "\n"
            "Nazwisko pracownika       Data do    Wartość\n"
            "                                     zasiłku\n"
            "--------------------------------------------------\n"
            "Kowalski                  20.02.2024         80.25\n"
            "Kowalski                  10.02.2024        300.50\n"
            "Nowak                     05.02.2024        120.00\n"
            "Lis                       31.01.2024       1000.00\n"
            "--------------------------------------------------\n"
            "Razem:                                     1500.75\n");
  // The run leaves no table open and nothing behind.
  EXPECT_EQ(call("SELECT", {txt("nieobec")}).num(), 0);
  EXPECT_FALSE(fs::exists(zus::temporaryBagPath()));
}

TEST_F(BenefitListing, EmployeesTheAccessCheckRefusesAreLeftOut) {
  createTables(false);
  someBenefits();
  rt::functions().add("SPRMAINUPR",
                      [](rt::Args&) { return yes(rt::evalText("main->nr_prac").strOr("") != "    2"); });
  h.keys(join({{K_ENTER}, pick(1), {K_ESC}, pick(3)}));
  h.pause(0.5);
  h.keys({K_ESC});
  call("G_WYDR_ZAS");
  std::string text = printed();
  EXPECT_NE(text.find("Kowalski"), std::string::npos);
  EXPECT_EQ(text.find("Nowak"), std::string::npos);
}

TEST_F(BenefitListing, TheBrowseShowsOnlyTheRecordsTheCallbackKeeps) {
  createTables(false);
  someBenefits();
  rt::functions().add("SPRMAINUPR",
                      [](rt::Args&) { return yes(rt::evalText("main->nr_prac").strOr("") != "    2"); });
  // F12 takes a picture of the screen while the browse waits.
  std::string shown;
  keyboard().setKey(K_F12, HotKey{[&](const WaitState&) { shown = h.textUtf8(); }, Value()});
  h.keys(join({pick(4), {K_F12, K_ESC, K_ESC}}));
  call("G_WYDR_ZAS");
  keyboard().setKey(K_F12, std::nullopt);
  EXPECT_NE(shown.find("Kowalski"), std::string::npos) << shown;
  EXPECT_NE(shown.find("Lis"), std::string::npos) << shown;
  EXPECT_EQ(shown.find("Nowak"), std::string::npos) << shown;
  EXPECT_NE(shown.find("Nazwisko"), std::string::npos) << shown;
}

TEST_F(BenefitListing, TheTaxReadsARateBelow100AndAnAmountFrom100OnAndTheAmountIsNeverNegative) {
  createTables(false);
  struct Case {
    double value, rate, entered, amount;
  } cases[] = {
      {1000.00, 18, 180.0, 180.0},
      {2480.52, 150, 150.0, 150.0},    // from 100 on the tax itself, as the card reads it
      {1000.00, 100, 100.0, 100.0},
      {999.60, 18, 180.0, 180.0},      // the value rounds to whole units first
      {1000.00, -5, -50.0, 0.0},
  };
  std::vector<Fields> rows;
  for (const Case& c : cases)
    rows.push_back(
        benefit("    1", "Z01", day(2024, 2, 1), day(2024, 3, 1), c.value, {{"podat", num(c.rate, 2)}}));
  fill("NIEOBEC", rows);
  ASSERT_TRUE(call("_OPEN_SET", {txt("MAIN|SLOWNIK|NIEOBEC"), txt("SSS")}).logical());
  rt::PrivateFrame frame(rt::context().memvars);
  rt::context().memvars.declarePrivate("podatek", num(0));
  rt::context().memvars.declarePrivate("bufor", Value::newArray(0));
  for (size_t i = 0; i < std::size(cases); ++i) {
    SCOPED_TRACE(i);
    call("DBGOTO", {num(double(i + 1))});
    EXPECT_EQ(call("MY_FUN_G").typeLetter(), 'L');
    EXPECT_DOUBLE_EQ(rt::evalText("podatek").num(), cases[i].entered);
    EXPECT_DOUBLE_EQ(rt::evalText("iif ( podatek < 0, 0, podatek )").num(), cases[i].amount);
  }
  call("_CLOSE_SET", {txt("MAIN")});
}

TEST_F(BenefitListing, TheTransferStatusNamesWhetherAndHowTheBenefitWentToPayroll) {
  struct Case {
    bool place;
    const char* kind;
    double days, value;
    const char* text;
  } cases[] = {
      {false, "Z09", 9, 9.99, "Nie przepisany"},  // old values are not looked at
      {true, "Z01", 5, 100.00, "Przepisany"},        {true, "Z01", 6, 100.00, "Przepisany-zmiany"},
      {true, "Z02", 5, 100.00, "Przepisany-zmiany"}, {true, "Z01", 5, 100.01, "Przepisany-zmiany"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    std::string got = call("ZCZYT_STAT", {yes(c.place), txt(c.kind), txt("Z01"), num(c.days), num(5),
                                          num(c.value, 2), num(100, 2)})
                          .str();
    EXPECT_EQ(got.size(), 20u);
    EXPECT_EQ(got.substr(0, std::string(c.text).size()), c.text);
    EXPECT_EQ(got.find_first_not_of(' ', std::string(c.text).size()), std::string::npos);
  }
}

// What the generator is handed, when MAIN has the additional number.
struct Handed {
  bool bagExisted = false;
  std::vector<std::string> orderNames;
  std::vector<std::string> byFirstPseudoOrder, bySecondPseudoOrder;
  int calls = 0;
};

void recordGenerator(Handed& handed) {
  rt::functions().add("GENERUJ", [&handed](rt::Args& a) {
    ++handed.calls;
    handed.bagExisted = fs::exists(zus::temporaryBagPath());
    for (const Value& n : a[8].arr()) handed.orderNames.push_back(n.str());
    auto walk = [&](const Value& block, std::vector<std::string>& out) {
      call("ORDSETFOCUS", {rt::evalBlock(block)});
      for (call("DBGOTOP"); !call("EOF").logical(); call("DBSKIP"))
        out.push_back(rt::evalText("main->nr_pseudo").str().substr(0, 4) + " " +
                      call("DTOC", {rt::evalText("nieobec->dat_wyp")}).str());
    };
    walk(a[7].arr()[3], handed.byFirstPseudoOrder);
    walk(a[7].arr()[4], handed.bySecondPseudoOrder);
    return Value();
  });
}

TEST_F(BenefitListing, OrdersByTheAdditionalNumberLiveInATemporaryBagForTheRunOnly) {
  createTables(true);
  someBenefits();
  // A bag left by an ended process of the same number does not disturb the run.
  { std::ofstream(zus::temporaryBagPath()) << "leftover"; }
  Handed handed;
  recordGenerator(handed);
  call("G_WYDR_ZAS");
  ASSERT_EQ(handed.calls, 1);
  EXPECT_TRUE(handed.bagExisted);
  EXPECT_EQ(handed.orderNames.size(), 5u);
  EXPECT_EQ(handed.orderNames[3], suite::displayText("Wedl`ug nr dod.pracownika i daty do"));
  EXPECT_EQ(handed.byFirstPseudoOrder, (std::vector<std::string>{"A-10 10.03.2024", "B-20 10.02.2024",
                                                                 "K-30 20.03.2024", "K-30 05.03.2024"}));
  EXPECT_EQ(handed.bySecondPseudoOrder, (std::vector<std::string>{"A-10 10.03.2024", "B-20 10.02.2024",
                                                                  "K-30 05.03.2024", "K-30 20.03.2024"}));
  EXPECT_TRUE(rt::context().memvars.get("czy_pseudo").logical());
  EXPECT_FALSE(fs::exists(zus::temporaryBagPath()));
  // The structural index of the register knows nothing of the run's tags.
  ASSERT_TRUE(call("_OPEN_SET", {txt("NIEOBEC"), txt("S")}).logical());
  EXPECT_EQ(call("ORDCOUNT").num(), 5);
  call("_CLOSE_SET", {txt("NIEOBEC")});
}

TEST_F(BenefitListing, TwoProcessesNameTheirTemporaryBagsApart) {
  int pipeEnds[2];
  ASSERT_EQ(::pipe(pipeEnds), 0);
  pid_t child = ::fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    std::string path = zus::temporaryBagPath();
    ssize_t written = ::write(pipeEnds[1], path.data(), path.size());
    ::_exit(written == ssize_t(path.size()) ? 0 : 1);
  }
  ::close(pipeEnds[1]);
  char buffer[512];
  ssize_t n = ::read(pipeEnds[0], buffer, sizeof buffer);
  ::close(pipeEnds[0]);
  int status = 0;
  ::waitpid(child, &status, 0);
  ASSERT_GT(n, 0);
  std::string childs(buffer, size_t(n)), mine = zus::temporaryBagPath();
  EXPECT_NE(childs, mine);
  EXPECT_EQ(fs::path(childs).parent_path(), fs::path(mine).parent_path());
  // Not in the company directory, which other workstations share.
  EXPECT_NE(fs::path(mine).parent_path(), dir);
}

// Both listings say why their tables cannot be opened: a table in use at another workstation
// (held exclusively by another process here) gets the suite's message, which Esc ends; a missing
// table is named. Neither reaches the generator.
TEST_F(BenefitListing, TablesThatCannotBeOpenedAreExplained) {
  createTables(false);
  someBenefits();
  Handed handed;
  recordGenerator(handed);
  int busyMessages = 0;
  test_support::ScopedFunctions stand_kom2("KOM2", [&](rt::Args&) {
    ++busyMessages;
    keyboard().setLastKey(K_ESC);
    return Value();
  });
  int ready[2], release[2];
  ASSERT_EQ(::pipe(ready), 0);
  ASSERT_EQ(::pipe(release), 0);
  pid_t holder = ::fork();
  ASSERT_GE(holder, 0);
  if (holder == 0) {
    ::close(release[1]);
    int fd = ::open((dir / "NIEOBEC.dbf").c_str(), O_RDWR);
    bool held = fd >= 0 && ::flock(fd, LOCK_EX | LOCK_NB) == 0;
    char c = held ? '1' : '0';
    if (::write(ready[1], &c, 1) != 1) ::_exit(2);
    ::read(release[0], &c, 1);  // until the parent is done
    ::_exit(0);
  }
  ::close(release[0]);
  char c = 0;
  ASSERT_EQ(::read(ready[0], &c, 1), 1);
  ASSERT_EQ(c, '1');
  for (const char* entry : {"G_WYDR_ZAS", "G_WYDRZAS2"}) call(entry);
  ::close(release[1]);
  ::waitpid(holder, nullptr, 0);
  EXPECT_EQ(busyMessages, 2);
  EXPECT_EQ(handed.calls, 0);

  fs::remove(dir / "NIEOBEC.dbf");
  for (const char* entry : {"G_WYDR_ZAS", "G_WYDRZAS2"}) call(entry);
  EXPECT_EQ(busyMessages, 2);
  EXPECT_EQ(messages, (std::vector<std::string>(2, "Brak zbioru NIEOBEC.DBF - nie mox`na wykonac` zestawienia.")));
  EXPECT_EQ(handed.calls, 0);
  EXPECT_EQ(call("SELECT", {txt("main")}).num(), 0);
}

TEST_F(BenefitListing, AnEmptyRegisterIsReportedAndTheGeneratorNotCalled) {
  createTables(true);
  Handed handed;
  recordGenerator(handed);
  call("G_WYDR_ZAS");
  EXPECT_EQ(handed.calls, 0);
  ASSERT_EQ(messages.size(), 1u);
  EXPECT_EQ(messages[0], "Baza zasil`ko`w jest pusta !");
  EXPECT_FALSE(fs::exists(zus::temporaryBagPath()));
  EXPECT_EQ(call("SELECT", {txt("main")}).num(), 0);
}

TEST_F(BenefitListing, WithoutTheAdditionalNumberThreeOrdersAndSixBrowseColumns) {
  createTables(false);
  someBenefits();
  size_t orders = 0, browse = 0, catalogue = 0;
  test_support::ScopedFunctions stand_generuj("GENERUJ", [&](rt::Args& a) {
    orders = a[8].arr().size();
    browse = a[9].arr().size();
    catalogue = a[2].arr().size();
    return Value();
  });
  call("G_WYDR_ZAS");
  EXPECT_EQ(orders, 3u);
  EXPECT_EQ(browse, 6u);
  EXPECT_EQ(catalogue, 36u + 2u);  // MAIN has data_zus; two dictionary orders
  EXPECT_FALSE(rt::context().memvars.get("czy_pseudo").logical());
}

}  // namespace
}  // namespace listing_test
