// The RESET kind mappings: the list text and its routines by name, and the mapping screen.
#include "tests/zus/transfer/reset_fixture.h"
#include "tests/support/scoped_functions.h"
#include "zus/transfer/reset_mappings.h"

namespace reset_test {
namespace {

using namespace rt::term;
namespace rm = zus::reset_map;

TEST(ResetMappingList, AddRemoveAndLookUp) {
  struct Case {
    const char* list;
    const char* op;  // "add kind code", "del code" (by kind), "delr code" (by RESET code)
    std::string kind, code;
    const char* after;
  } cases[] = {
      {"", "add", "A", "01", "A,,,,01"},
      {"A,,,,01////B,,,,02", "add", "A", "05", "B,,,,02////A,,,,05"},
      {"A,,,,01////B,,,,02", "add", "C", "5 ", "A,,,,01////B,,,,02////C,,,,5 "},
      {"A,,,,01////B,,,,02", "del", "B", "", "A,,,,01"},
      {"A,,,,01////B,,,,02", "del", "A", "", "B,,,,02"},
      {"A,,,,01", "del", "A", "", ""},
      {"A,,,,01////B,,,,02", "del", "X", "", "A,,,,01////B,,,,02"},
      {"A,,,,01////B,,,,02", "delr", "02", "", "A,,,,01"},
      {"A  ,,,,01////A,,,,02", "del", "A", "", "A  ,,,,01"},  // kinds compare exactly
  };
  for (const Case& c : cases) {
    std::string op = c.op;
    std::string after = op == "add" ? rm::added(c.list, c.kind, c.code) : rm::removed(c.list, c.kind, op == "del");
    EXPECT_EQ(after, c.after) << c.list << " " << op << " " << c.kind;
  }
  EXPECT_EQ(rm::lookup("A,,,,01////C,,,,5 ", "C"), "5");
  EXPECT_EQ(rm::lookup("A,,,,01////C,,,,5 ", "C "), "");
  EXPECT_EQ(rm::lookup("", "A"), "");
  EXPECT_EQ(rm::position("A,,,,01////B,,,,02", "B"), 2);
  EXPECT_EQ(rm::position("A,,,,01////B,,,,02", "02", false), 2);
  EXPECT_EQ(rm::position("A,,,,01////B,,,,02", "02"), 0);
}

class ResetMappings : public ResetCompany {
 protected:
  // Runs the screen on the keys; the codes of a row as the screen's list showed them last.
  rt::Value runScreen(std::vector<int> keys) {
    h.keys(keys);
    rt::Value r = call("RS_RODZ_NB");
    EXPECT_EQ(h.keysLeft(), 0u);
    return r;
  }
  static std::vector<int> typed(const std::string& s) { return {s.begin(), s.end()}; }
};

TEST_F(ResetMappings, RoutinesByNameWorkOnTheSettings) {
  zus::ResetSettingsScope settings;
  EXPECT_EQ(call("RO_NB_RES", {text(kSickness)}).str(), "31");
  EXPECT_EQ(call("RO_PR_RES", {text(kSickness)}).str(), "6");
  EXPECT_EQ(call("RO_NB_POZ", {text("33"), text("not logical")}).intOr(-1), 0);
  EXPECT_EQ(call("RO_NB_POZ", {text("33"), yes(false)}).intOr(-1), 2);
  call("RO_NB_DOD", {text(kSickness), text("4 ")});
  call("RO_PR_DEL", {text(kSickness)});
  EXPECT_EQ(rm::listOf(rm::kAbsenceList), "Z10,,,,33////Z01,,,,4 ");
  EXPECT_EQ(rm::listOf(rm::kPercentList), "");
}

TEST_F(ResetMappings, EditedRowsAreSavedFromTheListWithCtrlW) {
  // Row 1: both codes typed; the editor of row 2 opens by itself and is left with Esc.
  std::vector<int> keys{K_ENTER};
  for (int k : typed("4106")) keys.push_back(k);
  keys.insert(keys.end(), {K_ESC, K_CTRL_W});
  // The editor's Esc empties the type-ahead; the scripted keys stand for keys typed later.
  rt::functions().add("CLEAR_KEYBOARD", [](rt::Args&) { return rt::Value(); });
  EXPECT_TRUE(runScreen(keys).logicalOr(false));
  EXPECT_EQ(savedSetting("rs_rodz_nb").str(), "Z10,,,,33////Z01,,,,41");
  EXPECT_EQ(savedSetting("rs_rodz_pr").str(), "Z01,,,,06");
  EXPECT_EQ(savedSetting("rs_kat_wzr").str(), "WZR\\");  // the other settings as they were
}

TEST_F(ResetMappings, BlankCodesRemoveTheKindsEntries) {
  std::vector<int> keys{K_DOWN, K_DOWN, K_DOWN, K_DOWN, K_DOWN, K_DOWN, K_DOWN, K_DOWN, K_DOWN, K_ENTER};
  for (int k : typed("  ")) keys.push_back(k);
  keys.push_back(K_CTRL_W);
  EXPECT_TRUE(runScreen(keys).logicalOr(false));
  EXPECT_EQ(savedSetting("rs_rodz_nb").str(), "Z01,,,,31");
  EXPECT_EQ(savedSetting("rs_rodz_pr").str(), "Z01,,,,6 ");
}

TEST_F(ResetMappings, ASlotWithoutAKindCannotBeEdited) {
  // Slot 33 has no kind: Enter there only says so, and nothing is stored under an empty kind.
  std::vector<int> keys{K_END, K_ENTER};
  for (int k : typed("12")) keys.push_back(k);
  keys.push_back(K_CTRL_W);
  rt::functions().add("CLEAR_KEYBOARD", [](rt::Args&) { return rt::Value(); });
  EXPECT_TRUE(runScreen(keys).logicalOr(false));
  EXPECT_TRUE(said("Ta pozycja nie ma przypisanego rodzaju zasil`ku"));
  EXPECT_EQ(savedSetting("rs_rodz_nb").str(), "Z01,,,,31////Z10,,,,33");
}

TEST_F(ResetMappings, CtrlWInTheRowEditorSavesAsAtTheList) {
  std::vector<int> keys{K_ENTER};
  for (int k : typed("41")) keys.push_back(k);
  keys.push_back(K_CTRL_W);
  EXPECT_TRUE(runScreen(keys).logicalOr(false));
  EXPECT_EQ(savedSetting("rs_rodz_nb").str(), "Z10,,,,33////Z01,,,,41");
  EXPECT_EQ(rt::context().memvars.typeOf("rs_rodz_nb"), "U");
}

TEST_F(ResetMappings, TheChainSkipsSlotsWithoutAKindAndEndsAfterTheLastEditable) {
  // Slot 10 is the last slot with a kind besides slot 11: after it the chain ends at the list.
  std::vector<int> keys{K_DOWN, K_DOWN, K_DOWN, K_DOWN, K_DOWN, K_DOWN, K_DOWN, K_DOWN, K_DOWN, K_DOWN, K_ENTER};
  for (int k : typed("77")) keys.push_back(k);
  keys.push_back(K_ENTER);
  keys.push_back(K_ENTER);  // out of the last field of slot 11: no slot with a kind after it
  keys.push_back(K_CTRL_W);
  EXPECT_TRUE(runScreen(keys).logicalOr(false));
  EXPECT_EQ(savedSetting("rs_rodz_nb").str(), "Z01,,,,31////Z10,,,,33////Z11,,,,77");
}

TEST_F(ResetMappings, EscAtTheListDropsTheVisitsChanges) {
  // Row 1 confirmed, the next row's editor left with Esc, then Esc at the list.
  std::vector<int> keys{K_ENTER};
  for (int k : typed("9999")) keys.push_back(k);
  keys.insert(keys.end(), {K_ESC, K_ESC});
  rt::functions().add("CLEAR_KEYBOARD", [](rt::Args&) { return rt::Value(); });
  EXPECT_TRUE(runScreen(keys).logicalOr(false));
  EXPECT_EQ(savedSetting("rs_rodz_nb").str(), "Z01,,,,31////Z10,,,,33");
  EXPECT_EQ(rt::context().memvars.typeOf("rs_rodz_nb"), "U");
}

TEST_F(ResetMappings, RowsShowLabelsShortNamesAndCodes) {
  std::string screen;
  test_support::ScopedFunctions stand_clear_keyboard("CLEAR_KEYBOARD", [&](rt::Args&) {
    screen = h.text();
    return rt::Value();
  });
  runScreen({K_ENTER, K_ESC, K_ESC});
  std::istringstream lines(screen);
  std::vector<std::string> rows;
  for (std::string l; std::getline(lines, l);) rows.push_back(l);
  ASSERT_GT(rows.size(), 13u);
  // Row 1: slot 1's label, its kind's short name, the two codes; row 10 likewise.
  EXPECT_NE(rows[3].find(" - KINDZ01   31  6 "), std::string::npos) << rows[3];
  EXPECT_EQ(rows[3].find("Zasi"), 3u);
  EXPECT_NE(rows[12].find(" - KINDZ10   33    "), std::string::npos) << rows[12];
  EXPECT_NE(rows[0].find("ZEFIRON - RESET"), std::string::npos);
}

TEST_F(ResetMappings, DictionaryInUseElsewhereEndsTheScreen) {
  openOwn("SLOWNIK", "other");
  rt::Value r = runScreen({});
  EXPECT_TRUE(r.isNil());
  call("DBCLOSEAREA");
}

}  // namespace
}  // namespace reset_test
