// The form's keys: F5 copies from the neighbouring record, F7 detaches a taken-over basis,
// Ctrl+F2 runs the counter editor with its own key unbound, Ctrl+F3 only for an existing record.
#include <gtest/gtest.h>

#include "runtime/term/keyboard.h"
#include "tests/zus/register/form_fixture.h"
#include "zus/register/form_copies.h"
#include "zus/register/form_keys.h"

namespace form_test {
namespace {

using namespace rt::term;

class FormKeysTest : public BenefitForm {
 protected:
  static void setVar(const char* name, rt::Value v) { rt::context().memvars.assign(name, std::move(v)); }
  static rt::Value getVar(const char* name) { return rt::context().memvars.get(name); }
  static void key(const char* routine, const char* activeVar) {
    call(routine, {txt("ED_NB"), num(0), txt(activeVar)});
  }
};

TEST_F(FormKeysTest, F5CopiesFromThePreviousRecordOnlyInItsThreeFields) {
  inRegister([&] {
    const uint32_t first = addBenefit({{"zasilek", txt("Z01")}, {"dat_wyp", day(2011, 1, 10)},
                                       {"podst_zas", num(55.5, 2)}, {"nr_stat", txt("ABCD")},
                                       {"nr_l_4", txt("L4-FIRST")}});
    const uint32_t second = addBenefit({{"zasilek", txt("Z01")}, {"dat_wyp", day(2011, 2, 10)},
                                        {"podst_zas", num(66.6, 2)}, {"nr_stat", txt("EFGH")},
                                        {"nr_l_4", txt("L4-SECOND")}});
    struct Case {
      bool isNew;
      uint32_t edited;
      const char* activeVar;
      const char* copy;  // the working copy that changes
      rt::Value expected;
    };
    const Case cases[] = {
        {false, second, "_NR_STAT", "_nr_stat", txt("ABCD")},
        {false, second, "_POPRZ_L_4", "_poprz_l_4", txt("L4-FIRST      ")},
        {false, second, "_KW_PODST", "_kw_podst", num(55.5, 2)},
        {false, second, "_OD", "_nr_stat", txt("    ")},           // any other entry: nothing
        {false, first, "_NR_STAT", "_nr_stat", txt("    ")},         // the employee's first record
        {true, 0, "_NR_STAT", "_nr_stat", txt("EFGH")},              // new: the last record
    };
    for (const Case& c : cases) {
      SCOPED_TRACE(std::string(c.activeVar) + (c.isNew ? " new" : " existing"));
      rt::PrivateFrame frame(rt::context().memvars);
      zus::declareWorkingCopies(c.isNew);
      zus::EditedRecord edited(c.edited);
      area().goTo(c.isNew ? first : c.edited);
      const uint32_t before = area().recno();
      key("DAJ_F5", c.activeVar);
      rt::Value got = getVar(c.copy);
      if (c.expected.isNum()) EXPECT_DOUBLE_EQ(got.num(), c.expected.num());
      else EXPECT_EQ(got.str(), c.expected.str());
      EXPECT_EQ(area().recno(), before);
    }
  });
}

TEST_F(FormKeysTest, F7DetachesATakenOverBasisAfterTheQuestion) {
  inRegister([&] {
    rt::PrivateFrame frame(rt::context().memvars);
    zus::declareWorkingCopies(false);
    key("DAJ_F7", "_OD");
    EXPECT_TRUE(said("Nie wczytywano podstawy z poprzedniego zasil`ku."));
    EXPECT_TRUE(questions.empty());

    auto takenOver = [] {
      setVar("_nieobec", txt("PBZ"));
      setVar("_ten_tekst", txt("0102"));
      setVar("_fakt_mies", txt(" 1 2"));
      setVar("_suma", num(3000, 2));
      setVar("_druk_podst", num(100, 2));
      setVar("_kw_podst", num(80, 2));
      rt::Value flags = rt::Value::newArray(0);
      flags.arr().push_back(rt::Value::logical(true));
      flags.arr().push_back(rt::Value::logical(false));
      setVar("_mies_dop", flags);
    };
    takenOver();
    h.type("N");
    key("DAJ_F7", "_OD");
    EXPECT_EQ(getVar("_nieobec").str(), "PBZ");

    h.type("T");
    key("DAJ_F7", "_OD");
    EXPECT_EQ(getVar("_nieobec").str(), "");
    EXPECT_EQ(getVar("_ten_tekst").str(), "");
    EXPECT_EQ(getVar("_fakt_mies").str(), "");
    EXPECT_EQ(getVar("_suma").num(), 0);
    EXPECT_EQ(getVar("_druk_podst").num(), 0);
    EXPECT_EQ(getVar("_kw_podst").num(), 80);  // the daily rate stays
    EXPECT_TRUE(getVar("_mies_dop").arr().empty());  // one flag per month of the string
    EXPECT_EQ(h.textAt(17, 50, 3), "Nie");
  });
}

TEST_F(FormKeysTest, CtrlF2InTheFormAndNoKeysLeftBound) {
  bool unboundInside = false, boundBefore = false;
  onCall["DNI_GORNE"] = [&] { unboundInside = keyboard().hotKey(-21) == nullptr; };
  onCall["OK_OD"] = [&] { boundBefore = keyboard().hotKey(-21) != nullptr; };
  inRegister([&] {
    addBenefit({{"zasilek", txt("Z01")}, {"dat_wyp", day(2011, 1, 10)}, {"procent", num(80)}});
    h.keys({-21, K_ENTER, -21, K_CTRL_W});
    select("nieobec");
    EXPECT_TRUE(call("ED_NB", {rt::Value::logical(false)}).logicalOr(false));
    for (int k : {-4, -6, -21, -22}) EXPECT_EQ(keyboard().hotKey(k), nullptr) << k;
  });
  EXPECT_EQ(calls["DNI_GORNE"], 2);
  EXPECT_TRUE(unboundInside);
  EXPECT_TRUE(boundBefore);
}

TEST_F(FormKeysTest, CtrlF3DoesNothingForANewRecord) {
  inRegister([&] {
    rt::PrivateFrame frame(rt::context().memvars);
    zus::declareWorkingCopies(true);
    key("DAJ_CT_F3", "_OD");
    EXPECT_TRUE(questions.empty());
  });
}

}  // namespace
}  // namespace form_test
