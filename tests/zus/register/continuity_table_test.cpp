// The continuity check and the date rules by name on real register and employee tables: the
// working copies and MAIN fields they write, and the register's view put back afterwards.
#include <deque>

#include "suite/tables/table_defs.h"
#include "suite/tables/table_ops.h"
#include "tests/support/scoped_functions.h"
#include "tests/zus/register/rules_screen_fixture.h"

namespace {

using rules_test::RulesScreen;

int32_t d(int y, int m, int day) { return rt::makeDate(y, m, day); }
rt::Value date(int y, int m, int day) { return rt::Value::date(d(y, m, day)); }
rt::Value text(const char* s) { return rt::Value::text(s); }
std::string kind(int slot) {
  return "Z" + std::string(slot < 10 ? "0" : "") + std::to_string(slot);
}

class RegisterTables : public RulesScreen {
 protected:
  void SetUp() override {
    RulesScreen::SetUp();
    std::string base = tempDir();
    for (const char* name : {"MAIN", "NIEOBEC"}) {
      const suite::TableDef* def = suite::findTable(name);
      std::string path = base + "/" + def->name;
      suite::createTable(path, *def);
      suite::call("DBUSEAREA", {rt::Value::logical(true), rt::Value(),
                                rt::Value::text(path + ".dbf"), rt::Value::text(def->alias),
                                rt::Value::logical(false), rt::Value::logical(false)});
    }
    suite::call("DBSELECTAREA", {text("main")});
    suite::appendRecord({{"nr_prac", text("    1")},
                         {"status", rt::Value::integer(1)},
                         {"data_zatr", date(2000, 1, 3)},
                         {"dni_ch", rt::Value::integer(30)},
                         {"data_zus", date(2004, 1, 1)}});
    suite::appendRecord({{"nr_prac", text("    5")},
                         {"status", rt::Value::integer(1)},
                         {"data_zatr", date(2000, 1, 3)},
                         {"dni_ch", rt::Value::integer(30)},
                         {"data_zus", date(2004, 1, 1)}});
    suite::call("DBGOTO", {rt::Value::integer(1)});  // the register stands on employee 1
    rt::Value zasZus = rt::Value::newArray(0), zasDni = rt::Value::newArray(0);
    for (int n = 1; n <= 33; ++n) {
      zasZus.arr().push_back(rt::Value::text(kind(n)));
      zasDni.arr().push_back(text(""));
    }
    set("zas_zus", zasZus);
    set("zas_dni", zasDni);
    set("nr_pracusia", text("    1"));
    set("suma_dni1", rt::Value::integer(30));
    set("lum_data", date(2011, 6, 15));
    set("ord_baz", rt::Value::integer(5));
    set("czy_new", rt::Value::logical(true));
    set("_zasilek", text("Z01"));
    set("_nieobec", text(""));
    set("_byl_kom", rt::Value::logical(false));
    set("wier", rt::Value::integer(6));
    set("kol", rt::Value::integer(1));
    set("zusx_pole", text("data_zwol"));
    set("zusx_zatr", text("data_zatr"));

    suite::call("DBSELECTAREA", {text("nieobec")});
    addBenefit("    2", 1, d(2005, 3, 1), d(2005, 3, 5));
    addBenefit("    5", 1, d(2005, 1, 10), d(2005, 1, 20));
    addBenefit("    1", 7, d(2011, 4, 1), d(2011, 4, 30));
    addBenefit("    1", 7, d(2011, 5, 1), d(2011, 5, 31));
    addBenefit("    3", 7, d(2011, 5, 1), d(2011, 5, 31));

    rt::functions().add("DECYZJA", [this](rt::Args& a) {
      questions.push_back(a[1].strOr(""));
      if (answers.empty()) return rt::Value::logical(a[0].logicalOr(false));
      bool yes = answers.front();
      answers.pop_front();
      return rt::Value::logical(yes);
    });
    for (const char* name : {"ZLICZ_CHOR", "SUMA_DN", "OK_POM_DZ", "SZUK_PROC", "DAJ_SCOPY"})
      if (!rt::functions().has(name))
        rt::functions().add(name, [](rt::Args&) { return rt::Value(); });
    browseEmployee(4);
  }

