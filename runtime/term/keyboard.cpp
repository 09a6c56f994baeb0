// Typeahead queue, key reading with time-outs, and hot keys.
#include "runtime/term/keyboard.h"

#include "runtime/term/backend.h"
#include "runtime/term/leave_request.h"
#include "runtime/term/screen.h"

namespace rt::term {

void Keyboard::reset() {
  queue_.clear();
  lastKey_ = 0;
  hotKeys_.clear();
}

double Keyboard::now() const { return backend_ ? backend_->now() : 0.0; }

void Keyboard::pumpBackend() {
  // Moves keys the back end already has into the queue, without waiting.
  if (!backend_) return;
  while (auto k = backend_->readKey(0.0)) queue_.push_back(*k);
}

std::optional<int> Keyboard::take(double timeoutSeconds) {
  // A leave asked for from outside (SIGHUP, SIGTERM) ends the run at the next read of a key.
  throwIfLeaveRequested();
  if (!queue_.empty()) {
    int k = queue_.front();
    queue_.pop_front();
    if (k == 0 && screen_) {
      // A stuffed CHR(0): the wait state redraws, and the terminal is painted afresh with it.
      screen_->invalidate();
      screen_->refresh();
    }
    return k;
  }
  if (!backend_) return std::nullopt;
  if (screen_) screen_->refresh();
  std::optional<int> key = backend_->readKey(timeoutSeconds);
  throwIfLeaveRequested();
  return key;
}

int Keyboard::inkey() {
  auto k = take(0.0);
  if (!k) return 0;
  lastKey_ = *k;
  return *k;
}

int Keyboard::inkey(double seconds) {
  auto k = take(seconds > 0 ? seconds : -1.0);
  if (!k) return 0;
  lastKey_ = *k;
  return *k;
}

int Keyboard::nextKey() {
  if (queue_.empty()) pumpBackend();
  return queue_.empty() ? 0 : queue_.front();
}

void Keyboard::stuff(std::string_view text) {
  queue_.clear();
  for (char c : text) queue_.push_back((unsigned char)c);
}

bool Keyboard::takeWaiting(int key) {
  pumpBackend();
  for (auto it = queue_.begin(); it != queue_.end(); ++it)
    if (*it == key) {
      queue_.erase(it);
      lastKey_ = key;
      return true;
    }
  return false;
}

void Keyboard::push(int key) { queue_.push_back(key); }

void Keyboard::clearTypeahead() {
  pumpBackend();
  queue_.clear();
}

std::optional<HotKey> Keyboard::setKey(int key, std::optional<HotKey> action) {
  std::optional<HotKey> previous;
  if (auto it = hotKeys_.find(key); it != hotKeys_.end()) {
    previous = std::move(it->second);
    hotKeys_.erase(it);
  }
  if (action && (action->handler || !action->block.isNil())) hotKeys_[key] = std::move(*action);
  return previous;
}

const HotKey* Keyboard::hotKey(int key) const {
  auto it = hotKeys_.find(key);
  return it == hotKeys_.end() ? nullptr : &it->second;
}

bool Keyboard::fireHotKey(int key, const WaitState& where) {
  const HotKey* hk = hotKey(key);
  if (!hk) return false;
  // A copy: the action may replace or remove its own hot key while it runs.
  HotKey action = *hk;
  if (action.handler) {
    action.handler(where);
  } else if (action.block.isBlock()) {
    std::vector<Value> args{Value::text(where.procedure), Value::integer(where.line),
                            Value::text(where.variable)};
    action.block.blockPtr()->eval(args);
  }
  return true;
}

int Keyboard::waitKey(const WaitState& where, double seconds) {
  const bool limited = seconds > 0;
  const double deadline = now() + seconds;
  for (;;) {
    double left = limited ? deadline - now() : 0;
    if (limited && left < 0) left = 0;
    int k = limited ? (left > 0 ? inkey(left) : inkey()) : inkey(0);
    if (k == 0) return 0;
    if (!fireHotKey(k, where)) return k;
    if (limited && now() >= deadline) return 0;
  }
}

}  // namespace rt::term
