// The calculation run on a small register: which records are calculated, netted or left, what is
// written, locks held by another handle, Esc at the set-up, missing archive data, the basis
// sources by kind, the basis copy of a "PBZ" record, the payout-date kind and the summary.
#include "tests/zus/calc/run_fixture.h"

#include "zus/calc/run_context.h"

namespace calcrun_test {
namespace {

const char* kRepeat = "Czy powto`rzyc` obliczenia dla zasil`ko`w obliczonych poprawnie ?";
const char* kDismissed = "Czy pomimo to go obliczyc` ?";
const std::string kNoKind(3, char(255));

// Records of employee 3 in the month calculated, one per status case; record numbers in comments.
std::vector<Benefit> statusCases(const RunCompany& t) {
  return {
      {3, {{"status", num(2)}}},                                            // 1 not calculated
      {3, {{"status", num(4)}, {"wartosc", num(111, 2)}}},                  // 2 calculated
      {3, {{"status", num(1)}, {"wartosc", num(500, 2)}, {"podat", num(18)}}},  // 3 constant
      {3, {{"status", num(3)}, {"wartosc", num(500, 2)}, {"netto", num(1, 2)}}},  // 4 constant saved
      {3, {{"status", num(94)}}},                                           // 5 edited after calculation
      {3, {{"status", num(95)}}},                                           // 6 error, edited
      {3, {{"status", num(91)}, {"wartosc", num(200, 2)}}},                 // 7 constant, edited
      {3, {{"zasilek", txt("")}}},                                          // 8 no kind
      {3, {{"zasilek", txt(kNoKind)}}},                                     // 9 the no-kind code
      {3, {{"od", t.inNextMonth(1)}, {"do", t.inNextMonth(5)}}},            // 10 next month
      {3, {{"status", num(90)}, {"wartosc", num(90, 2)}}},                  // 11 edited, calculated before
  };
}

TEST_F(RunCompany, RecordsAreDecidedByStatusWithoutRepeat) {
  start([&] {
    register_(statusCases(*this));
    calculate();
  });
  EXPECT_EQ(numbers("status"), (std::vector<double>{4, 4, 3, 3, 4, 4, 3, 2, 2, 2, 90}));
  EXPECT_EQ(numbers("wartosc"), (std::vector<double>{800, 111, 500, 500, 800, 800, 200, 0, 0, 0, 90}));
  EXPECT_EQ(numbers("netto"), (std::vector<double>{800, 0, 410, 1, 800, 800, 200, 0, 0, 0, 0}));
  EXPECT_EQ(numbers("podst_zas"), (std::vector<double>{80, 0, 0, 0, 80, 80, 0, 0, 0, 0, 0}));
  // Sick pay paid by the employer takes the basis of data slot 2 and the auxiliary one of slot 9.
  EXPECT_EQ(basisCalls, (std::vector<std::string>{"B002/B009", "B002/B009", "B002/B009"}));
  ASSERT_EQ(summary.size(), 4u);
  EXPECT_EQ(summary[0], "Liczba przetworzonych pracowniko`w: 47");  // the employed of 51
  EXPECT_EQ(summary[1], "Liczba obliczonych zasil`ko`w:       5");
  EXPECT_EQ(summary[2], "Liczba pracowniko`w o niedoste`pnych danych: 0");
  EXPECT_EQ(summary[3], "Nie stwierdzono bl`e`do`w krytycznych!");
  EXPECT_TRUE(asked(kRepeat));
  EXPECT_EQ(openAreas(), 0) << "the run closes its tables";
}

TEST_F(RunCompany, RepeatCalculatesCorrectRecordsAgain) {
  answers[kRepeat] = 1;
  start([&] {
    register_(statusCases(*this));
    calculate();
  });
  EXPECT_EQ(numbers("status"), (std::vector<double>{4, 4, 3, 3, 4, 4, 3, 2, 2, 2, 4}));
  EXPECT_EQ(numbers("wartosc"), (std::vector<double>{800, 800, 500, 500, 800, 800, 200, 0, 0, 0, 800}));
  EXPECT_EQ(numbers("netto"), (std::vector<double>{800, 800, 410, 500, 800, 800, 200, 0, 0, 0, 800}));
  EXPECT_EQ(summary[1], "Liczba obliczonych zasil`ko`w:       8");
}

TEST_F(RunCompany, LockedRecordIsSkippedAndLockedEmployeeIsUnavailable) {
  start([&] {
    register_({{3, {}}, {3, {{"od", inMonth(14)}, {"do", inMonth(20)}}}, {5, {}}});
    // Another workstation holds benefit record 2 and the record of employee 5.
    suite::call("DBUSEAREA", {flag(true), rt::Value(), txt(suite::tablePath(*suite::findTable("NIEOBEC")) + ".dbf"),
                              txt("other"), flag(true), flag(false)});
    suite::call("DBGOTO", {num(2)});
    ASSERT_TRUE(suite::call("RLOCK").logicalOr(false));
    suite::call("DBUSEAREA", {flag(true), rt::Value(), txt(suite::tablePath(*suite::findTable("MAIN")) + ".dbf"),
                              txt("otherman"), flag(true), flag(false)});
    suite::call("DBSETORDER", {num(0)});
    suite::call("DBGOTO", {num(5)});
    ASSERT_EQ(suite::field("nr_prac").strOr(""), employee(5));
    ASSERT_TRUE(suite::call("RLOCK").logicalOr(false));
    calculate();
    suite::call("DBCLOSEALL");
  });
  EXPECT_EQ(numbers("status"), (std::vector<double>{4, 2, 2}));
  EXPECT_EQ(numbers("wartosc"), (std::vector<double>{800, 0, 0}));
  ASSERT_EQ(summary.size(), 4u);
  EXPECT_EQ(summary[1], "Liczba obliczonych zasil`ko`w:       1");
  EXPECT_EQ(summary[2], "Liczba pracowniko`w o niedoste`pnych danych: 1");
}

TEST_F(RunCompany, EscAtASetUpQuestionAbandonsTheRun) {
  struct Case {
    const char* what;
    std::function<void(RunCompany&)> arrange;
  };
  const Case cases[] = {
      {"range", [](RunCompany& t) { t.range = 0; }},
      {"date kind", [](RunCompany& t) { t.dateKind = 0; }},
      {"month", [](RunCompany& t) { t.monthsBack = -1; }},
      {"repeat question", [](RunCompany& t) { t.answers[kRepeat] = kEsc; }},
  };
  start([&] {
    register_(statusCases(*this));
    for (const Case& c : cases) {
      range = 1, dateKind = 1, monthsBack = 1;
      answers.clear();
      summaryShown = false;
      c.arrange(*this);
      calculate();
      EXPECT_FALSE(summaryShown) << c.what;
      EXPECT_EQ(openAreas(), 0) << c.what << ": the tables opened so far are closed";
      EXPECT_EQ(h.text().find("przygotowanie"), std::string::npos) << c.what;
    }
  });
  EXPECT_EQ(numbers("status"), (std::vector<double>{2, 4, 1, 3, 94, 95, 91, 2, 2, 2, 90})) << "nothing written";
}

TEST_F(RunCompany, MissingArchiveDataIsACriticalError) {
  missingArchive = {employee(3), employee(5)};
  start([&] {
    register_({{3, {{"wartosc", num(55, 2)}, {"netto", num(44, 2)}}}, {5, {}}, {7, {}}});
    calculate();
  });
  EXPECT_EQ(numbers("status"), (std::vector<double>{9, 9, 4}));
  EXPECT_EQ(numbers("wartosc"), (std::vector<double>{55, 0, 800}));
  EXPECT_EQ(numbers("netto"), (std::vector<double>{44, 0, 800}));
  ASSERT_EQ(summary.size(), 4u);
  EXPECT_EQ(summary[1], "Liczba obliczonych zasil`ko`w:       1");
  EXPECT_EQ(summary[3], "Podczas obliczen` zasil`ko`w wysta`pil`y bl`e`dy krytyczne w 2 przypadkach !");
}

TEST_F(RunCompany, KindsTakeTheirBasisFromTheirSource) {
  start([&] {
    rt::context().memvars.assign("zusx_sposob", num(2));  // ZUS-paid benefits are not calculated
    register_({
        {3, {{"czy_kwot", flag(true)}, {"podst_zas", num(50, 2)}}},           // an amount rate
        {5, {{"zasilek", txt(kind(5))}, {"suma", num(2500, 2)}}},             // the average only
        {7, {{"zasilek", txt(kind(1))}, {"podst_zas", num(33, 2)}}},          // ZUS-paid, switched off
        {9, {{"zasilek", txt(kind(4))}, {"procent", num(100)}}},              // maternity, switched off
    });
    calculate();
  });
  EXPECT_EQ(numbers("status"), (std::vector<double>{4, 4, 4, 4}));
  EXPECT_EQ(numbers("wartosc"), (std::vector<double>{500, 3000, 0, 0}));
  EXPECT_EQ(numbers("netto"), (std::vector<double>{500, 0, 0, 0}));
  EXPECT_EQ(numbers("podst_zas"), (std::vector<double>{50, 0, 33, 0}));
  EXPECT_EQ(basisCalls, (std::vector<std::string>{"B037/B038"})) << "only the average kind reads the archive";
}

TEST_F(RunCompany, PbzRecordCopiesTheEarlierBasis) {
  for (int answer : {0, 1}) {
    SCOPED_TRACE(answer ? "minimum-wage rate accepted" : "minimum-wage rate refused");
    answers = {{kMinimumWage, answer}};
    questions.clear();
    basisCalls.clear();
    start([&] {
      register_({
          {3, {{"od", inMonthBack(2, 1)}, {"do", inMonthBack(2, 10)}, {"status", num(4)}, {"druk_podst", num(120, 2)},
               {"suma", num(3600, 2)}, {"te_mies", txt("0102")}, {"fakt_mies", txt(" 1 2")}}},
          {3, {{"zasilek", txt(kind(30))}, {"od", inMonthBack(2, 20)}, {"do", inMonthBack(2, 25)}}},  // not calculable
          {3, {{"nieobec", txt("PBZ")}}},
      });
      calculate();
    });
    EXPECT_TRUE(asked(kMinimumWage)) << "120.00 lies below the minimum wage's daily rate";
    EXPECT_EQ(comments.back(), "Pracownik: 3 Wis`niewski Krzysztof") << "a run of all employees names the one asked about";
    EXPECT_TRUE(basisCalls.empty());
    std::vector<double> basis = numbers("druk_podst");
    ASSERT_EQ(basis.size(), 3u);
    // 4666.00 in the demo's year, less the 13.71% of contributions, / 30.
    EXPECT_EQ(basis[2], answer ? 134.21 : 120);
    EXPECT_EQ(numbers("suma")[2], 3600);
    EXPECT_EQ(column("te_mies")[2].strOr("").substr(0, 5), "0102 ");
    EXPECT_EQ(column("fakt_mies")[2].strOr("").substr(0, 5), " 1 2 ");
    EXPECT_EQ(numbers("wartosc")[2], answer ? 1073.70 : 960);
    EXPECT_EQ(numbers("podst_zas")[2], answer ? 107.37 : 96);
  }
}

TEST_F(RunCompany, PbzLooksBackPastOtherRecordsOnlyTwelveMonths) {
  for (int gap : {14, 10}) {
    SCOPED_TRACE("the record in between ends " + std::to_string(gap) + " months before");
    answers = {{kMinimumWage, 0}};
    start([&] {
      register_({
          {3, {{"od", inMonthBack(16, 1)}, {"do", inMonthBack(16, 10)}, {"status", num(4)},
               {"druk_podst", num(120, 2)}}},
          {3, {{"zasilek", txt(kind(30))}, {"od", inMonthBack(gap, 1)}, {"do", inMonthBack(gap, 5)}}},
          {3, {{"nieobec", txt("PBZ")}}},
      });
      calculate();
    });
    EXPECT_EQ(numbers("druk_podst")[2], gap == 14 ? 0 : 120);
    EXPECT_EQ(numbers("wartosc")[2], gap == 14 ? 0 : 960);
  }
}

TEST_F(RunCompany, PbzAfterRehabilitationTakesItsBasisValorised) {
  for (double valorisation : {110.0, 0.0}) {
    SCOPED_TRACE(valorisation);
    start([&] {
      rt::context().memvars.assign("zusx_rehab", num(valorisation, 2));
      register_({
          {3, {{"zasilek", txt(kind(7))}, {"od", inMonth(1)}, {"do", inMonth(2)}, {"status", num(4)},
               {"druk_podst", num(200, 2)}, {"suma", num(6000, 2)}}},
          {3, {{"zasilek", txt(kind(7))}, {"nieobec", txt("PBZ")}, {"rehab", flag(true)}, {"procent", num(90)}}},
      });
      calculate();
    });
    EXPECT_EQ(numbers("druk_podst")[1], valorisation > 0 ? 220 : 200) << "a percentage never entered keeps the basis";
    EXPECT_EQ(numbers("suma")[1], 6000);
  }
}

TEST_F(RunCompany, PayoutDateKindTakesTheRecordsPaidInTheMonth) {
  dateKind = 2;
  start([&] {
    register_({
        {3, {{"od", inNextMonth(1)}, {"do", inNextMonth(5)}}},                  // paid in the month
        {3, {{"dat_wyp", inNextMonth(2)}}},                                      // paid next month
    });
    calculate();
  });
  EXPECT_EQ(numbers("status"), (std::vector<double>{4, 2}));
}

TEST_F(RunCompany, DismissedSingleEmployeeOnlyAfterConfirmation) {
  range = 3;
  chosenEmployee = 12;  // dismissed in the demo company
  for (int answer : {0, 1}) {
    answers = {{kDismissed, answer}};
    start([&] {
      register_({{12, {{"status", num(4)}}}});
      calculate();
    });
    EXPECT_TRUE(asked(kDismissed));
    EXPECT_FALSE(asked(kRepeat)) << "one employee is always calculated again";
    EXPECT_EQ(numbers("wartosc"), (std::vector<double>{answer ? 800.0 : 0.0}));
    EXPECT_EQ(summary[0], answer ? "Liczba przetworzonych pracowniko`w: 1" : "Liczba przetworzonych pracowniko`w: 0");
  }
}

TEST_F(RunCompany, GroupsAreCalculatedByTheirKeys) {
  range = 2;
  groups = {"D04", "D02"};  // employee n is in department n % 4 + 1
  start([&] {
    register_({{3, {}}, {4, {}}, {5, {}}, {6, {}}, {7, {}}});
    calculate();
  });
  EXPECT_EQ(numbers("status"), (std::vector<double>{4, 2, 4, 2, 4}));
}

TEST_F(RunCompany, PayrollSelectionRunsThroughTheLibrarysLoop) {
  range = 4;
  start([&] {
    register_({{3, {}}, {12, {}}});
    calculate();
  });
  EXPECT_EQ(numbers("status"), (std::vector<double>{4, 2})) << "the library's loop passes the dismissed";
  EXPECT_EQ(summary[0], "Liczba przetworzonych pracowniko`w: 47");
  EXPECT_EQ(openAreas(), 0);
}

TEST_F(RunCompany, NoLinkEndsAtOnceWithTheMessage) {
  start([&] {
    register_({{3, {}}});
    rt::context().memvars.assign("czy_jest_mem", flag(false));
    calculate();
  });
  EXPECT_TRUE(said("Nie dokonano pol`a`czenia modul`o`w ZUS i PL`ACE !"));
  EXPECT_FALSE(summaryShown);
  EXPECT_EQ(numbers("status"), (std::vector<double>{2}));
}

TEST(RunSummary, CountsAndCriticalErrors) {
  zus::calcrun::RunCounters c{3, 7, 1, 0};
  std::vector<std::string> lines = zus::calcrun::summaryLines(c);
  ASSERT_EQ(lines.size(), 4u);
  EXPECT_EQ(lines[0], "Liczba przetworzonych pracowniko`w: 3");
  EXPECT_EQ(lines[2], "Liczba pracowniko`w o niedoste`pnych danych: 1");
  EXPECT_EQ(lines[3], "Nie stwierdzono bl`e`do`w krytycznych!");
  c.critical = 1;
  EXPECT_EQ(zus::calcrun::summaryLines(c)[3], "Podczas obliczen` zasil`ko`w wysta`pil`y bl`e`dy krytyczne w 1 przypadku !");
  c.critical = 12;
  EXPECT_EQ(zus::calcrun::summaryLines(c)[3], "Podczas obliczen` zasil`ko`w wysta`pil`y bl`e`dy krytyczne w 12 przypadkach !");
}

}  // namespace
}  // namespace calcrun_test
