// The month editor on a headless screen and the form's month routines by name.
#include "runtime/term/keys.h"
#include "runtime/term/terminal.h"
#include "tests/zus/register/rules_screen_fixture.h"

namespace {

using namespace rt::term;
using rules_test::RulesScreen;

int32_t d(int y, int m, int day) { return rt::makeDate(y, m, day); }

class MonthEditor : public RulesScreen {
 protected:
  void SetUp() override {
    RulesScreen::SetUp();
    set("lum_data", rt::Value::date(d(2006, 9, 20)));
    set("zusx_biez", rt::Value::integer(1));
    set("_od_dat", rt::Value::date(d(2006, 7, 15)));  // window August 2005 .. June 2006
    set("_mies_dop", flags({}));
  }
  rt::Value edit(const std::string& codes) {
    return rt::functions().call("EDIT_MIES", {rt::Value::text(codes)});
  }
};

TEST_F(MonthEditor, MarksMonthsBackwardsFromTheLatest) {
  typeSlowly({K_INS, K_INS, K_CTRL_D, K_ENTER});  // June, May, April filled up
  EXPECT_EQ(edit("").strOr(""), "060504");
  EXPECT_EQ(flagsOf(var("_mies_dop")), (std::vector<bool>{false, false, true}));
  EXPECT_TRUE(messages.empty());
  EXPECT_EQ(h.line(6).find("Wybierz"), std::string::npos);  // the window is closed again
}

TEST_F(MonthEditor, ABrokenRunKeepsTheEditorOpenUntilItIsMended) {
  // June, then up from May to April and mark it: June and April with a gap.
  typeSlowly({K_INS, K_UP, K_INS, K_ENTER, K_INS, K_ENTER});
  EXPECT_EQ(edit("").strOr(""), "04");
  ASSERT_EQ(messages.size(), 1u);
  EXPECT_EQ(messages[0], "Brak spo`jnos`ci w zaznaczonej sekwencji miesie`cy. Popraw oznaczenie.");
  const std::vector<std::string>& shown = screens[0];
  EXPECT_EQ(shown[13].substr(20, 25),
            "\x10"
            "CZERWIEC    2006       \x11");
  EXPECT_EQ(shown[12].substr(20, 25), " MAJ         2006        ");
  EXPECT_EQ(shown[11].substr(20, 25),
            "\x10"
            "KWIECIE\xE3    2006       \x11");
  EXPECT_EQ(shown[14].substr(20, 25), " LIPIEC      2005        ");
  EXPECT_EQ(flagsOf(var("_mies_dop")), (std::vector<bool>{false}));
}

TEST_F(MonthEditor, EscGivesTheStringAndFlagsBack) {
  set("_mies_dop", flags({true, false}));
  typeSlowly({K_CTRL_DEL, K_ESC});
  EXPECT_EQ(edit("0302").strOr(""), "0302");
  EXPECT_EQ(flagsOf(var("_mies_dop")), (std::vector<bool>{true, false}));
}

TEST_F(MonthEditor, WithoutAWindowEndTheUserPicksTheLastMonth) {
  set("_od_dat", rt::Value::date(0));
  typeSlowly({K_ENTER, K_ESC});  // the period picker's first month, then leave
  edit("");
  ASSERT_FALSE(messages.empty());
  EXPECT_EQ(messages[0], "Wybierz ostatni miesia`c z 12-stu do podstawy:");
  EXPECT_EQ(var("_od_dat").date(), d(2006, 9, 20));
}

TEST_F(MonthEditor, DisplayListAndTheAnswerCheck) {
  EXPECT_EQ(rt::functions()
                .call("JAKIE_MIES", {rt::Value::text("030201  "), rt::Value::logical(false),
                                     rt::Value::logical(false)})
                .str(),
            "03,02,01");
  set("_ten_tekst", rt::Value::text("0302"));
  set("_fakt_mies", rt::Value::text(" 3 2"));
  set("_mies_dop", flags({true, false}));
  auto okMies = [](bool editing) {
    return rt::functions().call("OK_MIES", {rt::Value::integer(13), rt::Value::integer(38),
                                            rt::Value::integer(78), rt::Value::logical(editing)});
  };
  set("_czy_wsk", rt::Value::text("T"));
  keyboard().setLastKey(K_DOWN);
  EXPECT_TRUE(okMies(true).logical());  // left with another key: nothing opens
  keyboard().setLastKey(K_ENTER);
  EXPECT_TRUE(okMies(false).logical());
  EXPECT_EQ(h.line(13).substr(38, 35), "03,02" + std::string(30, ' '));
  set("_czy_wsk", rt::Value::text("X"));
  EXPECT_FALSE(okMies(true).logical());
  set("_czy_wsk", rt::Value::text("N"));
  EXPECT_TRUE(okMies(true).logical());
  EXPECT_EQ(var("_ten_tekst").str(), "");
  EXPECT_EQ(var("_fakt_mies").str(), "");
  EXPECT_TRUE(flagsOf(var("_mies_dop")).empty());
  EXPECT_EQ(var("_od_dat").date(), 0);
}

TEST_F(MonthEditor, FlagsTextKeepsOneFlagPerCode) {
  set("_mies_dop", flags({true, false, true}));
  EXPECT_EQ(rt::functions().call("MIESDOPTXT").str(), "TFT");
  set("_ten_tekst", rt::Value::text(""));  // the months were emptied: no flags stay behind
  EXPECT_EQ(rt::functions().call("MIESDOPTXT").str(), "");
  set("_ten_tekst", rt::Value::text("03020112"));
  EXPECT_EQ(rt::functions().call("MIESDOPTXT").str(), "TFTF");
}

}  // namespace
