// The by-name form of the form reader, list choice, memo editor and the table browse over a
// work area (its scope and hidden deleted records).
#include "runtime/ui/ui_functions.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <unistd.h>

#include "runtime/core/context.h"
#include "runtime/core/expr.h"
#include "runtime/core/std_functions.h"
#include "runtime/db/work_areas.h"
#include "runtime/term/headless.h"
#include "runtime/term/keys.h"
#include "runtime/term/terminal.h"
#include "runtime/term/testing/screen_check.h"
#include "tests/support/scoped_functions.h"

namespace rt::ui {
namespace {

using namespace rt::term;

class UiFunctionsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    registerStandardFunctions();
    registerUiFunctions();
  }
  Headless screen_;
  PrivateFrame frame_{context().memvars};
};

TEST_F(UiFunctionsTest, GetsByNameGoIntoGetListAndReadModalReadsThem) {
  evalText("GetList := {}");
  context().memvars.declarePrivate("cx", Value::text("   "));
  context().memvars.declarePrivate("nx", Value::number(1, 0));
  evalText("__GET(2, 5, 'cx', '@!', '!empty(cx)')");
  evalText("__GET(3, 5, 'nx', '99', 'RANGECHECK(nx, 1, 12)')");
  EXPECT_EQ(evalText("LEN(GetList)").num(), 2);
  EXPECT_EQ(screen_.textAt(3, 5, 2), " 1");  // shown as soon as it is made

  screen_.keys({K_ENTER});  // refused: empty
  screen_.type("abc");      // typed out of the field
  screen_.type("13");       // refused by the range check
  screen_.keys({K_HOME});
  screen_.type("07");
  EXPECT_TRUE(evalText("READMODAL(GetList)").logical());
  EXPECT_EQ(context().memvars.get("cx").str(), "ABC");
  EXPECT_EQ(context().memvars.get("nx").num(), 7);
  EXPECT_TRUE(evalText("UPDATED()").logical());
}

TEST_F(UiFunctionsTest, ACheckByNameAddsAFieldToTheRunningRead) {
  evalText("GetList := {}");
  context().memvars.declarePrivate("flag", Value::text("N"));
  context().memvars.declarePrivate("proc", Value::number(80, 0));
  context().functions.add("UI_TEST_ADD", [](Args&) {
    if (evalText("flag == 'T'").logical()) {
      evalText("proc := 100");
      evalText("__GET(4, 10, 'proc', '999')");
    }
    return Value::logical(true);
  });
  evalText("__GET(3, 10, 'flag', '!', 'ui_test_add()')");
  screen_.type("t");  // typed out: the check adds the percentage, read next
  screen_.type("75");
  screen_.keys({K_ENTER});
  evalText("READMODAL(GetList)");
  EXPECT_EQ(context().memvars.get("proc").num(), 75);
  EXPECT_EQ(screen_.textAt(4, 10, 3), " 75");
}

TEST_F(UiFunctionsTest, SaveGetsGivesAnEmptyListForANestedForm) {
  evalText("GetList := {}");
  context().memvars.declarePrivate("a", Value::text("x"));
  evalText("__GET(1, 1, 'a')");
  Value saved = evalText("SAVEGETS()");
  EXPECT_EQ(evalText("LEN(GetList)").num(), 0);
  context().memvars.declarePrivate("saved", saved);
  evalText("RESTGETS(saved)");
  EXPECT_EQ(evalText("LEN(GetList)").num(), 1);
}

TEST_F(UiFunctionsTest, FlagsAnswerTheirPreviousState) {
  EXPECT_FALSE(evalText("READINSERT(.T.)").logical());
  EXPECT_TRUE(evalText("READINSERT(.F.)").logical());
  EXPECT_FALSE(evalText("READKILL()").logical());
  EXPECT_EQ(evalText("READVAR()").str(), "");
}

TEST_F(UiFunctionsTest, AchoiceByNameWithFlagsAndHandler) {
  context().memvars.declarePrivate("items", evalText("{'jeden', 'dwa', 'trzy'}"));
  std::vector<int> modes;
  test_support::ScopedFunctions stand_ui_test_list("UI_TEST_LIST", [&](Args& a) {
    modes.push_back(int(a[0].num()));
    return Value::integer(keyboard().lastKey() == K_ENTER ? 1 : 2);
  });
  screen_.keys({K_DOWN, K_ENTER});
  // "dwa" is not selectable (its flag is expression text that is false): Down goes to "trzy".
  EXPECT_EQ(evalText("ACHOICE(1, 1, 5, 10, items, {.T., '1 == 2', .T.}, 'ui_test_list')").num(), 3);
  EXPECT_EQ(modes, (std::vector<int>{0, 3}));
}

