// The edit form with the register's own entry rules, day counting and browse services (no
// stand-ins): a new sickness benefit entered by its dates gets its days from the date rules and
// adds them to the employee's counter when it is saved.
#include <gtest/gtest.h>

#include "runtime/db/dbf_table.h"
#include "tests/zus/register/form_fixture.h"

namespace form_test {
namespace {

using namespace rt::term;

class FormWithRules : public BenefitForm {
 protected:
  void SetUp() override {
    BenefitForm::SetUp();
    zus::registerRegisterFunctions();
    zus::registerBenefitFormFunctions();
  }

  // A field of the current record of the table behind `alias`, as another workstation reads it
  // from the disk through a handle of its own.
  static rt::Value onDisk(const char* alias, const char* name) {
    rt::db::WorkArea& a = area(alias);
    auto other = rt::db::DbfTable::open(a.table().path(), {true, true});
    other->goTo(a.recno());
    return other->get(size_t(other->fieldIndex(name)));
  }

  // A saved care benefit (care of a family member other than a child) of 5 counted days, the
  // employee's care counters at 7 and 6 days; the record is made current. Call in the register.
  uint32_t countedCareBenefit() {
    rt::Memvars& v = rt::context().memvars;
    v.declarePrivate("_kod_fun", txt(""));
    v.declarePrivate("czy_pseudo", rt::Value::logical(false));
    const rt::Value first = v.get("lum_data");
    uint32_t recno = addBenefit({{"zasilek", txt("Z02")},
                                 {"od", first},
                                 {"do", rt::Value::date(first.date() + 4)},
                                 {"l_dni", num(5)},
                                 {"procent", num(80)},
                                 {"czy_dz", rt::Value::logical(false)},
                                 {"dat_wyp", rt::Value::date(first.date() + 9)},
                                 {"data_prawa", first},
                                 {"status", num(2)}});
    setMain("dni_op", num(7));
    setMain("dni_rdz", num(6));
    v.assign("suma_dni2", num(7));
    v.assign("suma_dni3", num(6));
    area().goTo(recno);
    return recno;
  }
};

TEST_F(FormWithRules, NewSicknessBenefitTakesItsDaysFromTheDatesAndCountsThem) {
  inRegister([&] {
    rt::Memvars& v = rt::context().memvars;
    v.declarePrivate("_kod_fun", txt(""));
    v.declarePrivate("czy_pseudo", rt::Value::logical(false));
    const rt::Value first = v.get("lum_data");
    const double daysBefore = mainField("dni_ch").numOr(0);
    const rt::Value last = rt::Value::date(first.date() + 4);
    const rt::Value payout = rt::Value::date(first.date() + 9);
    std::vector<int> keys = join({text("CHOR_ZUS"), {K_ENTER},  // kind
                                  {K_ENTER},                     // first day: the working date
                                  dateKeys(last), {K_ENTER},     // last day
                                  {K_ENTER, K_ENTER, K_ENTER},   // days, right, percentage
                                  dateKeys(payout), {K_CTRL_W}});
    rt::Value saved = edit(true, keys);
    EXPECT_TRUE(saved.logicalOr(false)) << ::testing::PrintToString(messages);
    select("nieobec");
    area().goTop();
    ASSERT_FALSE(area().eof());
    EXPECT_EQ(field("do").date(), last.date());
    EXPECT_EQ(field("l_dni").num(), 5);
    EXPECT_EQ(mainField("dni_ch").numOr(0), daysBefore + 5);
    EXPECT_EQ(mainField("data_zus").date(), first.date());
    // The record and the counters it moved are on the disk together, while the employee is
    // still chosen (his record locked).
    EXPECT_EQ(onDisk("nieobec", "l_dni").numOr(0), 5);
    EXPECT_EQ(onDisk("main", "dni_ch").numOr(0), daysBefore + 5);
    EXPECT_EQ(onDisk("main", "data_zus").date(), first.date());
  });
}

TEST_F(FormWithRules, AnEditedCareBenefitTakenOutOfTheCountLeavesBothCareCounters) {
  inRegister([&] {
    const uint32_t recno = countedCareBenefit();
    // Dates, days, right, percentage and payout as they are; then the count flag "N".
    std::vector<int> keys =
        join({{K_ENTER, K_ENTER, K_ENTER, K_ENTER, K_ENTER, K_ENTER}, text("N"), {K_CTRL_W}});
    rt::Value saved = edit(false, keys);
    EXPECT_TRUE(saved.logicalOr(false)) << ::testing::PrintToString(messages);
    area().goTo(recno);
    EXPECT_TRUE(field("o_zlicz").logical());
    // Care of a family member other than a child: its days leave both counters.
    EXPECT_EQ(mainField("dni_op").numOr(0), 2);
    EXPECT_EQ(mainField("dni_rdz").numOr(0), 1);
  });
}

// The count flag and the correction flag (which takes the days out of the count) reach the
// counters only with the save: Esc and "Nie" leaves them as they were.
TEST_F(FormWithRules, CountAndCorrectionFlagsMoveTheCountersOnlyWhenSaved) {
  const std::vector<int> toCountFlag(6, K_ENTER);
  // From the count flag to the correction flag: the sick-note dates and reduction, the months,
  // the letter code, both sick-note numbers and the care answer.
  const std::vector<int> toCorrection(9, K_ENTER);
  struct Case {
    const char* what;
    std::vector<int> keys;
    bool saved;
    int care, family;  // dni_op and dni_rdz afterwards, from 7 and 6
  } cases[] = {
      {"count flag, Esc", join({toCountFlag, text("N"), {K_ESC}, text("N")}), false, 7, 6},
      {"correction, Esc", join({toCountFlag, toCorrection, text("T"), {K_ESC}, text("N")}), false, 7, 6},
      {"correction, saved", join({toCountFlag, toCorrection, text("T"), {K_CTRL_W}}), true, 2, 1},
  };
  for (const Case& k : cases) {
    SCOPED_TRACE(k.what);
    inRegister([&] {
      const uint32_t recno = countedCareBenefit();
      rt::Value saved = edit(false, k.keys);
      EXPECT_EQ(saved.logicalOr(false), k.saved) << ::testing::PrintToString(messages);
      area().goTo(recno);
      EXPECT_EQ(field("czy_korekt").logical(), k.saved);
      EXPECT_EQ(mainField("dni_op").numOr(0), k.care);
      EXPECT_EQ(mainField("dni_rdz").numOr(0), k.family);
      EXPECT_EQ(rt::context().memvars.get("suma_dni2").numOr(0), k.care);
    });
  }
}

}  // namespace
}  // namespace form_test
