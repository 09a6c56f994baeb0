// The option-screen widgets on memory variables: editing with a picture and a check, choices
// turned over in place, and the navigation between the fields of a window.
#include <gtest/gtest.h>

#include "runtime/core/context.h"
#include "runtime/core/std_functions.h"
#include "runtime/term/headless.h"
#include "runtime/term/keys.h"
#include "runtime/term/register.h"
#include "runtime/term/terminal.h"
#include "runtime/ui/ui_functions.h"
#include "suite/forms/option_widgets.h"
#include "suite/register.h"

namespace {

using namespace rt::term;

class OptionWidgets : public ::testing::Test {
 protected:
  void SetUp() override {
    rt::context().memvars.clearAll();
    rt::registerStandardFunctions();
    registerScreenFunctions();
    rt::ui::registerUiFunctions();
    suite::registerSuiteFunctions();
    rt::context().memvars.declarePrivate("wart", rt::Value::integer(5));
    rt::context().memvars.declarePrivate("tak", rt::Value::logical(true));
    rt::context().memvars.declarePrivate("wybor", rt::Value::integer(1));
  }
  void TearDown() override { rt::context().memvars.clearAll(); }

  // Calls a widget with the variable by reference.
  static void widget(const char* name, const char* var, std::vector<rt::Value> more) {
    rt::Args a;
    a.push(rt::Value::integer(5));
    a.push(rt::Value::integer(10));
    a.push(rt::context().memvars.get(var), rt::context().memvars.ref(var));
    for (auto& v : more) a.push(v);
    rt::functions().call(name, a);
  }
  static rt::Value var(const char* name) { return rt::context().memvars.get(name); }

  Headless h;
};

TEST_F(OptionWidgets, ReadParTakesAValueOnlyWhenItsCheckHolds) {
  // 0 is refused (the user stays), 7 is accepted.
  h.keys({'0', K_ENTER, K_BS, '7', K_ENTER});
  widget("READ_PAR", "wart", {rt::Value::text("99"), rt::Value::text("wart > 0")});
  EXPECT_EQ(var("wart").num(), 7);
  EXPECT_EQ(keyboard().lastKey(), K_ENTER);
  EXPECT_EQ(h.line(5).substr(10, 2), " 7");
}

TEST_F(OptionWidgets, ReadParEscGivesTheValueBackAndArrowsLeaveTheField) {
  h.keys({'3', K_ESC});
  widget("READ_PAR", "wart", {rt::Value::text("99")});
  EXPECT_EQ(var("wart").num(), 5);
  h.keys({'3', K_UP});
  widget("READ_PAR", "wart", {rt::Value::text("99")});
  EXPECT_EQ(var("wart").num(), 3);
  EXPECT_EQ(keyboard().lastKey(), K_UP);
}

TEST_F(OptionWidgets, WyborOpTurnsAYesNoChoiceOverAndEscTakesItBack) {
  h.keys({' ', K_ENTER});
  widget("WYBOR_OP", "tak", {});
  EXPECT_FALSE(var("tak").logical());
  EXPECT_NE(h.line(5).find("Nie"), std::string::npos);
  h.keys({' ', K_ESC});
  widget("WYBOR_OP", "tak", {});
  EXPECT_FALSE(var("tak").logical());
}

TEST_F(OptionWidgets, WyborOpOnAListTakesTheNumberOfTheChosenText) {
  rt::Value list = rt::Value::newArray(0);
  for (const char* t : {"Pierwszy", "Drugi", "Trzeci"}) list.arr().push_back(rt::Value::text(t));
  struct Case {
    std::vector<int> keys;
    int chosen;
  };
  for (const Case& c : {Case{{K_RIGHT, K_DOWN}, 2}, Case{{K_LEFT, K_ENTER}, 3},
                        Case{{'t', K_ENTER}, 3}, Case{{' ', ' ', ' ', K_ENTER}, 1}}) {
    rt::context().memvars.assign("wybor", rt::Value::integer(1));
    h.keys(c.keys);
    widget("WYBOR_OP", "wybor", {list});
    EXPECT_EQ(var("wybor").num(), c.chosen);
  }
}

TEST_F(OptionWidgets, IncOpcjeMovesAroundTheFieldsAndClosesOnEscOrPgDn) {
  struct Case {
    int field, key, next;
    bool closes;
  };
  for (const Case& c : {Case{1, K_ENTER, 2, false}, Case{3, K_DOWN, 1, false},
                        Case{1, K_UP, 3, false}, Case{2, K_UP, 1, false},
                        Case{2, K_ESC, 1, true}, Case{3, K_PGDN, 1, true},
                        Case{2, K_CTRL_W, 1, true}}) {
    int field = c.field;
    EXPECT_EQ(suite::incOpcje(field, 3, c.key), c.closes) << c.field << " " << c.key;
    EXPECT_EQ(field, c.next) << c.field << " " << c.key;
  }
  // By name, the field number comes back through the reference.
  rt::context().memvars.declarePrivate("opcja", rt::Value::integer(2));
  h.keys({K_ENTER});
  keyboard().inkey(0);
  rt::Args a;
  a.push(var("opcja"), rt::context().memvars.ref("opcja"));
  a.push(rt::Value::integer(3));
  EXPECT_FALSE(rt::functions().call("INC_OPCJE", a).logical());
  EXPECT_EQ(var("opcja").num(), 3);
}

}  // namespace