TEST_F(UiFunctionsTest, MemoEditByNameGivesTheEditedText) {
  context().memvars.declarePrivate("t", Value::text("abc"));
  screen_.keys({K_CTRL_PGDN, 'd', K_CTRL_W});
  EXPECT_EQ(evalText("MEMOEDIT(t, 5, 5, 10, 40)").str(), "abcd");
}

class DbEditWorkAreaTest : public UiFunctionsTest {
 protected:
  void SetUp() override {
    UiFunctionsTest::SetUp();
    dir_ = std::filesystem::temp_directory_path() / ("ui_dbedit_" + std::to_string(::getpid()));
    std::filesystem::create_directories(dir_);
    std::string path = (dir_ / "osoby.dbf").string();
    db::DbfTable::create(path, {{"NR", 'C', 3, 0}, {"NAZWA", 'C', 8, 0}, {"KWOTA", 'N', 8, 2}});
    db::WorkArea& w = db::workAreas().use(path, {});
    struct Row {
      const char* nr;
      const char* name;
      double amount;
      bool deleted;
    } rows[] = {{"001", "Adam", 10, false}, {"002", "Celina", 30, false}, {"001", "Bolek", 20, false},
                {"001", "Dawid", 40, true}, {"003", "Ewa", 50, false}};
    for (const Row& r : rows) {
      w.append();
      w.put(0, Value::text(r.nr));
      w.put(1, Value::text(r.name));
      w.put(2, Value::number(r.amount, 2));
      if (r.deleted) w.deleteRecord();
    }
    w.commit();
    w.createTag("", "NR", "NR+NAZWA");
    w.setOrder(1);
    w.setScope(0, Value::text("001"));
    w.setScope(1, Value::text("001"));
    w.goTop();
  }
  void TearDown() override {
    db::workAreas().closeAll();
    std::filesystem::remove_all(dir_);
  }
  std::filesystem::path dir_;
};

TEST_F(DbEditWorkAreaTest, ShowsTheScopeWithoutDeletedRecordsAndReportsModes) {
  std::vector<int> modes;
  std::vector<std::string> seen;
  test_support::ScopedFunctions stand_ui_test_dbe("UI_TEST_DBE", [&](Args& a) {
    modes.push_back(int(a[0].num()));
    seen.push_back(evalText("TRIM(nazwa)").str());
    return Value::integer(keyboard().lastKey() == K_ESC ? 0 : 1);
  });
  screen_.keys({K_DOWN, K_DOWN, K_CTRL_PGDN, K_ESC});
  evalText("DBEDIT(5, 0, 10, 39, {'nazwa', 'kwota'}, 'ui_test_dbe', {'', '99999.99'}, "
           "{'Nazwa', 'Kwota'}, CHR(196) + CHR(194) + CHR(196))");
  EXPECT_EQ(modes, (std::vector<int>{0, 0, 2, 0, 4}));
  EXPECT_EQ(seen, (std::vector<std::string>{"Adam", "Bolek", "Bolek", "Bolek", "Bolek"}));
  // Records of other numbers and the deleted "Dawid" are not shown.
  EXPECT_TRUE(testing::rowsAre(screen_, 5,
                               {"Nazwa         Kwota",
                                "─────────┬──────────────────────────────",
                                "Adam     │    10.00",
                                "Bolek    │    20.00",
                                "         │",
                                "         │"}));
}

TEST_F(DbEditWorkAreaTest, FilterHidesRecordsAndAnEmptyViewReportsEmpty) {
  db::WorkArea& w = *db::workAreas().selected();
  w.setFilter(Value(), "kwota > 15");
  w.goTop();
  context().functions.add("UI_TEST_DBE", [](Args& a) {
    return Value::integer(a[0].num() == 4 && keyboard().lastKey() == K_ESC ? 0 : 1);
  });
  screen_.keys({K_DOWN, K_ESC});
  evalText("DBEDIT(0, 0, 5, 39, {'nazwa'}, 'ui_test_dbe', '', '', '')");
  EXPECT_EQ(screen_.textAt(1, 0, 8), "Bolek   ");  // no heading separator: rows start under the heading
  EXPECT_EQ(screen_.textAt(2, 0, 8), "        ");

  w.setFilter(Value(), "kwota > 100");
  w.goTop();
  std::vector<int> modes;
  test_support::ScopedFunctions stand_ui_test_dbe("UI_TEST_DBE", [&](Args& a) {
    modes.push_back(int(a[0].num()));
    return Value::integer(keyboard().lastKey() == K_ESC ? 0 : 1);
  });
  keyboard().setLastKey(0);
  screen_.keys({K_DOWN, K_ESC});
  evalText("DBEDIT(0, 0, 5, 39, {'nazwa'}, 'ui_test_dbe')");
  EXPECT_EQ(modes, (std::vector<int>{3, 4, 4}));
}

}  // namespace
}  // namespace rt::ui
