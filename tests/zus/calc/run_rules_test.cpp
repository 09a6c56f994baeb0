// Rules around the run: `WPISZ_STAT`'s walk, the break key, the archive question for one
// employee, the insurance start of an employee, the ZUS switch by the employee's dictionary entry,
// the warnings about missing settings, and `_ZASILEK` on the current record handing back
// its daily rate, display texts and parental shortfall through the basis window's variables.
#include "tests/zus/calc/run_fixture.h"

#include <algorithm>

#include "runtime/memfile/memfile.h"
#include "runtime/term/keys.h"
#include "suite/forms/display_text.h"
#include "suite/payroll/payroll_values.h"
#include "tests/support/scoped_functions.h"
#include "zus/calc/run_status.h"

namespace calcrun_test {
namespace {

const char* kStop = "Czy przerwac` obliczanie ?";

void openTables(const char* names, const char* modes) {
  ASSERT_TRUE(rt::functions().call("_OPEN_SET", {txt(names), txt(modes)}).logicalOr(false));
}
void closeTables() { rt::functions().call("_CLOSE_SET", {txt("MAIN")}); }

void setEmployeeField(int n, const char* name, const rt::Value& v) {
  suite::call("DBUSEAREA", {flag(true), rt::Value(), txt(suite::tablePath(*suite::findTable("MAIN")) + ".dbf"),
                            txt("upd"), flag(true), flag(false)});
  suite::call("DBSETORDER", {num(1)});
  ASSERT_TRUE(suite::call("DBSEEK", {txt(employee(n))}).logicalOr(false));
  ASSERT_TRUE(suite::call("RLOCK").logicalOr(false));
  suite::setField(name, v);
  suite::call("DBCOMMIT");
  suite::call("DBCLOSEAREA");
}

// Changes a field of employee n's personnel record (MAIN_2), or deletes the record when `v` is NIL.
void changePersonnelRecord(int n, const char* name, const rt::Value& v) {
  suite::call("DBUSEAREA", {flag(true), rt::Value(), txt(suite::tablePath(*suite::findTable("MAIN_2")) + ".dbf"),
                            txt("upd2"), flag(true), flag(false)});
  suite::call("DBSETORDER", {num(1)});
  ASSERT_TRUE(suite::call("DBSEEK", {txt(employee(n))}).logicalOr(false));
  ASSERT_TRUE(suite::call("RLOCK").logicalOr(false));
  if (v.isNil())
    suite::call("DBDELETE");
  else
    suite::setField(name, v);
  suite::call("DBCOMMIT");
  suite::call("DBCLOSEAREA");
}

std::string yyyymm(int32_t day) {
  int y, m, d;
  suite::splitDayNumber(day, y, m, d);
  char buf[8];
  std::snprintf(buf, sizeof buf, "%04d%02d", y, m);
  return buf;
}

TEST_F(RunCompany, StatusWriteWalksTheEmployeesRecordsOfTheMonth) {
  start([&] {
    register_({
        {3, {{"status", num(4)}}},                                   // 1
        {3, {{"status", num(1)}}},                                   // 2 constant
        {3, {{"status", num(3)}}},                                   // 3 constant saved
        {3, {{"status", num(91)}}},                                  // 4 constant, edited
        {3, {{"status", num(93)}}},                                  // 5
        {3, {{"status", num(2)}, {"zasilek", txt("")}}},             // 6 no kind
        {3, {{"status", num(95)}}},                                  // 7 locked elsewhere
        {3, {{"status", num(2)}, {"od", inNextMonth(1)}, {"do", inNextMonth(4)}, {"dat_wyp", inNextMonth(5)}}},  // 8 next month
        {3, {{"status", num(2)}, {"dat_wyp", inNextMonth(2)}}},      // 9 ends this month, paid next month
        {4, {{"status", num(4)}}},                                   // 10 the next employee
    });
    openTables("MAIN | NIEOBEC", "SS");
    suite::call("DBSELECTAREA", {txt("main")});
    ASSERT_TRUE(suite::call("DBSEEK", {txt(employee(3))}).logicalOr(false));
    suite::call("DBSELECTAREA", {txt("nieobec")});
    suite::call("DBSETORDER", {num(3)});
    ASSERT_TRUE(suite::call("DBSEEK", {txt(employee(3) + yyyymm(month))}).logicalOr(false));
    // Another workstation holds record 7.
    suite::call("DBUSEAREA", {flag(true), rt::Value(), txt(suite::tablePath(*suite::findTable("NIEOBEC")) + ".dbf"),
                              txt("other"), flag(true), flag(false)});
    suite::call("DBGOTO", {num(7)});
    ASSERT_TRUE(suite::call("RLOCK").logicalOr(false));
    suite::call("DBSELECTAREA", {txt("nieobec")});
    ASSERT_TRUE(suite::call("RLOCK").logicalOr(false)) << "the caller's own lock of the first record";
    rt::PrivateFrame frame(rt::context().memvars);
    rt::context().memvars.declarePrivate("_miesp", rt::Value::date(month));
    suite::call("DBSELECTAREA", {txt("main")});
    rt::functions().call("WPISZ_STAT", {num(8)});
    EXPECT_EQ(suite::call("ALIAS").strOr(""), "MAIN") << "the selected area is kept";
    suite::call("DBSELECTAREA", {txt("nieobec")});
    EXPECT_EQ(suite::call("RECNO").intOr(0), 9) << "left after the last record walked, in payout order";
    closeTables();
    suite::call("DBCLOSEALL");
  });
  EXPECT_EQ(numbers("status"), (std::vector<double>{8, 1, 3, 91, 93, 2, 95, 2, 2, 4}));
}

TEST_F(RunCompany, BreakKeyEndsTheRunOrOnlyTheGroup) {
  rt::functions().add("PRZERWANIE", [](rt::Args&) { return flag(true); });
  start([&] {
    // By name, the first employee is employee 23 (Adamczyk Krzysztof).
    register_({{23, {}}, {3, {}}});
    calculate();
    EXPECT_EQ(summary[0], "Liczba przetworzonych pracowniko`w: 1");

    range = 2;
    groups = {"D04", "D02"};  // each group's first employee: 1 of D02, 3 of D04
    register_({{1, {}}, {3, {}}, {5, {}}, {7, {}}});
    calculate();
    EXPECT_EQ(summary[0], "Liczba przetworzonych pracowniko`w: 2");
  });
  EXPECT_EQ(numbers("status"), (std::vector<double>{4, 4, 2, 2}));
}

TEST_F(RunCompany, ArchiveQuestionForOneEmployeeWhoseArchiveIsNotClosed) {
  range = 3;
  for (int answer : {1, 0}) {
    answers = {{kStop, answer}};
    questions.clear();
    comments.clear();
    start([&] {
      setEmployeeField(3, "mies_arc", num(0));
      register_({{3, {{"status", num(1)}, {"wartosc", num(300, 2)}, {"od", inMonth(1)}, {"do", inMonth(2)}}},
                 {3, {{"status", num(2)}}},
                 {3, {{"status", num(4)}}}});
      calculate();
    });
    ASSERT_TRUE(asked(kStop));
    EXPECT_EQ(comments[0], "Mox`e to spowodowac` bl`e`dne obliczenie chorobowego.");
    if (answer) {
      EXPECT_EQ(numbers("status"), (std::vector<double>{3, 2, 4})) << "Tak leaves the employee at once";
      EXPECT_EQ(summary[1], "Liczba obliczonych zasil`ko`w:       1") << "the net amount written before counts";
    } else {
      ASSERT_EQ(comments.size(), 2u);
      EXPECT_EQ(comments[1], "W przypadku przerwania aktualne wartos`ci nie zostana` zmienione.");
      EXPECT_EQ(numbers("wartosc"), (std::vector<double>{300, 800, 800}));
    }
  }
}

TEST_F(RunCompany, ArchiveQuestionNotAskedWhenTheArchiveAgrees) {
  range = 3;
  start([&] {
    register_({{3, {}}});
    calculate();
  });
  EXPECT_FALSE(asked(kStop));
  EXPECT_EQ(numbers("status"), (std::vector<double>{4}));
}

TEST_F(RunCompany, InsuranceStartFromThePersonnelItemElseTheEmploymentDate) {
  const char* kNoStart = "Nie wprowadzono daty pocza`tku ubezpieczenia chorobowego.";
  std::map<std::string, int32_t> seen;  // employee -> `_data_puc` when the basis was asked for
  start([&] {
    test_support::ScopedFunctions stand_podst_obl("PODST_OBL", [&](rt::Args&) {
      seen[suite::field("nr_prac").strOr("")] = rt::context().memvars.get("_data_puc").date();
      rt::context().memvars.assign("podstawa", num(100, 2));
      return flag(true);
    });
    changePersonnelRecord(3, "kd_ubezp", day(2015, 3, 2));
    changePersonnelRecord(5, "kd_ubezp", rt::Value::date(0));
    setEmployeeField(5, "data_zatr", day(2012, 6, 1));
    changePersonnelRecord(7, "", rt::Value());  // no personnel record at all
    register_({{3, {}}, {5, {}}, {7, {}}});
    calculate();
    EXPECT_EQ(seen[employee(3)], suite::dayNumber(2015, 3, 2));
    EXPECT_EQ(seen[employee(5)], suite::dayNumber(2012, 6, 1)) << "an empty item: the employment date";
    EXPECT_FALSE(seen.count(employee(7)));
    EXPECT_FALSE(said(kNoStart)) << "said only when one employee is calculated";
    EXPECT_EQ(numbers("status"), (std::vector<double>{4, 4, 2})) << "without a personnel record nothing is touched";
    EXPECT_EQ(summary[0], "Liczba przetworzonych pracowniko`w: 47") << "but the employee counts as processed";

    range = 3;
    chosenEmployee = 5;
    seen.clear();
    register_({{5, {}}});
    calculate();
    EXPECT_TRUE(said(kNoStart));
    EXPECT_EQ(seen[employee(5)], suite::dayNumber(2012, 6, 1));
  });
}

TEST_F(RunCompany, ZusSwitchByTheEmployeesDictionaryEntry) {
  start([&] {
    rt::context().memvars.assign("zusx_sposob", num(3));
    rt::context().memvars.assign("zusx_slow1", txt("G"));
    setEmployeeField(5, "sl_grupa", txt("G02"));  // a group whose ZUS benefits are not calculated
    setEmployeeField(7, "sl_grupa", txt("G09"));  // a code without a row of the dictionary
    register_({{3, {{"zasilek", txt(kind(1))}}},
               {5, {{"zasilek", txt(kind(1))}, {"podst_zas", num(33, 2)}}},
               {7, {{"zasilek", txt(kind(1))}, {"podst_zas", num(44, 2)}}},
               {9, {{"zasilek", txt(kind(10))}}}});  // employer's sick pay: no switch
    calculate();
    std::sort(basisCalls.begin(), basisCalls.end());  // employees come in the order of their names
    EXPECT_EQ(basisCalls, (std::vector<std::string>{"B001/B008", "B002/B009"}));
    EXPECT_EQ(numbers("wartosc"), (std::vector<double>{800, 0, 0, 800}));
    EXPECT_EQ(numbers("podst_zas"), (std::vector<double>{80, 33, 44, 80}));

    // A dictionary letter without a header row switches everybody off.
    rt::context().memvars.assign("zusx_slow1", txt("Q"));
    basisCalls.clear();
    register_({{3, {{"zasilek", txt(kind(1))}}}});
    calculate();
    EXPECT_TRUE(basisCalls.empty());
  });
}

TEST_F(RunCompany, TheDemoCompanyHasTheContributionsPercentageAFirstCalculationNeeds) {
  double percentage = 0;
  start([&] {
    percentage = rt::context().memvars.get("zusx_sprsk").num();
    register_({{3, {}}});
    calculate();
  });
  EXPECT_DOUBLE_EQ(percentage, 13.71);
  EXPECT_FALSE(said("Nie wprowadzono w parametrach sumy procento`w skl`adek spol`ecznych!"));
  EXPECT_EQ(numbers("status"), (std::vector<double>{4}));
}

// Sets the value of entry `code` of the dictionary table (SLOWNIK), in thousandths for an FTE.
void setDictionaryValue(const std::string& code, int32_t value) {
  suite::call("DBUSEAREA", {flag(true), rt::Value(), txt(suite::tablePath(*suite::findTable("SLOWNIK")) + ".dbf"),
                            txt("upd"), flag(true), flag(false)});
  suite::call("DBSETORDER", {num(0)});
  for (suite::call("DBGOTOP"); !suite::call("EOF").logicalOr(true); suite::call("DBSKIP")) {
    if (suite::field("kod").strOr("") != code) continue;
    ASSERT_TRUE(suite::call("RLOCK").logicalOr(false));
    suite::setField("wart", txt(suite::encodeInputValue(value)));
  }
  suite::call("DBCOMMIT");
  suite::call("DBCLOSEAREA");
}

// A work-time fraction that cannot be one is a critical error of the employee: the record is left
// as it was and the message names the employee and the dictionary entry. Employee 51's entry is
// E02 of the FTE dictionary ETAT; personnel parameters naming the group dictionary read her group
// code G01, which holds no FTE.
TEST_F(RunCompany, AWorkFractionThatCannotBeOneIsACriticalErrorOfTheEmployee) {
  struct Case {
    const char* what;
    int32_t e02;         // thousandths of a full time in E02
    const char* symbol;  // the personnel parameters' FTE dictionary
    const char* entry;   // the entry named
  };
  const Case cases[] = {{"a fraction of 0", 0, "ETAT", "\"E02\" sl`ownika (pole SL_ETAT)"},
                        {"a fraction of 1.5", 1500, "ETAT", "\"E02\" sl`ownika (pole SL_ETAT)"},
                        {"another dictionary", 500, "GRUPA", "\"G01\" sl`ownika (pole SL_GRUPA)"}};
  range = 3;
  chosenEmployee = 51;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    messages.clear();
    start([&] {
      setDictionaryValue("E02", c.e02);
      rt::mem::writeFile(dir + "/KADRY/kadry_pp.mem", {{"symbol_eta", txt(c.symbol)}});
      register_({{51, {{"status", num(2)}, {"wartosc", num(7, 2)}}}});
      calculate();
    });
    EXPECT_EQ(numbers("status"), (std::vector<double>{2}));
    EXPECT_EQ(numbers("wartosc"), (std::vector<double>{7}));
    EXPECT_TRUE(basisCalls.empty());
    EXPECT_TRUE(said("Pracownik 51 Ewa Pawlak:"));
    EXPECT_TRUE(said(c.entry));
    EXPECT_EQ(summary.back(), "Podczas obliczen` zasil`ko`w wysta`pil`y bl`e`dy krytyczne w 1 przypadku !");
  }
  // A half time is one.
  messages.clear();
  start([&] {
    setDictionaryValue("E02", 500);
    rt::mem::writeFile(dir + "/KADRY/kadry_pp.mem", {{"symbol_eta", txt("ETAT")}});
    register_({{51, {}}});
    calculate();
  });
  EXPECT_EQ(numbers("status"), (std::vector<double>{4}));
  EXPECT_EQ(summary.back(), "Nie stwierdzono bl`e`do`w krytycznych!");
}

TEST_F(RunCompany, MissingSettingsAreWarnedAndTheRunGoesOn) {
  start([&] {
    register_({{3, {}}});
    rt::context().memvars.assign("zusx_sprsk", num(0));
    rt::context().memvars.assign("zkdr_du", txt(""));
    rt::Value dan = rt::context().memvars.get("zas_dan");
    dan.arr()[38] = txt("");
    calculate();
  });
  EXPECT_TRUE(said("Nie podl`a`czono daty pocza`tku ubezpieczenia chorobowego."));
  EXPECT_TRUE(said("Nie wprowadzono w parametrach sumy procento`w skl`adek spol`ecznych!"));
  EXPECT_TRUE(said("Nie podl`a`czona minimalna pl`aca krajowa do poro`wnania podstawy!"));
  EXPECT_FALSE(said("Bl`e`dna data archiwizacji")) << "the demo's archiving date is a date";
  EXPECT_EQ(numbers("status"), (std::vector<double>{4}));
}

TEST_F(RunCompany, BenefitValueOnTheCurrentRecordFillsTheWindowsVariables) {
  start([&] {
    int32_t last = suite::lastOfMonth(month);
    int days = last - suite::firstOfMonth(month) + 1;
    register_({{20, {{"zasilek", txt(kind(4))}, {"procent", num(100)}, {"od", inMonth(1)},
                     {"do", rt::Value::date(last)}, {"l_dni", num(days)}}}});
    openTables("MAIN | ARCHIW | NIEOBEC", "SSS");
    suite::call("DBSELECTAREA", {txt("nieobec")});
    suite::call("DBGOTO", {num(1)});
    rt::Memvars& v = rt::context().memvars;
    rt::PrivateFrame frame(v);
    v.declarePrivate("_stawka", num(0));
    v.declarePrivate("tekst_wysw", rt::Value::newArray(4));
    v.declarePrivate("kwota_tmp", num(0));
    v.declarePrivate("kom_mac", flag(false));

    // The parental benefit of the demo archive is 1000.00 for a whole month.
    double value = rt::functions().call("_ZASILEK", {txt(kind(4)), num(days), num(10)}).numOr(-1);
    EXPECT_EQ(value, 10.0 * days);
    EXPECT_EQ(v.get("_stawka").numOr(-1), 10);
    double net = 10.0 * days - double(int64_t(10.0 * days * 0.18 + 0.5));
    EXPECT_NEAR(v.get("kwota_tmp").numOr(-1), 1000 - net, 1e-9);
    EXPECT_EQ(v.get("tekst_wysw").arr()[0].strOr(""), "100");
    EXPECT_EQ(v.get("tekst_wysw").arr()[1].strOr(""), "     10.00");

    // Without the parental link the message comes once per employee.
    v.get("zas_dan").arr()[39] = txt("");
    rt::functions().call("_ZASILEK", {txt(kind(4)), num(days), num(10)});
    rt::functions().call("_ZASILEK", {txt(kind(4)), num(days), num(10)});
    int shown = 0;
    for (const std::string& m : messages)
      if (m.find("Nie podl`a`czone s`wiadczenie rodzicielskie") != std::string::npos) ++shown;
    EXPECT_EQ(shown, 1);
    EXPECT_TRUE(v.get("kom_mac").logicalOr(false));
    closeTables();
  });
}

}  // namespace
}  // namespace calcrun_test

