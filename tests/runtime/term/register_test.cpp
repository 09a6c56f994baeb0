// The screen and keyboard functions called by name, with the runtime's argument defaulting.
#include <gtest/gtest.h>

#include "runtime/core/functions.h"
#include "runtime/term/headless.h"
#include "runtime/term/keys.h"
#include "runtime/term/register.h"
#include "runtime/term/terminal.h"
#include "runtime/term/testing/screen_check.h"

namespace rt::term {
namespace {

using testing::attrsAre;
using testing::rowsAre;

struct RecordingBlock : Block {
  std::vector<std::vector<Value>> calls;
  Value eval(std::vector<Value>& args) override {
    calls.push_back(args);
    return Value();
  }
};

class ByName : public ::testing::Test {
 protected:
  ByName() { registerScreenFunctions(f); }
  Value call(const char* name, std::vector<Value> args = {}) { return f.call(name, std::move(args)); }
  static Value n(double v) { return Value::number(v); }
  static Value s(std::string v) { return Value::text(std::move(v)); }

  Functions f;
  Headless h;
};

TEST_F(ByName, PositionedOutputWithColour) {
  call("SETCOLOR", {s("W+/B,N/W")});
  call("DEVPOS", {n(3), n(4)});
  call("DEVOUT", {s("abc")});
  call("DEVOUT", {s("de"), s("GR+/R")});
  call("DISPOUTAT", {n(5), n(0), s("at"), s("N/W")});
  EXPECT_TRUE(rowsAre(h, 3, {"    abcde", "", "at"}));
  EXPECT_TRUE(attrsAre(h, 3, 4, 3, makeAttr(15, 1)));
  EXPECT_TRUE(attrsAre(h, 3, 7, 2, makeAttr(14, 4)));
  EXPECT_TRUE(attrsAre(h, 5, 0, 2, makeAttr(0, 7)));
  EXPECT_EQ(call("ROW").num(), 3);
  EXPECT_EQ(call("COL").num(), 9);  // DISPOUTAT leaves the cursor alone
  call("SETPOS", {n(1), n(1)});
  call("DISPOUT", {Value::logical(true)});
  EXPECT_TRUE(rowsAre(h, 1, {" T"}));
}

TEST_F(ByName, BoxFramesByStringOrNumberAndDefaults) {
  call("DISPBOX", {n(0), n(0), n(2), n(3), n(2)});
  call("DISPBOX", {n(0), n(5), n(2), n(8), s("12345678 "), s("R/W")});
  call("DISPBOX", {n(0), n(10), n(2), n(13)});
  EXPECT_TRUE(rowsAre(h, 0, {"╔══╗ 1223 ┌──┐", "║  ║ 8  4 │  │", "╚══╝ 7665 └──┘"}));
  EXPECT_TRUE(attrsAre(h, 1, 6, 2, makeAttr(4, 7)));
}

TEST_F(ByName, SaveRestoreAndScroll) {
  call("DEVPOS", {n(0), n(0)});
  call("DEVOUT", {s("top")});
  Value saved = call("SAVESCREEN", {n(0), n(0), n(0), n(9)});
  ASSERT_TRUE(saved.isChar());
  EXPECT_EQ(saved.str().size(), 20u);
  call("SCROLL");  // everything blank
  EXPECT_TRUE(rowsAre(h, 0, {""}));
  call("RESTSCREEN", {n(0), n(0), n(0), n(9), saved});
  EXPECT_TRUE(rowsAre(h, 0, {"top"}));
  call("SCROLL", {n(0), n(0), n(1), n(79), n(-1)});
  EXPECT_TRUE(rowsAre(h, 0, {"", "top"}));
  EXPECT_EQ(call("SAVESCREEN").str().size(), 25u * 80u * 2u);
}

TEST_F(ByName, CursorColourAndDisplayState) {
  EXPECT_EQ(call("SETCURSOR", {n(3)}).num(), 1);
  EXPECT_EQ(call("SETCURSOR").num(), 3);
  EXPECT_EQ(call("SETCURSOR", {n(9)}).num(), 3);  // no such shape: unchanged
  EXPECT_EQ(call("SETCURSOR").num(), 3);
  EXPECT_EQ(call("MAXROW").num(), 24);
  EXPECT_EQ(call("MAXCOL").num(), 79);
  EXPECT_TRUE(call("ISCOLOR").logical());
  EXPECT_TRUE(call("SETBLINK", {Value::logical(false)}).logical());
  EXPECT_FALSE(call("SETBLINK").logical());
  EXPECT_EQ(call("SETCOLOR", {s("B/W")}).str(), "W/N,N/W,N/N,N/N,N/W");
  EXPECT_EQ(call("SETCOLOR", {n(1)}).str(), "B/W,N/W,N/N,N/N,N/W");  // not a string: query
  call("DISPBEGIN");
  call("DISPBEGIN");
  EXPECT_EQ(call("DISPCOUNT").num(), 2);
  call("DISPEND");
  call("DISPEND");
  EXPECT_EQ(call("DISPCOUNT").num(), 0);
}

TEST_F(ByName, KeyboardFunctions) {
  h.keys({'a'});
  h.pause(4);
  h.keys({K_ESC});
  EXPECT_EQ(call("INKEY").num(), 'a');
  EXPECT_EQ(call("INKEY").num(), 0);
  EXPECT_EQ(call("INKEY", {n(1)}).num(), 0);
  EXPECT_EQ(call("INKEY", {n(0)}).num(), K_ESC);
  EXPECT_EQ(call("LASTKEY").num(), K_ESC);
  call("__KEYBOARD", {s("xy")});
  EXPECT_EQ(call("NEXTKEY").num(), 'x');
  call("__KEYBOARD");  // CLEAR TYPEAHEAD
  EXPECT_EQ(call("NEXTKEY").num(), 0);
  EXPECT_TRUE(call("TONE", {n(440), n(1)}).isNil());
}

TEST_F(ByName, SetKeyBlockFiresWithProcedureLineAndVariable) {
  auto block = std::make_shared<RecordingBlock>();
  EXPECT_TRUE(call("SETKEY", {n(K_F2), Value::block(block)}).isNil());
  Value current = call("SETKEY", {n(K_F2)});
  ASSERT_TRUE(current.isBlock());
  EXPECT_EQ(current.blockPtr(), block);
  h.keys({K_F2, K_ENTER});
  EXPECT_EQ(keyboard().waitKey({"WPROW_NB", 42, "NAZWA"}), K_ENTER);
  ASSERT_EQ(block->calls.size(), 1u);
  EXPECT_EQ(block->calls[0][0].str(), "WPROW_NB");
  EXPECT_EQ(block->calls[0][1].num(), 42);
  EXPECT_EQ(block->calls[0][2].str(), "NAZWA");
  EXPECT_TRUE(call("SETKEY", {n(K_F2), Value()}).isBlock());  // explicit NIL removes
  EXPECT_TRUE(call("SETKEY", {n(K_F2)}).isNil());
}

TEST(SetWrapper, ColourAndCursorSettingsActOnTheScreen) {
  Functions f;
  std::vector<int> delegated;
  f.add("SET", [&](Args& a) {
    delegated.push_back(int(a[0].num()));
    return Value::logical(true);
  });
  registerScreenFunctions(f);
  Headless h;
  EXPECT_EQ(f.call("SET", {Value::integer(15), Value::text("GR+/B")}).str(), "W/N,N/W,N/N,N/N,N/W");
  EXPECT_EQ(screen().colors().standard(), makeAttr(14, 1));
  EXPECT_EQ(f.call("SET", {Value::integer(15)}).str(), "GR+/B,N/W,N/N,N/N,N/W");
  EXPECT_EQ(f.call("SET", {Value::integer(16), Value::integer(0)}).num(), 1);
  EXPECT_EQ(screen().cursorShape(), CursorShape::None);
  EXPECT_TRUE(f.call("SET", {Value::integer(1), Value::logical(true)}).logical());
  EXPECT_EQ(delegated, std::vector<int>{1});
}

}  // namespace
}  // namespace rt::term
