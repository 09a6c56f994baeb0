// The edit form's field checks on its working copies: tables of values each check lets through or
// refuses, and what it changes besides.
#include <gtest/gtest.h>

#include <cmath>

#include "runtime/ui/ui_functions.h"
#include "tests/zus/register/form_fixture.h"
#include "zus/register/field_checks.h"
#include "zus/register/form_copies.h"
#include "zus/register/form_payout.h"

namespace form_test {
namespace {

using namespace rt::term;

class FieldChecks : public BenefitForm {
 protected:
  // Runs `body` with the form's working copies of a new (or existing) record declared.
  void withCopies(bool isNew, const std::function<void()>& body) {
    inRegister([&] {
      rt::PrivateFrame frame(rt::context().memvars);
      zus::declareWorkingCopies(isNew);
      body();
    });
  }
  static void setVar(const char* name, rt::Value v) { rt::context().memvars.assign(name, std::move(v)); }
  static rt::Value getVar(const char* name) { return rt::context().memvars.get(name); }
  static bool check(const char* routine) { return call(routine).logicalOr(false); }
  static size_t entries() { return getVar("getList").arr().size(); }
};

TEST_F(FieldChecks, PercentageRangeWarningsAndTheRehabilitationRule) {
  struct Case {
    double percent;
    const char* accident;
    const char* full;
    const char* kind;
    rt::Value rightArose;
    bool passes;
    double after;
    const char* message;
  };
  const Case cases[] = {
      {-1, "N", "N", "Z01", day(2010, 1, 1), false, -1, "Wartos`c` spoza zakresu od 0 do 100 %!"},
      {101, "N", "N", "Z01", day(2010, 1, 1), false, 101, "Wartos`c` spoza zakresu od 0 do 100 %!"},
      {0, "N", "N", "Z01", day(2010, 1, 1), true, 0, nullptr},
      {100, "N", "N", "Z01", day(2010, 1, 1), true, 100, nullptr},
      {80, "T", "N", "Z01", day(2010, 1, 1), true, 80, "Ustawiono wypadek na 'T' - procent "},
      {80, "N", "T", "Z01", day(2010, 1, 1), true, 80, "Ustawiono 'Czy 100%?' na 'T'- procent "},
      // Rehabilitation (slot 7) with a right from before 8 February 2005 is paid at 75%.
      {60, "N", "N", "Z07", day(2005, 2, 7), true, 75, nullptr},
      {60, "N", "N", "Z07", day(2005, 2, 8), true, 60, nullptr},
      {60, "T", "N", "Z07", day(2005, 2, 7), true, 60, "Ustawiono wypadek na 'T' - procent "},
  };
  withCopies(true, [&] {
    for (const Case& c : cases) {
      SCOPED_TRACE(std::string(c.kind) + " " + std::to_string(c.percent));
      messages.clear();
      setVar("_proc", num(c.percent));
      setVar("_przy_pracy", txt(c.accident));
      setVar("_czy_100", txt(c.full));
      setVar("_zasilek", txt(c.kind));
      setVar("_data_prawa", c.rightArose);
      EXPECT_EQ(check("OK_PROC"), c.passes);
      EXPECT_EQ(getVar("_proc").num(), c.after);
      if (c.message) {
        EXPECT_TRUE(said(c.message));
      } else {
        EXPECT_TRUE(messages.empty());
      }
    }
  });
}

TEST_F(FieldChecks, ValueRangeAndTheSwitchOfConstantValue) {
  struct Case {
    double value;
    int status;
    const char* kind;
    const char* answer;  // key for the question, "" when none is expected
    bool passes;
    int statusAfter;
  };
  const Case cases[] = {
      {10000000000.0, 2, "Z01", "", false, 2},  // beyond ten nines: refused without a word
      {-10000000000.0, 1, "Z01", "", false, 1},
      {9999999999.0, 1, "Z01", "", true, 1},
      {-9999999999.0, 1, "Z01", "", true, 1},
      {0, 2, "Z01", "", true, 2},
      {100, 94, "Z01", "N", false, 94},  // a typed value on a calculated record
      {100, 2, "Z01", "T", true, 1},
      {0, 1, "Z01", "T", true, 2},       // constant value taken away
      {0, 1, "Z01", "N", false, 1},
      {0, 1, "Z06", "", true, 1},        // a constant-value kind keeps its status
  };
  withCopies(true, [&] {
    for (const Case& c : cases) {
      SCOPED_TRACE(std::to_string(c.value) + " status " + std::to_string(c.status));
      questions.clear();
      setVar("_wartosc", num(c.value, 2));
      setVar("_status", num(c.status));
      setVar("_zasilek", txt(c.kind));
      h.type(c.answer);
      EXPECT_EQ(check("OK_WARTOSC"), c.passes);
      EXPECT_EQ(getVar("_status").num(), c.statusAfter);
      EXPECT_EQ(questions.size(), std::string(c.answer).empty() ? 0u : 1u);
    }
  });
}

TEST_F(FieldChecks, KindCheckMarksAnEditedRecordAndTakesTheDictionaryEntry) {
  struct Case {
    const char* abbreviation;
    int status;
    const char* kind;
    int statusAfter;
  };
  const Case cases[] = {
      {"CHOR_ZUS", 4, "Z01", 94},  // calculated: edited since calculation
      {"CHOR_ZUS", 0, "Z01", 90},
      {"CHOR_ZUS", 95, "Z01", 95},
      {"CHOR_ZUS", 2, "Z01", 2},   // not calculated
      {"CHOR_ZUS", 1, "Z01", 1},   // constant value
      {"INNY_0", 2, "Z11", 1},     // a constant-value kind
  };
  withCopies(false, [&] {
    for (const Case& c : cases) {
      SCOPED_TRACE(c.abbreviation);
      setVar("skr_zas", txt(c.abbreviation));
      setVar("_status", num(c.status));
      EXPECT_TRUE(call("OK_ZAS", {num(7), num(30), num(19)}).logicalOr(false));
      EXPECT_EQ(getVar("_zasilek").str(), c.kind);
      EXPECT_EQ(getVar("_status").num(), c.statusAfter);
      EXPECT_EQ(rt::db::workAreas().selectedNumber(), area("nieobec").number());
    }
  });
}

TEST_F(FieldChecks, AbbreviationOfAnotherDictionaryOpensThePickerAndEscBlanksIt) {
  int pickers = 0;
  rt::NativeFunction picker = *rt::functions().find("POBSLOWO");
  replace("POBSLOWO", [&, picker](rt::Args& a) {
    ++pickers;
    return picker(a);
  });
  withCopies(true, [&] {
    setVar("skr_zas", txt("ETAT      "));  // an employee group, not a benefit kind
    h.keys({K_ESC});
    EXPECT_FALSE(call("OK_ZAS", {num(7), num(30), num(19)}).logicalOr(true));
    EXPECT_EQ(pickers, 1);
    EXPECT_EQ(getVar("skr_zas").str(), std::string(10, ' '));
    EXPECT_EQ(getVar("_zasilek").str(), getVar("pustykod").str());
    // The dictionary letter before a benefit's abbreviation is no abbreviation of a benefit:
    // the picker opens instead of taking the kind "CHOR_ZUS".
    setVar("skr_zas", txt("ZCHOR_ZUS "));
    h.keys({K_ESC});
    EXPECT_FALSE(call("OK_ZAS", {num(7), num(30), num(19)}).logicalOr(true));
    EXPECT_EQ(pickers, 2);
    EXPECT_EQ(getVar("_zasilek").str(), getVar("pustykod").str());
  });
}

TEST_F(FieldChecks, CorrectionStopsCountingTheDaysOnce) {
  withCopies(false, [&] {
    setVar("_czy_korekt", txt("X"));
    EXPECT_FALSE(check("OK_KOREKT"));

    setVar("_czy_korekt", txt("T"));
    setVar("_czy_zlicz", txt("T"));
    EXPECT_TRUE(check("OK_KOREKT"));
    EXPECT_EQ(getVar("_czy_zlicz").str(), "N");
    EXPECT_EQ(getVar("old_zlicz").str(), "T");
    EXPECT_EQ(calls["OK_ZLICZ"], 1);
    EXPECT_TRUE(said("Dla zasil`ku oznaczono brak uwzgle`dniania dni w sumowaniu"));

    EXPECT_TRUE(check("OK_KOREKT"));  // already not counted: nothing more
    EXPECT_EQ(calls["OK_ZLICZ"], 1);
    setVar("_czy_korekt", txt("N"));
    EXPECT_TRUE(check("OK_KOREKT"));
    EXPECT_EQ(calls["OK_ZLICZ"], 1);
  });
}

TEST_F(FieldChecks, AccidentAndHundredPercentFlagsForceTheFullPercentage) {
  struct Case {
    const char* routine;
    const char* own;
    const char* other;
    double percent;
    bool passes;
    double after;
    size_t newEntries;
    const char* message;
  };
  const Case cases[] = {
      {"OK_WYPADEK", "X", "N", 80, false, 80, 0, nullptr},
      {"OK_WYPADEK", "T", "N", 80, true, 100, 1, "Dla zasil`ku wprowadzono 100%"},
      {"OK_WYPADEK", "N", "N", 100, true, 100, 0, "Wro`c` do pola procent i zmien` jego wartos`c,` "},
      {"OK_WYPADEK", "N", "T", 100, true, 100, 0, nullptr},
      {"OK_WYPADEK", "N", "N", 80, true, 80, 0, nullptr},
      {"OK_100", "T", "N", 75, true, 100, 1, "Dla zasil`ku wprowadzono 100%"},
      {"OK_100", "N", "N", 100, true, 100, 0, "Wro`c` do pola procent i zmien` jego wartos`c`, "},
      {"OK_100", "", "N", 100, false, 100, 0, nullptr},
  };
  withCopies(true, [&] {
    for (const Case& c : cases) {
      SCOPED_TRACE(std::string(c.routine) + " " + c.own + c.other);
      messages.clear();
      const bool accident = std::string(c.routine) == "OK_WYPADEK";
      setVar(accident ? "_przy_pracy" : "_czy_100", txt(c.own));
      setVar(accident ? "_czy_100" : "_przy_pracy", txt(c.other));
      setVar("_proc", num(c.percent));
      setVar("getList", rt::Value::newArray(0));
      const size_t before = entries();
      EXPECT_EQ(check(c.routine), c.passes);
      EXPECT_EQ(getVar("_proc").num(), c.after);
      EXPECT_EQ(entries() - before, c.newEntries);
      if (c.newEntries) {
        EXPECT_EQ(getVar("old_proc").num(), c.percent);
        auto get = rt::ui::getFromValue(getVar("getList").arr().back());
        ASSERT_TRUE(get);
        EXPECT_EQ(get->name(), "_proc");
        EXPECT_EQ(get->row(), 11);
        EXPECT_EQ(get->col(), 12);
      }
      if (c.message) {
        EXPECT_TRUE(said(c.message));
      } else {
        EXPECT_TRUE(messages.empty());
      }
    }
    // A flag answered "T" again adds no second percentage entry behind the first.
    setVar("getList", rt::Value::newArray(0));
    setVar("_przy_pracy", txt("T"));
    EXPECT_TRUE(check("OK_WYPADEK"));
    EXPECT_TRUE(check("OK_WYPADEK"));
    EXPECT_EQ(entries(), 1u);
  });
}

TEST_F(FieldChecks, PercentageByYearsOfService) {
  struct Case {
    double years;
    int percent;
  };
  for (Case c : {Case{0, 75}, Case{3, 75}, Case{3.01, 80}, Case{8, 80}, Case{8.01, 100}, Case{30, 100}})
    EXPECT_EQ(zus::percentForYears(c.years), c.percent) << c.years;

  withCopies(true, [&] {
    setVar("_zasilek", txt("Z02"));  // care: always 100
    EXPECT_EQ(call("SZUK_PROC", {day(2010, 1, 1)}).num(), 100);
    setVar("_zasilek", txt("Z01"));
    setVar("staz_pracy", txt("----"));  // no years of service in the payroll input
    const rt::Value hired = mainField("data_zatr");
    ASSERT_TRUE(hired.isDate() && hired.date() != 0);
    EXPECT_EQ(call("SZUK_PROC", {rt::Value::date(hired.date() + 365 * 5)}).num(), 80);
    EXPECT_EQ(call("SZUK_PROC", {rt::Value::date(hired.date() + 365 * 2)}).num(), 75);
    EXPECT_EQ(rt::db::workAreas().selectedNumber(), area("nieobec").number());
  });
}

}  // namespace
}  // namespace form_test
