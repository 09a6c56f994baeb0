// ncurses key codes mapped to the runtime's, with no terminal needed.
#include <gtest/gtest.h>

#include "runtime/term/curses_backend.h"
#include "runtime/term/keys.h"

// Last: its macros would clash with names in the headers above.
#define NCURSES_WIDECHAR 1
#include <ncurses.h>

namespace rt::term {
namespace {

TEST(CursesKeys, CursorEditingAndFunctionKeys) {
  struct Case {
    int curses;
    int runtime;
  };
  const Case cases[] = {
      {KEY_UP, K_UP},         {KEY_DOWN, K_DOWN},     {KEY_LEFT, K_LEFT},
      {KEY_RIGHT, K_RIGHT},   {KEY_HOME, K_HOME},     {KEY_END, K_END},
      {KEY_PPAGE, K_PGUP},    {KEY_NPAGE, K_PGDN},    {KEY_IC, K_INS},
      {KEY_DC, K_DEL},        {KEY_BACKSPACE, K_BS},  {KEY_ENTER, K_ENTER},
      {KEY_BTAB, K_SH_TAB},   {KEY_F(1), K_F1},       {KEY_F(2), K_F2},
      {KEY_F(5), K_F5},       {KEY_F(10), K_F10},     {KEY_F(11), K_F11},
      {KEY_F(12), K_F12},     {KEY_F(13), K_SH_F1},   {KEY_F(24), K_SH_F12},
      {KEY_F(25), K_CTRL_F1}, {KEY_F(33), K_CTRL_F9}, {KEY_F(26), K_CTRL_F2},
      {KEY_F(27), K_CTRL_F3}, {KEY_F(37), K_CTRL_F1}, {KEY_F(49), K_ALT_F1},
      {KEY_F(58), K_ALT_F10}, {KEY_F(60), K_ALT_F12},
  };
  for (const Case& c : cases) {
    auto k = mapCursesKey(c.curses);
    ASSERT_TRUE(k) << c.curses;
    EXPECT_EQ(*k, c.runtime) << "curses code " << c.curses;
  }
  EXPECT_FALSE(mapCursesKey(KEY_MOUSE));
  EXPECT_FALSE(mapCursesKey(KEY_F(61)));
}

TEST(CursesKeys, TooSmallMessageNamesBothSizes) {
  std::string m = terminalTooSmallMessage(70, 20);
  EXPECT_NE(m.find("70 columns and 20 rows"), std::string::npos);
  EXPECT_NE(m.find("at least 80 columns and 25 rows"), std::string::npos);
}

}  // namespace
}  // namespace rt::term
