// Small helpers the settings editors share: calls by name into the suite and the console, the
// program state by name, and guards for the colour set and windows an editor opens.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "runtime/core/context.h"
#include "runtime/core/value.h"

namespace zus::settings {

inline rt::Memvars& vars() { return rt::context().memvars; }

inline rt::Value call(std::string_view name, std::vector<rt::Value> args = {}) {
  return rt::functions().call(name, std::move(args));
}

inline rt::Value num(double n) { return rt::Value::integer(int64_t(n)); }
inline rt::Value txt(std::string s) { return rt::Value::text(std::move(s)); }

// `_P`: the display form of a stored text.
std::string display(const std::string& stored);

// A visible variable's value, or `fallback` when there is none.
rt::Value varOr(std::string_view name, rt::Value fallback = {});
std::string textVar(std::string_view name);
double numVar(std::string_view name, double fallback = 0);

// Writes a text at a place in the standard colour of the current colours (@ SAY); the cursor is
// left after it.
void say(int row, int col, const std::string& text);
// The same in the colour a colour string names (its first pair).
void sayIn(int row, int col, const std::string& text, const std::string& colourString);

// `K_SET_ZESTAW(set)` on construction, the previous state given back on destruction.
class ColourSet {
 public:
  explicit ColourSet(int set);
  ~ColourSet();
  ColourSet(const ColourSet&) = delete;
  ColourSet& operator=(const ColourSet&) = delete;

 private:
  rt::Value previous_;
};

// `_ROZWIN(type, top, left, bottom, right, title, set)`, closed with `ZWIN` on destruction.
class OpenWindow {
 public:
  OpenWindow(int type, int top, int left, int bottom, int right, const std::string& title,
             int set);
  ~OpenWindow();
  OpenWindow(const OpenWindow&) = delete;
  OpenWindow& operator=(const OpenWindow&) = delete;
  void close();

 private:
  rt::Value handle_;
  bool open_ = true;
};

// A message window of `KOM4`, closed with `ZWIN` on destruction.
class WaitMessage {
 public:
  explicit WaitMessage(const std::string& stored);
  ~WaitMessage();
  WaitMessage(const WaitMessage&) = delete;
  WaitMessage& operator=(const WaitMessage&) = delete;

 private:
  rt::Value handle_;
};

// `KOM3(text, 0, 0, 3)`: a message the user reads.
void message(const std::string& stored);

// `DECYZJA(yesFirst, question, 0, 0, lines)`.
bool decide(bool yesFirst, const std::string& question, const std::vector<std::string>& lines);

// Gives back the selected work area on every way out.
class SelectedArea {
 public:
  SelectedArea();
  ~SelectedArea();
  SelectedArea(const SelectedArea&) = delete;
  SelectedArea& operator=(const SelectedArea&) = delete;
  void restore();

 private:
  rt::Value area_;
};

// The option-screen widgets on a variable by name (passed by reference).
void editValue(int row, int col, const std::string& var, const std::string& picture,
               const std::string& check = "");
void editChoice(int row, int col, const std::string& var, const rt::Value& list = {});
// `INC_OPCJE(@field, count)`: true when the window is to close.
bool navigate(int& field, int count);
// The value of a field as the widgets show it, without editing.
void showValue(int row, int col, const std::string& var, const std::string& picture);
void showChoice(int row, int col, const std::string& var, const rt::Value& list = {});

}  // namespace zus::settings
