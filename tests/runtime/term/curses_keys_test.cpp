// ncurses key codes mapped to the runtime's, with no terminal needed.
#include <gtest/gtest.h>

#include "runtime/core/cp852.h"
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

TEST(CursesKeys, EscapeSequencesTheTerminalDescriptionLacks) {
  struct Case {
    const char* seq;
    int key;
  };
  const Case cases[] = {
      {"[A", K_UP},            {"OA", K_UP},              {"[1;5A", K_CTRL_UP},
      {"[1;5H", K_CTRL_HOME},  {"[1;5F", K_CTRL_END},     {"[1;3D", K_ALT_LEFT},
      {"[1;2C", K_RIGHT},      {"[5;5~", K_CTRL_PGUP},    {"[6;5~", K_CTRL_PGDN},
      {"[2;5~", K_CTRL_INS},   {"[3;5~", K_CTRL_DEL},     {"[3~", K_DEL},
      {"[1~", K_HOME},         {"[4~", K_END},            {"[Z", K_SH_TAB},
      {"OP", K_F1},            {"[1;2P", K_SH_F1},        {"[1;5R", K_CTRL_F3},
      {"[15~", K_F5},          {"[20;5~", K_CTRL_F9},     {"[21;3~", K_ALT_F10},
      {"[24;2~", K_SH_F12},    {"[23~", K_F11},
  };
  for (const Case& c : cases) {
    auto k = decodeEscapeSequence(c.seq);
    ASSERT_TRUE(k) << c.seq;
    EXPECT_EQ(*k, c.key) << c.seq;
  }
  for (const char* unknown : {"[", "[99~", "[1;5X", "x", "[?1h", ""}) EXPECT_FALSE(decodeEscapeSequence(unknown)) << unknown;
}

TEST(CursesKeys, TooSmallMessageNamesBothSizesInPolish) {
  struct Case {
    int cols, rows;
    const char* text;
  };
  const Case cases[] = {
      {80, 24, "Okno terminala ma 80 kolumn i 24 wiersze; program wymaga co najmniej 80 kolumn i 25 wierszy."},
      {72, 21, "Okno terminala ma 72 kolumny i 21 wierszy; program wymaga co najmniej 80 kolumn i 25 wierszy."},
      {1, 1, "Okno terminala ma 1 kolumnę i 1 wiersz; program wymaga co najmniej 80 kolumn i 25 wierszy."},
      {112, 13, "Okno terminala ma 112 kolumn i 13 wierszy; program wymaga co najmniej 80 kolumn i 25 wierszy."},
  };
  for (const Case& c : cases) EXPECT_EQ(cp852ToUtf8(terminalTooSmallMessage(c.cols, c.rows)), c.text);
}

}  // namespace
}  // namespace rt::term
