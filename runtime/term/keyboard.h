// The keyboard: the typeahead queue, INKEY/LASTKEY/NEXTKEY, KEYBOARD stuffing and hot keys.
//
// Keys come from the queue first (what KEYBOARD stuffed), then from the back end. Before waiting
// for a key the screen is refreshed, so the user sees what the program drew. A stuffed CHR(0)
// arrives as key 0: wait states take it as a request to redraw.
//
// Hot keys (SETKEY) fire only in wait states, which read keys through waitKey(): the handler gets
// the wait state's procedure, line and variable name, the key is consumed and the wait goes on.
// INKEY() itself never fires them.
//
// Once a leave was requested (SIGHUP, SIGTERM; see leave_request.h) every read of a key throws
// LeaveRequested instead of returning.
#pragma once

#include <deque>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <string_view>

#include "runtime/core/value.h"

namespace rt::term {

class Backend;
class Screen;

// Where a wait state is waiting: handed to hot-key handlers.
struct WaitState {
  std::string procedure;
  int line = 0;
  std::string variable;
};

using HotKeyHandler = std::function<void(const WaitState&)>;

// A hot key's action: a C++ handler, or a code block set by name (SETKEY(n, {|p, l, v| ...})).
struct HotKey {
  HotKeyHandler handler;
  Value block;  // NIL for a C++ handler
};

class Keyboard {
 public:
  void attach(Backend* backend, Screen* screen) { backend_ = backend; screen_ = screen; }
  // Empty queue, LASTKEY 0, no hot keys.
  void reset();

  // INKEY(): the next key if one is ready, else 0; never waits.
  int inkey();
  // INKEY(n): waits up to n seconds; n <= 0 waits without limit (INKEY(0)). 0 when none came.
  int inkey(double seconds);
  int lastKey() const { return lastKey_; }
  void setLastKey(int key) { lastKey_ = key; }
  // NEXTKEY(): the key INKEY() would return, left in the queue; 0 when none.
  int nextKey();

  // KEYBOARD / __KEYBOARD(text): empties the typeahead, then queues the bytes of `text`.
  void stuff(std::string_view text);
  // Adds one key code (extended codes too) at the end of the typeahead.
  void push(int key);
  // CLEAR TYPEAHEAD: empties the queue and drops keys the back end already has.
  void clearTypeahead();
  size_t queued() const { return queue_.size(); }
  // Takes the first `key` waiting anywhere in the typeahead out of it (a print loop's look for
  // Esc); the other keys stay. False when it is not there. Never waits.
  bool takeWaiting(int key);

  // SETKEY: sets (or with an empty action, removes) the hot key; returns the previous action.
  std::optional<HotKey> setKey(int key, std::optional<HotKey> action);
  const HotKey* hotKey(int key) const;
  // Runs the hot key's action for the wait state; false when the key has none.
  bool fireHotKey(int key, const WaitState& where);

  // The key reader of every wait state: like inkey(seconds), but hot keys fire and are consumed.
  // 0 when the time ran out (or a redraw was requested).
  int waitKey(const WaitState& where, double seconds = 0);

  // Seconds on the back end's clock.
  double now() const;

 private:
  std::optional<int> take(double timeoutSeconds);
  void pumpBackend();

  Backend* backend_ = nullptr;
  Screen* screen_ = nullptr;
  std::deque<int> queue_;
  int lastKey_ = 0;
  std::map<int, HotKey> hotKeys_;
};

}  // namespace rt::term
