// Helpers the benefit edit form and its field checks share: the form's working copies by name,
// the screen writes of the form (plain, bold, in a named pair), message windows of a given kind,
// the register table and the benefit dictionary by alias, and the small comparisons of the
// expression syntax that the form's conditions use.
//
// The working copies are private variables of the form (`_od`, `_l_dni`, `skr_zas`...): every
// routine reaches them by name, so the checks behave the same whether the form or a test made them.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "runtime/core/context.h"
#include "runtime/core/value.h"
#include "zus/shell/settings_support.h"

namespace zus::form {

using settings::call;
using settings::vars;
// Calls a routine of another part of the register when it is registered; `fallback` otherwise.
rt::Value callIfPresent(std::string_view name, std::vector<rt::Value> args, rt::Value fallback);

using settings::num;
using settings::txt;
inline rt::Value flag(bool b) { return rt::Value::logical(b); }

// A working copy or program variable, typed; the fallback when it is missing or of another type.
inline rt::Value var(std::string_view name) { return settings::varOr(name); }
inline std::string text(std::string_view name) { return settings::textVar(name); }
inline double number(std::string_view name, double fallback = 0) {
  return settings::numVar(name, fallback);
}
int32_t date(std::string_view name);
bool logical(std::string_view name, bool fallback = false);
void set(std::string_view name, rt::Value v);

// Element n (1-based) of the link array `zas_zus`: the kind linked to benefit slot n, "" when
// unlinked or missing.
std::string slotKind(int slot);
// The benefit kind being edited (`_zasilek`) is that of slot n (exact comparison; never for an
// unlinked slot).
bool kindOfSlot(int slot);
// The "=" of the expression syntax for texts with SET EXACT off: `b` empty or a prefix of `a`.
bool looseEquals(std::string_view a, std::string_view b);

// `_P` of a stored text.
using settings::display;
// Writes at (row, col): in the standard colour of the current colours, in the current set's bold
// colour, or in the colour a colour string names.
using settings::say;
void sayBold(int row, int col, const std::string& text);
using settings::sayIn;
// "Tak" / "Nie" as the form shows its answers.
inline const char* yesNo(bool yes) { return yes ? "Tak" : "Nie"; }

// `KOM3` with one text or several lines and a message kind.
void message(const std::string& stored, int kind);
void message(const std::vector<std::string>& lines, int kind);
// `DECYZJA(default, question, 0, 0, comment)`; true only for "Tak".
bool decide(bool yesFirst, const std::string& question, const std::string& comment = {});

// The status text shown for a status code: the element of `stat_mess` at the code's position in
// `stat_err`, cut or padded to 40 characters; blanks for a code the table does not hold.
std::string statusText(double code);

// Selects a work area by alias (a no-op when it is not open).
void selectAlias(std::string_view alias);
// A field of a table by alias; NIL when the alias or field is missing.
rt::Value aliasField(std::string_view alias, std::string_view field);

// `K_SET_ZESTAW(set)` on construction, the previous colour state given back on destruction.
using settings::ColourSet;

// `STATLINE(text)` on construction, `STATLINE(-1)` on destruction (or at restore()).
class StatusLine {
 public:
  explicit StatusLine(const std::string& stored);
  ~StatusLine() { restore(); }
  StatusLine(const StatusLine&) = delete;
  StatusLine& operator=(const StatusLine&) = delete;
  void restore();

 private:
  bool shown_ = true;
};

// A window of `_ROZWIN`, closed with `ZWIN` on destruction (or at close()).
class FormWindow {
 public:
  FormWindow(int type, int top, int left, int bottom, int right, const rt::Value& title, int set);
  ~FormWindow() { close(); }
  FormWindow(const FormWindow&) = delete;
  FormWindow& operator=(const FormWindow&) = delete;
  void close();
  const rt::Value& handle() const { return handle_; }

 private:
  rt::Value handle_;
  bool open_ = true;
};

// The selected work area given back on destruction.
class KeepSelectedArea {
 public:
  KeepSelectedArea();
  ~KeepSelectedArea();
  KeepSelectedArea(const KeepSelectedArea&) = delete;
  KeepSelectedArea& operator=(const KeepSelectedArea&) = delete;

 private:
  int area_;
};

}  // namespace zus::form