namespace calcrun_test {
namespace {

struct DecisionCase {
  double status;
  zus::calcrun::RecordAction withoutRepeat, withRepeat;
};

TEST(RunRecordDecision, ByStatusAndRepeat) {
  using A = zus::calcrun::RecordAction;
  const DecisionCase cases[] = {
      {0, A::Leave, A::Calculate},      {1, A::NetOnly, A::NetOnly},     {2, A::Calculate, A::Calculate},
      {3, A::Leave, A::NetOnly},        {4, A::Leave, A::Calculate},     {5, A::Calculate, A::Calculate},
      {9, A::Calculate, A::Calculate},  {90, A::Leave, A::Calculate},    {91, A::NetOnly, A::NetOnly},
      {92, A::Calculate, A::Calculate}, {93, A::NetOnly, A::NetOnly},    {94, A::Calculate, A::Calculate},
      {95, A::Calculate, A::Calculate}, {99, A::Calculate, A::Calculate},
  };
  for (const DecisionCase& c : cases) {
    EXPECT_EQ(zus::calcrun::recordAction(c.status, false), c.withoutRepeat) << c.status;
    EXPECT_EQ(zus::calcrun::recordAction(c.status, true), c.withRepeat) << c.status;
  }
}

TEST_F(RunCompany, ProgressWindowNamesTheEmployee) {
  range = 3;
  start([&] {
    register_({{3, {}}});
    calculate();
  });
  EXPECT_NE(screenDuringBasis.find("Aktualnie przetwarzany pracownik"), std::string::npos);
  EXPECT_NE(screenDuringBasis.find("Krzysztof"), std::string::npos) << screenDuringBasis;
  EXPECT_NE(screenDuringBasis.find("Wiśniewski"), std::string::npos);
}

TEST_F(RunCompany, ProgressWindowIsRedrawnAtMostEvery50Ms) {
  // The headless clock stands still but for 60 ms after the sixth employee: the window names the
  // first employee until then, the seventh from then on, and the last one when it closes.
  struct Seen {
    std::string employee, shown;  // the displayed name of the employee and what the window shows
  };
  std::vector<Seen> afterEach;
  std::string lastAtClose, shownAtClose;
  int draws = 0;
  auto nameRow = [] { return int(rt::context().memvars.get("tr_y").intOr(0)); };
  auto nameCol = [] { return int(rt::context().memvars.get("tr_x").intOr(0)); };
  rt::Functions& f = rt::functions();
  rt::NativeFunction breakKey = *f.find("PRZERWANIE"), close = *f.find("TRACE_CLOS"),
                     dispOutAt = *f.find("DISPOUTAT");
  test_support::ScopedFunctions stand;
  stand.replace("DISPOUTAT", [&](rt::Args& a) {
    if (a[0].intOr(-1) == nameRow() && a[1].intOr(-1) == nameCol()) ++draws;
    return dispOutAt(a);
  });
  stand.replace("PRZERWANIE", [&](rt::Args& a) {  // after each employee, with MAIN on that employee
    std::string name = suite::displayText(
        (suite::field("imie").strOr("") + suite::field("nazwisko").strOr("")).substr(0, 37));
    afterEach.push_back({name, h.textAt(nameRow(), nameCol(), 37)});
    if (afterEach.size() == 6) h.advance(0.06);
    return breakKey(a);
  });
  stand.replace("TRACE_CLOS", [&](rt::Args& a) {
    lastAtClose = afterEach.empty() ? "" : afterEach.back().employee;
    shownAtClose = h.textAt(nameRow(), nameCol(), 37);
    return close(a);
  });
  start([&] {
    register_({{3, {}}});
    calculate();
  });
  ASSERT_GT(afterEach.size(), 10u);
  for (size_t i = 0; i < afterEach.size(); ++i) {
    const std::string& expected = i < 6 ? afterEach[0].employee : afterEach[6].employee;
    EXPECT_EQ(afterEach[i].shown.substr(0, expected.size()), expected) << "after employee " << i + 1;
  }
  EXPECT_EQ(shownAtClose.substr(0, lastAtClose.size()), lastAtClose);
  EXPECT_EQ(draws, 3) << "the first employee, the seventh and the last one";
}

TEST_F(RunCompany, AQuestionOfTheRunComesWithItsEmployeeInTheProgressWindow) {
  // The clock stands still, so only the first employee was drawn when employee 3's record asks
  // about the minimum wage's daily rate: the name held back is drawn before the question.
  std::string shownAtQuestion;
  const rt::NativeFunction question = *rt::functions().find("DECYZJA");
  test_support::ScopedFunctions stand_decyzja("DECYZJA", [&](rt::Args& a) {
    if (a[1].strOr("") == kMinimumWage)
      shownAtQuestion = h.lineUtf8(int(rt::context().memvars.get("tr_y").intOr(0)));
    return question(a);
  });
  start([&] {
    register_({
        {3, {{"od", inMonthBack(2, 1)}, {"do", inMonthBack(2, 10)}, {"status", num(4)}, {"druk_podst", num(120, 2)},
             {"suma", num(3600, 2)}, {"te_mies", txt("0102")}, {"fakt_mies", txt(" 1 2")}}},
        {3, {{"nieobec", txt("PBZ")}}},
    });
    calculate();
  });
  ASSERT_TRUE(asked(kMinimumWage));
  EXPECT_NE(shownAtQuestion.find("Krzysztof"), std::string::npos) << shownAtQuestion;
  EXPECT_NE(shownAtQuestion.find("Wiśniewski"), std::string::npos) << shownAtQuestion;
}

TEST_F(RunCompany, EscAfterAFailedOpeningAbandonsTheRun) {
  start([&] {
    register_({{3, {}}});
    // Another workstation holds the register exclusively.
    suite::call("DBUSEAREA", {flag(true), rt::Value(), txt(suite::tablePath(*suite::findTable("NIEOBEC")) + ".dbf"),
                              txt("other"), flag(false), flag(false)});
    h.keys({rt::term::K_ESC});
    calculate();
    EXPECT_FALSE(summaryShown);
    EXPECT_EQ(openAreas(), 1) << "only the other workstation's table is open";
    EXPECT_EQ(h.textUtf8().find("przygotowanie"), std::string::npos);
    suite::call("DBCLOSEALL");
  });
  EXPECT_EQ(numbers("status"), (std::vector<double>{2}));
}

}  // namespace
}  // namespace calcrun_test
