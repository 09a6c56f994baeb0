// The message window, _ALERT and DECYZJA driven by scripted keys, and the list search.
#include "console/dialog.h"

#include "console/message_window.h"
#include "console/window.h"
#include "recording_headless.h"
#include "runtime/core/functions.h"
#include "runtime/term/keys.h"
#include "screen_fixture.h"

namespace {

using namespace rt::term;
using contest::RecordingHeadless;
using contest::ScreenTest;

class Dialogs : public ScreenTest {
 protected:
  void SetUp() override {
    ScreenTest::SetUp();
    rec = std::make_unique<RecordingHeadless>();
    palette();
    screen().fill(0, 0, 24, 79, '.', makeAttr(7, 0));
    screen().setCursor(3, 4);
  }
  void TearDown() override {
    rec.reset();
    ScreenTest::TearDown();
  }
  rt::Value call(const char* name, std::vector<rt::Value> args) {
    return rt::functions().call(name, std::move(args));
  }
  const contest::ScreenPicture& firstPicture() { return rec->pictures.at(0); }
  std::unique_ptr<RecordingHeadless> rec;
};

rt::Value text(const std::string& s) { return rt::Value::text(s); }
rt::Value num(double n) { return rt::Value::number(n); }
rt::Value logical(bool b) { return rt::Value::logical(b); }
rt::Value array(std::vector<rt::Value> v) {
  rt::Value a = rt::Value::newArray(0);
  a.arr() = std::move(v);
  return a;
}

TEST_F(Dialogs, MessageWindowLeftOpen) {
  std::string colours = screen().colorString();
  std::string handle = con::showMessage(std::string_view("Trzynascie z."), 36, false);
  EXPECT_EQ(handle.substr(0, 8), "10311449");  // rows 10-13 and the shadow's row
  EXPECT_EQ(rec->textAt(12, 33, 13), "Trzynascie z.");
  EXPECT_EQ(rec->textAt(10, 31, 17), "     Uwaga !     ");
  EXPECT_EQ(rec->attrAt(14, 40), makeAttr(7, 0));  // the shadow's row
  EXPECT_EQ(screen().colorString(), colours);
  EXPECT_EQ(screen().row(), 3);
  EXPECT_EQ(screen().col(), 4);
  con::ZWIN(handle);
  EXPECT_EQ(rec->line(12), std::string(80, '.'));
}

TEST_F(Dialogs, MessageLinesAreCentredAndCleanedInPlace) {
  rt::Value lines = array({text(std::string(10, 'a')), text(std::string(20, 'b')),
                           text(std::string(5, 'c'))});
  rt::Value handle = call("KOM", {lines, rt::Value(), logical(false)});
  EXPECT_EQ(handle.str().substr(0, 8), " 92814" "51");
  EXPECT_EQ(rec->textAt(11, 35, 10), std::string(10, 'a'));
  EXPECT_EQ(rec->textAt(12, 30, 20), std::string(20, 'b'));
  EXPECT_EQ(rec->textAt(13, 37, 5), std::string(5, 'c'));
  EXPECT_EQ(rec->attrAt(11, 35), attr(38, 1));
  con::ZWIN(handle.str());

  rt::Value odd = array({num(7), text(std::string(80, 'x'))});
  call("KOM", {odd, num(37), logical(false)});
  EXPECT_EQ(odd.arr()[0].str(), "");
  EXPECT_EQ(odd.arr()[1].str(), std::string(70, 'x') + " ...");
  call("KOM", {num(5), num(37), logical(false)});
  EXPECT_EQ(rec->textAt(12, 28, 24), "Chwilowo nie okres`lone.");
}

TEST_F(Dialogs, MessageWindowWaitsForAKeyAndCloses) {
  rec->keys({'x'});
  std::string before = rec->text();
  con::showMessage(std::string_view("Plik zapisany"));
  EXPECT_EQ(rec->pictures.size(), 1u);
  EXPECT_EQ(firstPicture().utf8(12, 33, 13), "Plik zapisany");
  EXPECT_EQ(rec->text(), before);
}

TEST_F(Dialogs, LongMessagesStayOnTheScreen) {
  std::vector<std::string> many;
  for (int i = 1; i <= 30; ++i) many.push_back("linia " + std::to_string(i));
  std::string handle = con::showMessage(many, 38, false);
  auto rect = con::parseHandle(handle);
  ASSERT_TRUE(rect);
  EXPECT_GE(rect->top, 0);
  EXPECT_LE(rect->bottom, 24);
  EXPECT_NE(rec->text().find("linia 19"), std::string::npos);
  EXPECT_EQ(rec->text().find("linia 20"), std::string::npos);
  EXPECT_NE(rec->text().find("..."), std::string::npos);
  con::ZWIN(handle);
}

TEST_F(Dialogs, DecyzjaLayoutAndKeys) {
  struct Case {
    std::vector<int> keys;
    bool yesFirst;
    bool expected;
    int lastKey;
  } cases[] = {
      {{K_ENTER}, true, true, K_ENTER},
      {{K_RIGHT, K_ENTER}, true, false, K_ENTER},
      {{'n'}, true, false, K_ENTER},
      {{'T'}, false, true, K_ENTER},
      {{K_ESC}, true, false, K_ESC},
      {{K_LEFT, K_ENTER}, false, true, K_ENTER},
      {{K_LEFT, K_LEFT, K_ENTER}, false, false, K_ENTER},
      {{K_END, K_HOME, K_ENTER}, false, true, K_ENTER},
      {{K_UP, 'q', K_PGDN, K_ENTER}, true, true, K_ENTER},
  };
  for (const auto& c : cases) {
    rec->pictures.clear();
    rec->keys(c.keys);
    std::string before = rec->text();
    EXPECT_EQ(con::DECYZJA(c.yesFirst, "Czy stawka dzienna kwotowa ?"), c.expected);
    EXPECT_EQ(keyboard().lastKey(), c.lastKey);
    EXPECT_EQ(rec->text(), before);
    EXPECT_EQ(screen().row(), 3);
  }
  // The window of the last run, as it waited for its first key.
  const auto& p = firstPicture();
  EXPECT_EQ(p.utf8(8, 24, 32), "            Wybierz             ");
  EXPECT_EQ(p.utf8(10, 26, 28), "Czy stawka dzienna kwotowa ?");
  EXPECT_EQ(p.utf8(12, 34, 13), "►Tak◄▄  Nie ▄");
  EXPECT_EQ(p.attr(12, 34), attr(36, 3));
  EXPECT_EQ(p.attr(12, 41), rt::term::firstPairAttr(con::K_INV(0, 36, 1), 0));
  EXPECT_EQ(p.utf8(13, 35, 12), "▀▀▀▀▀  ▀▀▀▀▀");
  EXPECT_EQ(p.utf8(12, 39, 1), "▄");
  EXPECT_EQ(p.utf8(14, 24, 32), "L==============================-");
}

TEST_F(Dialogs, CommentLinesWidenTheWindow) {
  rec->keys({K_ENTER});
  rt::Value comment = array({text("Pierwsza"), num(3), text("Druga")});
  call("DECYZJA", {logical(false), text("Pytanie ?"), num(0), num(0), comment});
  ASSERT_EQ(comment.arr().size(), 2u);  // the number was removed from the caller's array
  const auto& p = firstPicture();
  EXPECT_EQ(p.utf8(7, 34, 12).find("Wybierz") != std::string::npos, true);
  EXPECT_NE(p.lines[9].find("Pierwsza"), std::string::npos);
  EXPECT_NE(p.lines[10].find("Druga"), std::string::npos);
  EXPECT_NE(p.lines[12].find("Pytanie ?"), std::string::npos);
  EXPECT_NE(p.lines[14].find("Nie"), std::string::npos);
  EXPECT_NE(p.lines[16].find("L==="), std::string::npos);

  rec->pictures.clear();
  rec->keys({K_ENTER});
  call("DECYZJA", {logical(false), text("Pytanie ?"), num(0), num(0), text("Jedna")});
  EXPECT_NE(firstPicture().lines[9].find("Jedna"), std::string::npos);
  EXPECT_NE(firstPicture().lines[11].find("Pytanie ?"), std::string::npos);
}

TEST_F(Dialogs, LettersJumpBetweenButtons) {
  rec->keys({'d', 'd', 'a'});
  rt::Value r = call("_ALERT", {text("Co dalej ?"),
                                array({text("Dalej"), text("Drukuj"), text("Anuluj")})});
  EXPECT_EQ(r.num(), 3);  // 'a' begins one button only: chosen at once
  ASSERT_GE(rec->pictures.size(), 3u);
  EXPECT_NE(rec->pictures[1].utf8(12, 0, 80).find("►Drukuj◄"), std::string::npos);
  EXPECT_NE(rec->pictures[2].utf8(12, 0, 80).find("►Dalej◄"), std::string::npos);
}

TEST_F(Dialogs, HighlightEscAndBadButtons) {
  for (rt::Value wybor : {num(0), num(9), text("2")}) {
    rec->keys({K_ENTER});
    EXPECT_EQ(call("_ALERT", {text("?"), array({text("A"), text("B")}), wybor}).num(), 1);
  }
  rec->keys({K_ESC});
  EXPECT_EQ(call("_ALERT", {text("?"), array({text("A"), text("B")}), num(2), logical(false)})
                .num(),
            1);

  rec->pictures.clear();
  rec->keys({K_ENTER});
  EXPECT_EQ(call("_ALERT", {text("?"), text("A")}).num(), 0);
  EXPECT_NE(firstPicture().lines[12].find("parametru \"_OPTIONS\" !"), std::string::npos);
  for (rt::Value buttons : {array({}), array({text(std::string(73, 'x')), text("B")})}) {
    rec->pictures.clear();
    rec->keys({K_ENTER});
    EXPECT_EQ(call("_ALERT", {text("?"), buttons}).num(), 0);
    EXPECT_NE(firstPicture().lines[12].find("parametru \"OPTIONS\" !"), std::string::npos);
  }
  rec->keys({K_ENTER});
  EXPECT_EQ(call("_ALERT", {text("?"), array({text(std::string(72, 'x'))})}).num(), 1);
  rec->keys({K_ENTER});
  EXPECT_EQ(call("_ALERT", {text("?"), array({num(1), text("B")})}).num(), 1);
}

TEST_F(Dialogs, ListSearch) {
  const std::vector<std::string> items = {"Alfa", "beta", "Anna"};
  struct Case {
    const char* key;
    std::vector<bool> flags;
    bool quick;
    int expected;
    bool enterQueued;
  } cases[] = {
      {"a", {}, false, 3, false}, {"b", {}, false, 2, true},    {"UP", {}, false, 3, false},
      {"DOWN", {false, true, true}, false, 2, false},            {"al", {}, true, 1, false},
      {"x", {}, false, 1, false}, {"A", {}, false, 1, false},    {"a", {true, true, false}, false, 1, true},
  };
  for (const auto& c : cases) {
    keyboard().reset();
    con::ChoiceSearch s{&items, 1, c.key, c.flags.empty() ? nullptr : &c.flags, true, c.quick};
    EXPECT_EQ(con::SZUK_ACHOICE(s), c.expected) << c.key;
    EXPECT_EQ(keyboard().nextKey() == K_ENTER, c.enterQueued) << c.key;
  }
  keyboard().reset();
}

}  // namespace

#include "console/settings_file.h"

namespace {

TEST_F(Dialogs, LibraryFailuresShowAWarningWindowThatWaitsForAKey) {
  rec->keys({K_ENTER});
  std::string before = rec->text();
  EXPECT_TRUE(con::FILE2ARRAY("/nie/ma/takiego.ini").empty());
  ASSERT_EQ(rec->pictures.size(), 1u);
  const auto& p = firstPicture();
  EXPECT_NE(p.lines[11].find("Na dysku nie znaleziono pliku:"), std::string::npos);
  EXPECT_NE(p.lines[12].find("\"/nie/ma/takiego.ini\""), std::string::npos);
  EXPECT_NE(p.lines[9].find("Uwaga !"), std::string::npos);
  EXPECT_EQ(p.attr(11, 30), attr(37, 1));
  EXPECT_EQ(rec->text(), before);
}

}  // namespace
