// The form reader driven by scripted keys on the headless screen.
#include "runtime/ui/read_modal.h"

#include <gtest/gtest.h>

#include "runtime/core/context.h"
#include "runtime/core/std_functions.h"
#include "runtime/term/headless.h"
#include "runtime/term/keys.h"
#include "runtime/term/terminal.h"

namespace rt::ui {
namespace {

using namespace rt::term;

class ReadModalTest : public ::testing::Test {
 protected:
  void SetUp() override {
    registerStandardFunctions();
    context().settings = Settings{};
  }
  void TearDown() override { context().settings = Settings{}; }

  Memvars& vars() { return context().memvars; }
  double num(const char* name) { return vars().get(name).num(); }
  std::string str(const char* name) { return vars().get(name).str(); }

  Headless screen_;
  PrivateFrame frame_{context().memvars};
};

TEST_F(ReadModalTest, TypedValuesAreStoredAndShownWithTheirPictures) {
  vars().declarePrivate("nIle", Value::number(5, 0));
  vars().declarePrivate("nKwota", Value::number(0, 2));
  vars().declarePrivate("cNazwa", Value::text("     "));
  GetList gets{Get::onMemvar(2, 10, "nIle", "999"), Get::onMemvar(3, 10, "nKwota", "99 999 999 999.99"),
               Get::onMemvar(4, 10, "cNazwa", "@!")};
  screen_.type("12");
  screen_.keys({K_ENTER});
  screen_.type("1234567.5");
  screen_.keys({K_ENTER});
  screen_.type("kot");
  screen_.keys({K_ENTER});

  ReadResult r = readModal(gets);

  EXPECT_EQ(r.end, ReadEnd::LastField);
  EXPECT_TRUE(r.updated);
  EXPECT_TRUE(updated());
  EXPECT_DOUBLE_EQ(num("nIle"), 12);
  EXPECT_DOUBLE_EQ(num("nKwota"), 1234567.5);
  EXPECT_EQ(str("cNazwa"), "KOT  ");
  EXPECT_EQ(screen_.textAt(2, 10, 3), " 12");
  EXPECT_EQ(screen_.textAt(3, 10, 17), "     1 234 567.50");
  EXPECT_EQ(screen_.textAt(4, 10, 5), "KOT  ");
  EXPECT_EQ(keyboard().lastKey(), K_ENTER);
}

TEST_F(ReadModalTest, FullFieldLeavesByItselfUnlessConfirmIsOn) {
  for (bool confirm : {false, true}) {
    context().settings.confirm = confirm;
    vars().declarePrivate("a", Value::text("  "));
    vars().declarePrivate("b", Value::text("  "));
    GetList gets{Get::onMemvar(1, 0, "a"), Get::onMemvar(2, 0, "b")};
    screen_.type("xyz");
    screen_.keys({K_CTRL_W});
    readModal(gets);
    EXPECT_EQ(str("a"), confirm ? "xy" : "xy") << confirm;
    EXPECT_EQ(str("b"), confirm ? "  " : "z ") << confirm;
  }
}

TEST_F(ReadModalTest, LastKeyTellsTheWaysOutApart) {
  struct Case {
    int key;
    ReadEnd end;
    const char* stored;
  } cases[] = {
      {K_ESC, ReadEnd::Escape, "old"},
      {K_CTRL_W, ReadEnd::Write, "ne "},
      {K_PGDN, ReadEnd::Write, "ne "},
      {K_PGUP, ReadEnd::Write, "ne "},
  };
  for (const Case& c : cases) {
    vars().declarePrivate("t", Value::text("old"));
    vars().declarePrivate("u", Value::text("   "));
    GetList gets{Get::onMemvar(1, 0, "t"), Get::onMemvar(2, 0, "u")};
    screen_.keys({K_DOWN, K_UP, K_CTRL_Y, 'n', 'e', c.key});
    ReadResult r = readModal(gets);
    EXPECT_EQ(r.end, c.end) << c.key;
    EXPECT_EQ(keyboard().lastKey(), c.key);
    EXPECT_EQ(str("t"), c.stored) << c.key;
  }
}

TEST_F(ReadModalTest, FalseValidKeepsTheCursorAndFalseWhenSkips) {
  vars().declarePrivate("a", Value::text("   "));
  vars().declarePrivate("b", Value::number(7, 0));
  vars().declarePrivate("c", Value::text("   "));
  GetPtr a = Get::onMemvar(1, 0, "a");
  GetPtr b = Get::onMemvar(2, 0, "b", "999");
  GetPtr c = Get::onMemvar(3, 0, "c");
  int validCalls = 0;
  a->valid = [&] { ++validCalls; return str("a") != "   "; };
  b->when = [] { return false; };
  GetList gets{a, b, c};
  screen_.keys({K_ENTER});  // refused: still in a
  screen_.type("ok");
  screen_.keys({K_ENTER});  // b is skipped
  screen_.type("end");
  readModal(gets);
  EXPECT_EQ(validCalls, 2);
  EXPECT_EQ(str("a"), "ok ");
  EXPECT_DOUBLE_EQ(num("b"), 7);
  EXPECT_EQ(str("c"), "end");
}

TEST_F(ReadModalTest, UpFromTheFirstFieldStaysUnlessReadExit) {
  vars().declarePrivate("a", Value::text("  "));
  GetList gets{Get::onMemvar(1, 0, "a")};
  screen_.keys({K_UP, 'q', K_ENTER});
  readModal(gets);
  EXPECT_EQ(str("a"), "q ");

  setReadExit(true);
  screen_.keys({K_UP});
  EXPECT_EQ(readModal(gets).end, ReadEnd::LastField);
  setReadExit(false);
}

TEST_F(ReadModalTest, HotKeySeesTheTypedValueAndItsChangesShow) {
  vars().declarePrivate("_kw", Value::number(0, 2));
  GetList gets{Get::onMemvar(5, 20, "_kw", "9999999999.99")};
  std::string seenVar;
  double seenValue = -1;
  keyboard().setKey(K_F5, HotKey{[&](const WaitState& w) {
                      seenVar = w.variable;
                      seenValue = num("_kw");
                      vars().assign("_kw", Value::number(99.5, 2));
                    }, Value()});
  screen_.type("12");
  screen_.keys({K_F5, K_CTRL_W});
  readModal(gets);
  keyboard().setKey(K_F5, std::nullopt);
  EXPECT_EQ(seenVar, "_KW");
  EXPECT_DOUBLE_EQ(seenValue, 12);
  EXPECT_DOUBLE_EQ(num("_kw"), 99.5);
  EXPECT_EQ(screen_.textAt(5, 20, 13), "        99.50");
}

TEST_F(ReadModalTest, EscUndoesWhatTheReaderStoredButKeepsAHotKeysChange) {
  vars().declarePrivate("a", Value::text("old"));
  vars().declarePrivate("b", Value::text("old"));
  keyboard().setKey(K_F5, HotKey{[&](const WaitState& w) {
                      if (w.variable == "B") vars().assign("b", Value::text("F5!"));
                    }, Value()});
  GetList first{Get::onMemvar(1, 0, "a")};
  screen_.keys({'n', K_F5, K_ESC});  // "nld" stored before the hot key, then Esc
  readModal(first);
  GetList second{Get::onMemvar(1, 0, "b")};
  screen_.keys({'n', K_F5, K_ESC});  // the hot key put its own value in
  readModal(second);
  keyboard().setKey(K_F5, std::nullopt);
  EXPECT_EQ(str("a"), "old");
  EXPECT_EQ(str("b"), "F5!");
}

TEST_F(ReadModalTest, NestedReadInAHotKeyGivesTheOuterReadBack) {
  vars().declarePrivate("outer", Value::text("   "));
  vars().declarePrivate("inner", Value::number(0, 0));
  GetList outerGets{Get::onMemvar(1, 0, "outer")};
  bool innerUpdated = false;
  std::string varDuringInner, varAfterInner;
  keyboard().setKey(K_CTRL_F2, HotKey{[&](const WaitState&) {
                      GetList innerGets{Get::onMemvar(10, 0, "inner", "99")};
                      readModal(innerGets);
                      innerUpdated = updated();
                      varAfterInner = readVar();
                    }, Value()});
  screen_.type("ab");
  screen_.keys({K_CTRL_F2});
  screen_.type("42");  // the inner field fills up and ends the inner read
  screen_.type("c");
  ReadResult r = readModal(outerGets);
  keyboard().setKey(K_CTRL_F2, std::nullopt);
  EXPECT_TRUE(innerUpdated);
  EXPECT_EQ(varAfterInner, "OUTER");
  EXPECT_DOUBLE_EQ(num("inner"), 42);
  EXPECT_EQ(str("outer"), "abc");
  EXPECT_TRUE(r.updated);
}

TEST_F(ReadModalTest, UnchangedNestedReadLeavesTheOuterReadUpdated) {
  vars().declarePrivate("outer", Value::text("  "));
  vars().declarePrivate("inner", Value::text("  "));
  bool innerUpdated = true;
  keyboard().setKey(K_F7, HotKey{[&](const WaitState&) {
                      GetList innerGets{Get::onMemvar(10, 0, "inner")};
                      readModal(innerGets);
                      innerUpdated = updated();
                    }, Value()});
  GetList gets{Get::onMemvar(1, 0, "outer")};
  screen_.keys({'x', K_F7, K_ESC, K_ENTER});
  ReadResult r = readModal(gets);
  keyboard().setKey(K_F7, std::nullopt);
  EXPECT_FALSE(innerUpdated);
  EXPECT_TRUE(r.updated);
  EXPECT_TRUE(updated());
}

TEST_F(ReadModalTest, CheckMayAddAFieldToTheRunningForm) {
  vars().declarePrivate("flag", Value::text("N"));
  vars().declarePrivate("proc", Value::number(80, 0));
  GetList gets;
  GetPtr flag = Get::onMemvar(1, 0, "flag", "!");
  flag->valid = [&] {
    if (str("flag") == "T") {
      vars().assign("proc", Value::number(100, 0));
      gets.push_back(Get::onMemvar(2, 0, "proc", "999"));
    }
    return true;
  };
  gets.push_back(flag);
  screen_.type("t");  // typed out: the check adds the percentage field, which is read next
  screen_.type("95");
  screen_.keys({K_ENTER});
  readModal(gets);
  EXPECT_EQ(gets.size(), 2u);
  EXPECT_DOUBLE_EQ(num("proc"), 95);
  EXPECT_EQ(screen_.textAt(2, 0, 3), " 95");
}

TEST_F(ReadModalTest, ReadKillFromACheckEndsTheRead) {
  vars().declarePrivate("a", Value::text(" "));
  vars().declarePrivate("b", Value::text(" "));
  GetPtr a = Get::onMemvar(1, 0, "a");
  a->valid = [] { setReadKill(true); return true; };
  GetList gets{a, Get::onMemvar(2, 0, "b")};
  screen_.type("x");
  EXPECT_EQ(readModal(gets).end, ReadEnd::Killed);
  EXPECT_FALSE(readKill());  // the flag belonged to the read that ended
  EXPECT_EQ(str("a"), "x");
}

TEST_F(ReadModalTest, RangeCheckRefusesWithItsMessageUntilTheNextKey) {
  vars().declarePrivate("n", Value::number(0, 0));
  GetPtr g = Get::onMemvar(3, 0, "n", "99");
  std::string messageSeen;
  g->valid = [&] {
    bool ok = rangeCheck(vars().get("n"), Value::number(0, 0), Value::number(9, 0));
    if (!ok) messageSeen = screen().rowText(kScoreRow).substr(kScoreCol, 12);
    return ok;
  };
  GetList gets{g};
  screen_.type("12");  // typed out: refused
  screen_.keys({K_BS, K_BS, K_BS});
  screen_.type("5");
  screen_.keys({K_ENTER});
  readModal(gets);
  EXPECT_EQ(messageSeen, "Zakres: 0 - ");
  EXPECT_DOUBLE_EQ(num("n"), 5);
  EXPECT_EQ(screen_.textAt(kScoreRow, kScoreCol, 12), std::string(12, ' '));
}

// A check that empties the text and keeps the user in the field: the next text is typed from the
// field's first column into an empty buffer.
TEST_F(ReadModalTest, ATextTheCheckEmptiedIsTypedAgainFromItsStart) {
  vars().declarePrivate("kind", Value::text("          "));
  GetPtr g = Get::onMemvar(2, 5, "kind", "!!!!!!!!!!");
  int checks = 0;
  g->valid = [&] {
    if (++checks > 1) return true;
    vars().assign("kind", Value::text("          "));
    return false;
  };
  GetList gets{g};
  screen_.type("xyz");
  screen_.keys({K_ENTER});
  screen_.type("chor_zus");
  screen_.keys({K_ENTER});
  readModal(gets);
  EXPECT_EQ(str("kind"), "CHOR_ZUS  ");
  EXPECT_EQ(screen_.textAt(2, 5, 10), "CHOR_ZUS  ");
}

// The first accepted key of a number clears the field, whatever refused keys came before it.
TEST_F(ReadModalTest, ARefusedKeyLeavesTheFirstDigitClearToCome) {
  struct Case {
    const char* typed;
    double expected;
  } cases[] = {{"300", 300}, {"a300", 300}, {"a", 200}, {"ab3", 3}};
  for (const Case& k : cases) {
    vars().declarePrivate("rate", Value::number(200, 2));
    GetList gets{Get::onMemvar(3, 0, "rate", "9999999999.99")};
    screen_.type(k.typed);
    screen_.keys({K_ENTER});
    readModal(gets);
    EXPECT_DOUBLE_EQ(num("rate"), k.expected) << k.typed;
  }
}

// A date typed to its end shows its last digit before the check's message comes up.
TEST_F(ReadModalTest, ADateTypedOutShowsItsLastDigitBeforeTheCheck) {
  vars().declarePrivate("d", Value::date(0));
  GetPtr g = Get::onMemvar(1, 0, "d");
  std::string shownAtCheck;
  g->valid = [&] {
    if (shownAtCheck.empty()) shownAtCheck = screen_.textAt(1, 0, 10);
    return true;
  };
  GetList gets{g};
  screen_.type("15032024");
  readModal(gets);
  EXPECT_EQ(shownAtCheck, "15.03.2024");
}

TEST_F(ReadModalTest, ImpossibleDateKeepsTheCursorInTheField) {
  vars().declarePrivate("d", Value::date(0));
  GetList gets{Get::onMemvar(1, 0, "d")};
  screen_.type("31022024");  // typed out, refused
  screen_.keys({K_HOME});
  screen_.type("29");
  screen_.keys({K_ENTER});
  readModal(gets);
  EXPECT_EQ(functions().call("DTOC", {vars().get("d")}).str(), "29.02.2024");
}

}  // namespace
}  // namespace rt::ui
