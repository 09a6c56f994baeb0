// The memo editor on the headless screen: wrapping, editing keys, Ctrl+W and Esc.
#include "runtime/ui/memo_edit.h"

#include <gtest/gtest.h>

#include "runtime/core/context.h"
#include "runtime/term/headless.h"
#include "runtime/term/keys.h"
#include "runtime/term/terminal.h"
#include "runtime/term/testing/screen_check.h"
#include "runtime/ui/read_modal.h"

namespace rt::ui {
namespace {

using namespace rt::term;

TEST(WrapParagraphTest, BreaksAfterTheLastBlankThatFits) {
  struct Case {
    const char* text;
    int width;
    std::vector<std::string> rows;
  } cases[] = {
      {"ala ma kota", 5, {"ala ", "ma ", "kota"}},
      {"", 5, {""}},
      {"abcdefghij", 4, {"abcd", "efgh", "ij"}},
      {"abcd", 4, {"abcd", ""}},  // a full last row: the cursor after it needs a row of its own
      {"ab cd", 10, {"ab cd"}},
  };
  for (const Case& c : cases) {
    std::vector<std::string> got;
    std::string p = c.text;
    for (const WrappedRow& r : wrapParagraph(p, c.width)) got.push_back(p.substr(r.start, r.length));
    EXPECT_EQ(got, c.rows) << c.text;
  }
}

class MemoEditTest : public ::testing::Test {
 protected:
  void SetUp() override { setReadInsert(true); }
  void TearDown() override { setReadInsert(false); }
  Headless screen_;
};

TEST_F(MemoEditTest, ShowsWrappedTextAndKeepsItWithCtrlW) {
  screen_.keys({K_CTRL_PGDN});
  screen_.type(" i psa");
  screen_.keys({K_CTRL_W});
  MemoEditResult r = memoEdit("Ala ma kota\r\nDrugi", 10, 20, 13, 27);
  EXPECT_TRUE(r.saved);
  EXPECT_EQ(r.text, "Ala ma kota\r\nDrugi i psa");
  EXPECT_TRUE(testing::rowsAre(screen_, 10,
                               {"                    Ala ma",
                                "                    kota",
                                "                    Drugi i",
                                "                    psa"}));
  EXPECT_EQ(keyboard().lastKey(), K_CTRL_W);
}

TEST_F(MemoEditTest, EscGivesBackTheOriginalAfterConfirmation) {
  screen_.type("xyz");
  screen_.keys({K_ESC, 'n', K_ESC});
  screen_.type("t");
  MemoEditResult r = memoEdit("tekst", 5, 0, 9, 39);
  EXPECT_FALSE(r.saved);
  EXPECT_EQ(r.text, "tekst");
  // The question's line is given back.
  EXPECT_EQ(screen_.textAt(kScoreRow, 58, 22), std::string(22, ' '));
}

TEST_F(MemoEditTest, NoQuestionWithTheScoreboardOff) {
  context().settings.scoreboard = false;
  screen_.type("xyz");
  screen_.keys({K_ESC});
  EXPECT_EQ(memoEdit("tekst", 5, 0, 9, 39).text, "tekst");
  context().settings.scoreboard = true;
}

TEST_F(MemoEditTest, UnchangedTextLeavesWithoutAQuestion) {
  screen_.keys({K_DOWN, K_RIGHT, K_ESC});
  EXPECT_EQ(memoEdit("a\nb", 0, 0, 3, 9).text, "a\nb");
}

TEST_F(MemoEditTest, EnterBackspaceDelAndCtrlYEditParagraphs) {
  // "one two" -> split after "one", join again, delete the row, type a new one.
  screen_.keys({K_RIGHT, K_RIGHT, K_RIGHT, K_ENTER});  // "one" / " two"
  screen_.keys({K_DEL});                               // "one" / "two"
  screen_.keys({K_BS});                                // "onetwo"
  screen_.keys({K_CTRL_Y});                            // ""
  screen_.type("nowy");
  screen_.keys({K_ENTER});
  screen_.type("drugi");
  screen_.keys({K_UP, K_END, K_DEL, K_CTRL_W});  // joins the two paragraphs
  MemoEditResult r = memoEdit("one two", 0, 0, 4, 19);
  EXPECT_EQ(r.text, "nowydrugi");
}

TEST_F(MemoEditTest, OverwriteModeReplacesCharacters) {
  setReadInsert(false);
  screen_.type("AB");
  screen_.keys({K_CTRL_W});
  EXPECT_EQ(memoEdit("abcd", 0, 0, 2, 9).text, "ABcd");
}

TEST_F(MemoEditTest, LongTextScrollsToTheCursor) {
  std::string text;
  for (int i = 1; i <= 10; ++i) text += "line" + std::to_string(i) + "\r\n";
  text += "end";
  screen_.keys({K_CTRL_PGDN, K_CTRL_W});
  memoEdit(text, 0, 0, 2, 9);
  EXPECT_EQ(screen_.textAt(0, 0, 6), "line9 ");
  EXPECT_EQ(screen_.textAt(2, 0, 4), "end ");
  EXPECT_EQ(screen_.cursorRow(), 2);
  EXPECT_EQ(screen_.cursorCol(), 3);
}

TEST_F(MemoEditTest, ViewerGivesTheTextBackUnchanged) {
  screen_.type("zz");
  screen_.keys({K_CTRL_W});
  MemoEditOptions view;
  view.editable = false;
  MemoEditResult r = memoEdit("stały", 0, 0, 2, 9, view);
  EXPECT_EQ(r.text, "stały");
}

}  // namespace
}  // namespace rt::ui