  // The employee of the sickness in January 2005: MAIN record 2, register record 2.
  void chooseSecondEmployee() {
    set("nr_pracusia", text("    5"));
    suite::call("DBSELECTAREA", {text("main")});
    suite::call("DBGOTO", {rt::Value::integer(2)});
    browseEmployee(2, "    5");
  }

  void addBenefit(const char* employee, int slot, int32_t from, int32_t to) {
    suite::appendRecord({{"nr_prac", text(employee)},
                         {"zasilek", rt::Value::text(kind(slot))},
                         {"od", rt::Value::date(from)},
                         {"do", rt::Value::date(to)},
                         {"dat_wyp", rt::Value::date(to + 5)},
                         {"l_dni", rt::Value::integer(to - from + 1)}});
  }

  // The register's view: browse order, the employee's scope, standing on record `recno`.
  void browseEmployee(int recno, const char* employee = "    1") {
    rt::db::WorkArea& area = *rt::db::workAreas().byAlias("nieobec");
    rt::db::workAreas().select(area.number());
    area.setOrder(5);
    area.setScope(0, text(employee));
    area.setScope(1, text(employee));
    area.goTo(uint32_t(recno));
  }
  void expectViewKept(int recno, const char* employee = "    1") {
    rt::db::WorkArea& area = *rt::db::workAreas().byAlias("nieobec");
    EXPECT_EQ(area.order(), 5);
    EXPECT_EQ(area.recno(), uint32_t(recno));
    EXPECT_EQ(area.scope(0).strOr(""), employee);
    EXPECT_EQ(area.scope(1).strOr(""), employee);
  }
  static rt::Value mainField(const char* name) {
    return rt::context().fields->readAliasField("main", name);
  }

