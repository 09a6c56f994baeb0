// The settings editors' helpers over the routines the suite and the console register by name.
#include "zus/shell/settings_support.h"

#include "runtime/term/screen.h"
#include "runtime/term/terminal.h"
#include "suite/forms/option_widgets.h"

namespace zus::settings {

std::string display(const std::string& stored) {
  if (!rt::functions().has("_P")) return stored;
  return call("_P", {txt(stored)}).strOr(stored);
}

rt::Value varOr(std::string_view name, rt::Value fallback) {
  const rt::Value* v = vars().tryGet(name);
  return v ? *v : fallback;
}

std::string textVar(std::string_view name) { return varOr(name).strOr(""); }

double numVar(std::string_view name, double fallback) { return varOr(name).numOr(fallback); }

void say(int row, int col, const std::string& text) {
  rt::term::screen().say(row, col, text, rt::term::screen().colors().standard());
}

void sayIn(int row, int col, const std::string& text, const std::string& colourString) {
  rt::term::Screen& s = rt::term::screen();
  std::string previous = s.setColorString(colourString);
  s.say(row, col, text, s.colors().standard());
  s.setColorString(previous);
}

ColourSet::ColourSet(int set) : previous_(call("K_SET_ZESTAW", {num(set)})) {}
ColourSet::~ColourSet() { call("K_SET_ZESTAW", {previous_}); }

OpenWindow::OpenWindow(int type, int top, int left, int bottom, int right,
                       const std::string& title, int set)
    : handle_(call("_ROZWIN", {num(type), num(top), num(left), num(bottom), num(right),
                               txt(title), num(set)})) {}
OpenWindow::~OpenWindow() { close(); }
void OpenWindow::close() {
  if (open_) call("ZWIN", {handle_});
  open_ = false;
}

WaitMessage::WaitMessage(const std::string& stored) : handle_(call("KOM4", {txt(stored)})) {}
WaitMessage::~WaitMessage() { call("ZWIN", {handle_}); }

void message(const std::string& stored) { call("KOM3", {txt(stored), num(0), num(0), num(3)}); }

bool decide(bool yesFirst, const std::string& question, const std::vector<std::string>& lines) {
  rt::Value comment = rt::Value::newArray(0);
  for (const std::string& l : lines) comment.arr().push_back(txt(l));
  return call("DECYZJA", {rt::Value::logical(yesFirst), txt(question), num(0), num(0), comment})
      .logicalOr(false);
}

SelectedArea::SelectedArea() : area_(call("SELECT")) {}
SelectedArea::~SelectedArea() { restore(); }
void SelectedArea::restore() {
  if (area_.intOr(0) > 0) call("DBSELECTAREA", {area_});
}

void editValue(int row, int col, const std::string& var, const std::string& picture,
               const std::string& check) {
  rt::Args a;
  a.push(num(row));
  a.push(num(col));
  a.push(varOr(var), vars().ref(var));
  a.push(txt(picture));
  a.push(txt(check));
  rt::functions().call("READ_PAR", a);
}

void editChoice(int row, int col, const std::string& var, const rt::Value& list) {
  rt::Args a;
  a.push(num(row));
  a.push(num(col));
  a.push(varOr(var), vars().ref(var));
  if (!list.isNil()) a.push(list);
  rt::functions().call("WYBOR_OP", a);
}

bool navigate(int& field, int count) {
  rt::Value current = num(field);
  rt::Args a;
  a.push(current, &current);
  a.push(num(count));
  bool close = rt::functions().call("INC_OPCJE", a).logicalOr(true);
  field = int(current.intOr(1));
  return close;
}

void showValue(int row, int col, const std::string& var, const std::string& picture) {
  suite::showParameter(row, col, varOr(var), picture);
}

void showChoice(int row, int col, const std::string& var, const rt::Value& list) {
  suite::showParameter(row, col, txt(suite::choiceShown(varOr(var), list)), "");
}

}  // namespace zus::settings
