// A small program on the real terminal for the end-to-end test of the form reader, list choice,
// browse and memo editor: a form (amount, name in capitals, date), then a list of months, then a
// browse of people, then a note edited in a window; a summary line after each step; Esc in the
// browse or the end of the note ends the program.
#include <cstdio>
#include <string>
#include <vector>

#include "runtime/core/context.h"
#include "runtime/core/error.h"
#include "runtime/core/std_functions.h"
#include "runtime/term/curses_backend.h"
#include "runtime/term/keys.h"
#include "runtime/term/terminal.h"
#include "runtime/ui/achoice.h"
#include "runtime/ui/db_edit.h"
#include "runtime/ui/memo_edit.h"
#include "runtime/ui/read_modal.h"

using namespace rt::term;
using namespace rt::ui;

namespace {

void status(const std::string& text) {
  std::string line = text;
  line.resize(80, ' ');
  screen().put(24, 0, line, makeAttr(0, 3));
}

void form() {
  Screen& s = screen();
  s.box(1, 1, 6, 50, std::string(kSingleFrame) + " ", makeAttr(15, 1));
  s.put(1, 3, " Form ", makeAttr(15, 1));
  s.put(2, 3, "Amount:", makeAttr(15, 1));
  s.put(3, 3, "Name:", makeAttr(15, 1));
  s.put(4, 3, "Date:", makeAttr(15, 1));
  rt::Memvars& vars = rt::context().memvars;
  vars.declarePrivate("nKwota", rt::Value::number(0, 2));
  vars.declarePrivate("cNazwa", rt::Value::text(std::string(10, ' ')));
  vars.declarePrivate("dData", rt::Value::date(0));
  GetPtr amount = Get::onMemvar(2, 12, "nKwota", "99 999 999 999.99");
  amount->valid = [&] { return vars.get("nKwota").num() > 0; };
  GetList gets{amount, Get::onMemvar(3, 12, "cNazwa", "@!"), Get::onMemvar(4, 12, "dData")};
  s.setCursorShape(CursorShape::Normal);
  readModal(gets);
  std::string date = rt::functions().call("DTOC", {vars.get("dData")}).str();
  char summary[120];
  std::snprintf(summary, sizeof summary, "Form: %.2f %s %s, last key %d", vars.get("nKwota").num(),
                vars.get("cNazwa").str().c_str(), date.c_str(), keyboard().lastKey());
  status(summary);
}

void months() {
  std::vector<std::string> names = {"Styczen", "Luty", "Marzec", "Kwiecien", "Maj", "Czerwiec"};
  std::vector<bool> open = {true, true, false, true, true, true};
  ChoiceItems items = ChoiceItems::of(names);
  items.selectable = [&](size_t i) { return open[i]; };
  screen().box(8, 1, 15, 14, std::string(kSingleFrame) + " ", makeAttr(15, 1));
  int chosen = achoice(9, 2, 14, 13, items, {}, 1, 0);
  status("List: " + (chosen ? names[size_t(chosen - 1)] : std::string("none")));
}

bool people() {
  struct Person {
    std::string name;
    double amount;
  };
  std::vector<Person> rows = {{"Adam   ", 10}, {"Bogna  ", 20.5}, {"Celina ", 30},
                              {"Dorota ", 40}, {"Ewa    ", 50},   {"Fryda  ", 60}};
  IndexSource source(rows.size());
  screen().box(8, 20, 15, 45, std::string(kSingleFrame) + " ", makeAttr(15, 1));
  Browse browse(9, 21, 14, 44, source);
  browse.addColumn({"Name", [&] { return rt::Value::text(rows[source.current()].name); }, "", 0});
  browse.addColumn({"Amount", [&] { return rt::Value::number(rows[source.current()].amount, 2); },
                    "99999.99", 0});
  std::string picked;
  bool quit = false;
  dbEdit(browse, [&](int mode, int) {
    int key = keyboard().lastKey();
    if (mode == kDeException && key == K_ENTER) {
      picked = rows[source.current()].name;
      return int(kDeAbort);
    }
    if (mode == kDeException && key == K_ESC) {
      quit = true;
      return int(kDeAbort);
    }
    if (mode == kDeHitBottom) status("Browse: bottom reached");
    return int(kDeContinue);
  });
  if (!quit) status("Browse: " + picked);
  return !quit;
}

void note() {
  screen().box(17, 1, 22, 40, std::string(kSingleFrame) + " ", makeAttr(15, 1));
  MemoEditResult r = memoEdit("Notatka", 18, 2, 21, 39);
  std::string text = r.text;
  for (char& c : text)
    if (c == '\r' || c == '\n') c = '/';
  status(std::string("Note ") + (r.saved ? "kept: " : "dropped: ") + text);
}

}  // namespace

int main() {
  try {
    rt::registerStandardFunctions();
    TerminalSession session;
    rt::PrivateFrame frame(rt::context().memvars);
    screen().setColorString("W+/B,N/W,,,W/B");
    screen().clear();
    status("UI demo");
    form();
    months();
    if (people()) note();
    keyboard().inkey(0);
  } catch (const rt::Error& e) {
    std::fprintf(stderr, "%s\n", e.description().c_str());
    return 2;
  }
  std::printf("ui demo ended\n");
  return 0;
}
