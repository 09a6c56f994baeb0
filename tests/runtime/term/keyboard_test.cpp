// The key queue: INKEY with and without waiting on the headless clock, LASTKEY, NEXTKEY,
// KEYBOARD stuffing, CLEAR TYPEAHEAD and hot keys in wait states.
#include <gtest/gtest.h>

#include <csignal>

#include "runtime/term/headless.h"
#include "runtime/term/keys.h"
#include "runtime/term/leave_request.h"
#include "runtime/term/terminal.h"

namespace rt::term {
namespace {

TEST(Keys, FunctionKeyCodes) {
  EXPECT_EQ(functionKey(1), K_F1);
  EXPECT_EQ(functionKey(5), K_F5);
  EXPECT_EQ(functionKey(10), -9);
  EXPECT_EQ(functionKey(11), K_F11);
  EXPECT_EQ(functionKey(12, 3), K_ALT_F12);
  EXPECT_EQ(functionKey(1, 1), K_SH_F1);
  EXPECT_EQ(functionKey(9, 2), K_CTRL_F9);
  EXPECT_EQ(functionKey(3, 2), K_CTRL_F3);
  EXPECT_EQ(functionKey(1, 3), K_ALT_F1);
  EXPECT_EQ(functionKey(12, 2), K_CTRL_F12);
  EXPECT_EQ(altLetterKey('x'), K_ALT_X);
  EXPECT_EQ(altLetterKey('1'), 0);
}

TEST(Inkey, NoWaitReturnsZeroAndKeepsClock) {
  Headless h;
  h.pause(1);
  h.keys({'a'});
  double t = h.now();
  EXPECT_EQ(keyboard().inkey(), 0);
  EXPECT_EQ(h.now(), t);
  EXPECT_EQ(keyboard().lastKey(), 0);
}

TEST(Inkey, TimeoutRunsOutBeforeALateKey) {
  Headless h;
  h.keys({'x'});
  h.pause(5);
  h.keys({K_ENTER});
  double t = h.now();
  EXPECT_EQ(keyboard().inkey(2), 'x');  // ready at once
  EXPECT_EQ(h.now(), t);
  EXPECT_EQ(keyboard().inkey(2), 0);    // the Enter comes 5 s later
  EXPECT_DOUBLE_EQ(h.now(), t + 2);
  EXPECT_EQ(keyboard().lastKey(), 'x');  // a time-out leaves LASTKEY alone
  EXPECT_EQ(keyboard().inkey(2.5), 0);
  EXPECT_EQ(keyboard().inkey(2), K_ENTER);  // 0.5 s into this wait
  EXPECT_DOUBLE_EQ(h.now(), t + 5);
  EXPECT_EQ(keyboard().lastKey(), K_ENTER);
}

TEST(Inkey, ZeroWaitsWithoutLimitAndScriptEndThrows) {
  Headless h;
  h.pause(3600);
  h.keys({K_ESC});
  double t = h.now();
  EXPECT_EQ(keyboard().inkey(0), K_ESC);
  EXPECT_DOUBLE_EQ(h.now(), t + 3600);
  EXPECT_THROW(keyboard().inkey(0), KeysExhausted);
  EXPECT_EQ(keyboard().inkey(1), 0);  // a limited wait just times out
}

TEST(Inkey, WaitingRefreshesTheScreenFirst) {
  Headless h;
  h.keys({'k'});
  screen().dispBegin();
  screen().put(0, 0, "hidden", 7);
  screen().dispEnd();
  screen().put(1, 0, "drawn", 7);
  keyboard().inkey(0);
  EXPECT_EQ(h.textAt(1, 0, 5), "drawn");
}

TEST(Keyboard, StuffedKeysComeFirstAndReplaceTypeahead) {
  Headless h;
  h.keys({'s'});
  keyboard().push('q');
  keyboard().stuff("ab");  // empties the typeahead first
  EXPECT_EQ(keyboard().nextKey(), 'a');
  EXPECT_EQ(keyboard().inkey(), 'a');
  EXPECT_EQ(keyboard().nextKey(), 'b');
  EXPECT_EQ(keyboard().lastKey(), 'a');  // NEXTKEY does not change LASTKEY
  EXPECT_EQ(keyboard().inkey(), 'b');
  EXPECT_EQ(keyboard().inkey(), 's');
  EXPECT_EQ(keyboard().nextKey(), 0);
}

TEST(Keyboard, StuffedChr0ArrivesAsRedrawRequest) {
  Headless h;
  h.keys({'z'});
  keyboard().stuff(std::string(1, '\0'));
  long drawn = h.cellsDrawn();
  EXPECT_EQ(keyboard().waitKey({}), 0);
  EXPECT_EQ(h.cellsDrawn() - drawn, 25 * 80);  // the whole screen painted again
  EXPECT_EQ(keyboard().inkey(0), 'z');
}

TEST(Keyboard, ExtendedCodesAndHighCharactersSurviveTheQueue) {
  Headless h;
  keyboard().push(K_CTRL_INS);
  keyboard().push(K_F12);
  keyboard().stuff(std::string("\xA5", 1));  // ą in code page 852
  EXPECT_EQ(keyboard().inkey(), 0xA5);
  keyboard().push(K_SH_TAB);
  EXPECT_EQ(keyboard().inkey(), K_SH_TAB);
}

TEST(Keyboard, TypedUtf8ArrivesAsCodePage852Keys) {
  Headless h;
  h.typeUtf8("aą│");
  EXPECT_EQ(keyboard().inkey(), 'a');
  EXPECT_EQ(keyboard().inkey(), 0xA5);
  EXPECT_EQ(keyboard().inkey(), 0xB3);
}

TEST(Keyboard, ClearTypeaheadDropsQueuedAndPendingKeys) {
  Headless h;
  h.keys({'1', '2'});
  h.pause(10);
  h.keys({'3'});
  keyboard().stuff("xy");
  keyboard().clearTypeahead();
  EXPECT_EQ(keyboard().inkey(), 0);
  EXPECT_EQ(keyboard().inkey(0), '3');  // a key typed after the clearing still comes
}

TEST(Keyboard, TakeWaitingFindsAKeyBehindOthersAndLeavesThem) {
  Headless h;
  h.keys({'a', K_ESC, 'b'});
  h.pause(5);
  h.keys({K_ESC});
  EXPECT_TRUE(keyboard().takeWaiting(K_ESC));
  EXPECT_EQ(keyboard().lastKey(), K_ESC);
  EXPECT_FALSE(keyboard().takeWaiting(K_ESC));  // the later one has not been typed yet
  EXPECT_EQ(keyboard().inkey(), 'a');
  EXPECT_EQ(keyboard().inkey(), 'b');
}

TEST(HotKeys, FireInWaitStatesWithWhereTheyWait) {
  Headless h;
  std::vector<std::string> calls;
  keyboard().setKey(K_F2, HotKey{[&](const WaitState& w) {
                                   calls.push_back(w.procedure + ":" + std::to_string(w.line) +
                                                   ":" + w.variable);
                                 },
                                 {}});
  h.keys({K_F2, 'a', K_F2, K_ENTER});
  WaitState where{"ED_NB", 120, "_DATA_OD"};
  EXPECT_EQ(keyboard().waitKey(where), 'a');
  EXPECT_EQ(keyboard().waitKey(where), K_ENTER);
  EXPECT_EQ(calls, (std::vector<std::string>{"ED_NB:120:_DATA_OD", "ED_NB:120:_DATA_OD"}));
}

TEST(HotKeys, InkeyNeverFiresThem) {
  Headless h;
  int fired = 0;
  keyboard().setKey(K_F5, HotKey{[&](const WaitState&) { ++fired; }, {}});
  h.keys({K_F5});
  EXPECT_EQ(keyboard().inkey(0), K_F5);
  EXPECT_EQ(fired, 0);
}

TEST(HotKeys, SetKeyReturnsPreviousAndEmptyRemoves) {
  Headless h;
  int which = 0;
  EXPECT_FALSE(keyboard().setKey(K_F3, HotKey{[&](const WaitState&) { which = 1; }, {}}));
  auto old = keyboard().setKey(K_F3, HotKey{[&](const WaitState&) { which = 2; }, {}});
  ASSERT_TRUE(old);
  old->handler({});
  EXPECT_EQ(which, 1);
  EXPECT_TRUE(keyboard().setKey(K_F3, std::nullopt));
  EXPECT_EQ(keyboard().hotKey(K_F3), nullptr);
  h.keys({K_F3});
  EXPECT_EQ(keyboard().waitKey({}), K_F3);
}

TEST(HotKeys, HandlerMayRemoveItselfAndReadKeys) {
  Headless h;
  std::string typed;
  keyboard().setKey(K_F9, HotKey{[&](const WaitState&) {
                                   keyboard().setKey(K_F9, std::nullopt);
                                   typed += char(keyboard().inkey(0));
                                 },
                                 {}});
  h.keys({K_F9, 'q', K_F9});
  EXPECT_EQ(keyboard().waitKey({}), K_F9);  // the second F9 has no handler any more
  EXPECT_EQ(typed, "q");
}

TEST(HotKeys, LimitedWaitCountsTimeSpentInHandler) {
  Headless h;
  keyboard().setKey(K_F4, HotKey{[&](const WaitState&) { h.advance(10); }, {}});
  h.keys({K_F4, 'a'});
  EXPECT_EQ(keyboard().waitKey({}, 5), 0);  // the handler used up the wait
  EXPECT_EQ(keyboard().inkey(), 'a');
}

}  // namespace
}  // namespace rt::term

namespace rt::term {
namespace {

// SIGTERM and SIGHUP only note a leave request; the next read of a key, waiting or not, throws it
// instead of handing out the keys typed ahead.
TEST(LeaveRequest, ASignalEndsTheNextReadOfAKey) {
  for (int signal : {SIGTERM, SIGHUP}) {
    Headless h;
    h.keys({'a', 'b'});
    catchLeaveSignals();
    EXPECT_EQ(keyboard().inkey(0), 'a');
    std::raise(signal);
    EXPECT_EQ(leaveRequested(), signal);
    try {
      keyboard().waitKey({});
      ADD_FAILURE() << "no leave for signal " << signal;
    } catch (const LeaveRequested& leave) {
      EXPECT_EQ(leave.signal, signal);
    }
    EXPECT_THROW(keyboard().inkey(), LeaveRequested);
    restoreLeaveSignals();
    clearLeaveRequest();
    EXPECT_EQ(keyboard().inkey(0), 'b');
  }
}

}  // namespace
}  // namespace rt::term
