// Windows: handles, frames, titles, shadows, nesting and malformed handles.
#include "console/window.h"

#include "runtime/core/functions.h"
#include "screen_fixture.h"

namespace {

using contest::ScreenTest;
using rt::term::screen;

class Windows : public ScreenTest {
 protected:
  void SetUp() override {
    ScreenTest::SetUp();
    palette();
    screen().fill(0, 0, 24, 79, '.', rt::term::makeAttr(7, 0));
  }
};

TEST_F(Windows, HandleRecordsTheSavedRectangle) {
  struct Case {
    con::WindowSpec layout;
    const char* head;
  } cases[] = {
      {{1, 5, 10, 9, 50, {}, {}, false}, " 510 950"},
      {{-1, 5, 10, 9, 50, std::string("Tytul"), {}, false}, " 5101052"},
      {{-2, 0, 0, 22, 79, {}, {}, false}, " 0 02381"},
      // Kept on the screen: rows beyond 24 and columns beyond 79 are pulled back.
      {{1, 20, 70, 30, 95, {}, {}, false}, "20702479"},
      {{-2, -3, -1, 4, 10, {}, {}, false}, " 0 0 512"},
      // A shadowed window in the last rows and columns saves row 25 and columns 80-81.
      {{-1, 20, 60, 24, 79, {}, {}, false}, "20602581"},
  };
  const std::string before = h.text();
  for (const auto& c : cases) {
    std::string handle = con::ROZWIN(c.layout);
    EXPECT_EQ(handle.substr(0, 8), c.head);
    ASSERT_TRUE(con::parseHandle(handle).has_value()) << c.head;
    con::ZWIN(handle);
    EXPECT_EQ(h.text(), before) << c.head;
  }
}

TEST_F(Windows, FramedWindowAndTitleBars) {
  std::string framed = con::ROZWIN({1, 5, 10, 8, 20, {}, 38, false});
  EXPECT_EQ(shown(5, 9, 13), ".┌─────────┐.");
  EXPECT_EQ(shown(6, 9, 13), ".│         │.");
  EXPECT_EQ(shown(8, 9, 13), ".└─────────┘.");
  EXPECT_EQ(h.attrAt(6, 12), attr(38, 9));
  con::ZWIN(framed);

  // A title turns a framed window into a title-bar window; the title is centred.
  std::string titled = con::ROZWIN({1, 5, 10, 8, 20, std::string("  Abc "), 38, false});
  EXPECT_EQ(shown(5, 9, 13), ".    Abc    .");
  EXPECT_EQ(shown(6, 9, 13), ".|         |.");
  EXPECT_EQ(shown(8, 9, 13), ".L=========-.");
  EXPECT_EQ(h.attrAt(5, 14), attr(38, 11));
  con::ZWIN(titled);

  std::string bar = con::ROZWIN({2, 5, 10, 8, 20, std::string("   "), 38, false});
  EXPECT_EQ(h.line(5).substr(10, 11), std::string(11, ' '));
  EXPECT_EQ(h.attrAt(5, 10), attr(38, 11));
  con::ZWIN(bar);
  EXPECT_EQ(h.line(5), std::string(80, '.'));
}

TEST_F(Windows, ShadowFollowsThePalette) {
  const auto grey = rt::term::makeAttr(7, 0);
  screen().fill(0, 0, 24, 79, '.', rt::term::makeAttr(15, 1));
  std::string w = con::ROZWIN({-1, 5, 10, 9, 50, {}, 36, false});
  EXPECT_EQ(h.attrAt(7, 51), grey);
  EXPECT_EQ(h.attrAt(10, 30), grey);
  con::ZWIN(w);
  EXPECT_NE(h.attrAt(10, 30), grey);

  palette("KOLOR2");  // no shadows in this palette
  w = con::ROZWIN({-1, 5, 10, 9, 50, {}, 36, false});
  EXPECT_NE(h.attrAt(10, 30), grey);
  EXPECT_EQ(w.substr(0, 8), " 5101052");  // the handle still saves the shadow's place
  con::ZWIN(w);
}

TEST_F(Windows, NestedWindowsCloseInReverseOrder) {
  std::string before = h.text();
  std::string outer = con::ROZWIN({-2, 3, 5, 15, 60, std::string("Zewn"), 38, false});
  std::string middle = con::ROZWIN({-1, 6, 10, 12, 40, {}, 36, false});
  std::string afterMiddle = h.text();
  std::string inner = con::ROZWIN({2, 8, 12, 10, 30, std::string("W"), 39, false});
  con::ZWIN(inner);
  EXPECT_EQ(h.text(), afterMiddle);
  con::ZWIN(middle);
  con::ZWIN(outer);
  EXPECT_EQ(h.text(), before);
}

TEST_F(Windows, ColourStateAndTheAnimationLeaveNoTrace) {
  std::string colours = screen().colorString();
  std::string plain = con::ROZWIN({-2, 2, 10, 22, 70, std::string("T"), 39, false});
  std::string drawn = h.text();
  con::ZWIN(plain);
  std::string animated = con::ROZWIN({-2, 2, 10, 22, 70, std::string("T"), 39, true});
  EXPECT_EQ(h.text(), drawn);
  EXPECT_EQ(screen().colorString(), colours);
  EXPECT_EQ(con::paletteState().currentSet, 32);
  con::ZWIN(animated);
}

TEST_F(Windows, MalformedHandlesAreIgnored) {
  std::string good = con::ROZWIN({1, 5, 10, 9, 50, {}, {}, false});
  std::string drawn = h.text();
  const std::string bad[] = {"", " 5", " 510 950", good.substr(0, good.size() - 1),
                             "xx10 950" + good.substr(8), " 910 550" + good.substr(8),
                             good + "zz"};
  for (const auto& b : bad) {
    con::ZWIN(b);
    EXPECT_EQ(h.text(), drawn) << '"' << b.substr(0, 8) << '"';
  }
  rt::Args args({rt::Value::number(5)});
  rt::functions().call("ZWIN", args);
  EXPECT_EQ(h.text(), drawn);
}

TEST_F(Windows, ByNameSixthArgumentThatIsNoTitle) {
  con::K_SET_ZESTAW(con::ColourState{38, std::nullopt});
  rt::Value handle = rt::functions().call(
      "_ROZWIN", {rt::Value::number(-1), rt::Value::number(5), rt::Value::number(10),
                  rt::Value::number(9), rt::Value::number(50), rt::Value::number(38)});
  ASSERT_TRUE(handle.isChar());
  EXPECT_EQ(handle.str().substr(0, 8), " 5101052");
  EXPECT_EQ(shown(5, 10, 41), "┌───────────────────────────────────────┐");
  EXPECT_EQ(h.attrAt(6, 20), attr(38, 9));
}

TEST_F(Windows, GlyphShimsAndTheTextHook) {
  EXPECT_EQ(con::KODY_RAMEK("\xDA"), "\xDA");
  EXPECT_EQ(con::KODY_RAMEK(""), std::string(1, '\0'));
  EXPECT_EQ(con::KODY_RAMEK(" ", 3), " ");
  EXPECT_TRUE(con::K_DAJ_NOWE().empty());
  EXPECT_EQ(con::CZY_NOWY(), 0);
  EXPECT_TRUE(con::NOWY_GEN());
  con::STARY_GEN();
  EXPECT_EQ(screen().cursorShape(), rt::term::CursorShape::None);
  EXPECT_TRUE(rt::functions().call("_P", {}).isNil());
  EXPECT_EQ(rt::functions().call("_P", {rt::Value::text("Zasil`ek")}).str(), "Zasil`ek");
  EXPECT_EQ(con::displayText("a`"), "a`");
}

}  // namespace