  std::vector<std::string> questions;
  std::deque<bool> answers;
};

TEST_F(RegisterTables, StartDateAfterALongBreakResetsTheCounterAndTheCountStart) {
  chooseSecondEmployee();
  set("_od", date(2005, 5, 15));
  set("_do", date(2005, 5, 10));
  answers = {true};
  EXPECT_TRUE(
      rt::functions().call("OK_OD", {date(2005, 5, 15), rt::Value::logical(true)}).logical());
  EXPECT_EQ(questions, (std::vector<std::string>{"Czy to zrobic` ? "}));
  EXPECT_EQ(mainField("dni_ch").num(), 0);
  EXPECT_EQ(mainField("data_do").date(), d(2005, 1, 20));
  EXPECT_EQ(var("suma_dni1").num(), 0);
  EXPECT_EQ(mainField("data_zus").date(), d(2005, 5, 15));  // a new start of the count
  EXPECT_EQ(var("_dat_zus").date(), d(2004, 1, 1));
  EXPECT_EQ(var("_do").date(), d(2005, 5, 15));
  EXPECT_EQ(var("_data_prawa").date(), d(2005, 5, 15));
  ASSERT_EQ(messages.size(), 1u);
  EXPECT_EQ(messages[0].substr(0, 47), "Nasta`pil`o przerwanie cia`gl`os`ci zasil`ko`w.");
  expectViewKept(2, "    5");
}

TEST_F(RegisterTables, ASecondPassThroughTheStartDateKeepsTheCountStartToGiveBack) {
  chooseSecondEmployee();
  set("_dat_zus", date(2004, 1, 1));  // as the form opened
  set("_do", date(2005, 5, 10));
  answers = {false, false};
  for (int pass = 0; pass < 2; ++pass) {
    set("_od", date(2005, 5, 15));
    EXPECT_TRUE(
        rt::functions().call("OK_OD", {date(2005, 5, 15), rt::Value::logical(true)}).logical());
    EXPECT_EQ(mainField("data_zus").date(), d(2005, 5, 15)) << pass;
    // Leaving the form without saving puts back the start the form opened with.
    EXPECT_EQ(var("_dat_zus").date(), d(2004, 1, 1)) << pass;
  }
}

TEST_F(RegisterTables, ContinuityHandsThePreviousEndBackByReference) {
  chooseSecondEmployee();
  rt::Value previousEnd;
  rt::Args args;
  args.push(date(2005, 3, 10));
  args.push(rt::Value::logical(true));
  args.push(previousEnd, &previousEnd);
  answers = {false};
  EXPECT_TRUE(rt::functions().call("CZY_MOZNA", args).logical());
  ASSERT_TRUE(previousEnd.isDate());
  EXPECT_EQ(previousEnd.date(), d(2005, 1, 20));
  EXPECT_EQ(questions,
            (std::vector<std::string>{"Czy wczytac` poprzednia` podstawe` wymiaru zasil`ku ?"}));
  EXPECT_EQ(var("_nieobec").strOr("?"), "");
  expectViewKept(2, "    5");

  // A start on the last end date is refused once, with the message.
  rt::Args again;
  again.push(date(2005, 1, 20));
  again.push(rt::Value::logical(true));
  EXPECT_FALSE(rt::functions().call("CZY_MOZNA", again).logical());
  EXPECT_EQ(messages.back(), "Data kon`cza`ca poprzedni zasil`ek jest identyczna !");
  EXPECT_TRUE(var("_byl_kom").logical());
}

TEST_F(RegisterTables, ChainDaysAndCurrentKindKeepTheView) {
  browseEmployee(4);
  EXPECT_EQ(
      rt::functions().call("DNI_REH_SZP", {text("    1"), text("Z07"), date(2011, 6, 1)}).num(),
      61);
  EXPECT_EQ(
      rt::functions().call("DNI_REH_SZP", {text("    1"), text("Z07"), date(2011, 5, 1)}).num(),
      30);
  EXPECT_EQ(
      rt::functions().call("DNI_REH_SZP", {text("    1"), text("Z01"), date(2011, 6, 1)}).num(), 0);
  expectViewKept(4);
  EXPECT_TRUE(rt::functions().call("SPR_REHAB", {text("Z07")}).logical());
  EXPECT_FALSE(rt::functions().call("SPR_REHAB", {text("Z07 ")}).logical());
}

TEST_F(RegisterTables, EndDateByNameStoresDaysAndPercentage) {
  set("_zasilek", text("Z07"));
  set("_od", date(2011, 6, 1));
  set("_do", date(2011, 6, 20));
  set("_data_prawa", date(2011, 6, 1));
  set("_l_dni", rt::Value::integer(1));
  set("_proc", rt::Value::integer(0));
  set("_old_dni", rt::Value::integer(0));
  browseEmployee(4);
  EXPECT_TRUE(rt::functions().call("OK_DO").logical());
  EXPECT_EQ(var("_l_dni").num(), 20);
  // 61 days of the chain before: 81 in all, crossing the 90th day is not reached yet.
  EXPECT_EQ(var("_proc").num(), 90);
  EXPECT_TRUE(messages.empty());
  set("_do", date(2011, 7, 10));  // 41 days: the 90th day falls on 29 June
  EXPECT_TRUE(rt::functions().call("OK_DO").logical());
  ASSERT_EQ(messages.size(), 1u);
  EXPECT_NE(messages[0].find("90 dzien` przypada " + rt::dtoc(d(2011, 6, 29)) + "r."),
            std::string::npos);
  expectViewKept(4);
}

}  // namespace

namespace {

TEST_F(RegisterTables, PercentageByYearsOfServiceFromTheAttachedTable) {
  double argument = -1;
  test_support::ScopedFunctions stand__oblicz_ft("_OBLICZ_FT", [&argument](rt::Args& a) {
    argument = a[1].numOr(-1);
    return rt::Value::number(85, 2);
  });
  set("_od", date(2011, 1, 3));
  set("_kod_fun", text(""));
  EXPECT_EQ(rt::functions().call("DAJ_PROCENT").num(), 0);  // no table attached
  EXPECT_EQ(argument, -1);
  set("_kod_fun", text("FT1"));
  EXPECT_EQ(rt::functions().call("DAJ_PROCENT").num(), 85);
  EXPECT_NEAR(argument, double(d(2011, 1, 3) - d(2000, 1, 3)) / 365, 1e-4);
}

}  // namespace
