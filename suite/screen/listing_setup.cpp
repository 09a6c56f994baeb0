// The set-up menu of the listing generator and the production of the listing on a device.
#include "suite/screen/listing_setup.h"

#include <algorithm>
#include <string>
#include <vector>

#include "runtime/core/context.h"
#include "runtime/core/expr.h"
#include "runtime/term/keyboard.h"
#include "runtime/term/keys.h"
#include "runtime/term/terminal.h"
#include "runtime/ui/achoice.h"
#include "suite/forms/display_text.h"
#include "suite/screen/colour_set.h"
#include "suite/screen/listing_browse.h"
#include "suite/screen/listing_report.h"
#include "suite/screen/listing_window.h"
#include "suite/screen/messages.h"
#include "suite/tables/table_ops.h"

namespace suite {
namespace {

rt::Memvars& vars() { return rt::context().memvars; }

std::string numberText(size_t n, size_t width) {
  std::string s = std::to_string(n);
  return std::string(width > s.size() ? width - s.size() : 0, ' ') + s;
}

std::string fit(std::string s, size_t width) {
  s.resize(width, ' ');
  return s;
}

// What the user has set so far.
struct Setup {
  ListingRequest request;
  std::string title;  // stored text
  rt::Array orderBlocks, orderNames;
  size_t order = 0;  // index into the named orders
  rt::Array buttonLabels, buttonBlocks;
  ListingBrowse browse;
};

Setup setupFrom(rt::Args& a) {
  Setup s;
  s.request.catalogue = catalogueFrom(a[2], a[3], a[4]);
  s.title = a[6].strOr("");
  if (a[7].isArray()) s.orderBlocks = a[7].arr();
  if (a[8].isArray()) s.orderNames = a[8].arr();
  s.request.callback = a[14];
  s.request.detailAlias = a[16].strOr("");
  while (!s.request.detailAlias.empty() && s.request.detailAlias.back() == ' ')
    s.request.detailAlias.pop_back();
  s.request.detailKey = a[17];
  s.request.mainKey = a[18];
  s.request.detailOrder = a[22];
  if (a[9].isArray()) s.browse.columns = a[9].arr();
  if (a[10].isArray())
    for (const rt::Value& h : a[10].arr()) s.browse.headings.push_back(h.strOr(""));
  s.browse.callback = a[14];
  s.browse.title = s.title;
  if (a[27].isArray()) s.buttonLabels = a[27].arr();
  if (a[28].isArray()) s.buttonBlocks = a[28].arr();
  if (const rt::Value* lists = vars().tryGet("t_glob")) s.request.choiceLists = *lists;
  return s;
}

// A list of texts in a framed window; the chosen number (1-based) or 0. `handler` as ACHOICE's.
int chooseFrom(const std::string& title, const std::function<std::vector<std::string>()>& texts,
               const rt::ui::AChoiceHandler& handler = {}, int top = 4, int left = 6) {
  rt::term::ScreenStateGuard state;
  ColourSetScope colours(kSetMenu);
  std::vector<std::string> now = texts();
  size_t width = 20;
  for (const std::string& t : now) width = std::max(width, t.size());
  width = std::min<size_t>(width, size_t(76 - left));
  int bottom = std::min(22, top + int(now.size()) + 1);
  ListingWindow window(top, left, bottom, left + int(width) + 1, displayText(title));
  rt::ui::ChoiceItems items;
  items.count = [&] { return now.size(); };
  items.text = [&](size_t i) {
    now = texts();
    return i < now.size() ? fit(now[i], width) : std::string();
  };
  return rt::ui::achoice(top + 1, left + 1, bottom - 1, left + int(width), items, handler);
}

// Columns are marked with Enter (or the space bar) in the order they are to stand; marking a
// marked column again takes it out. Esc or F10 ends the choice.
void chooseColumns(Setup& s) {
  std::vector<size_t>& chosen = s.request.chosen;
  auto texts = [&] {
    std::vector<std::string> out;
    for (size_t i = 0; i < s.request.catalogue.size(); ++i) {
      auto at = std::find(chosen.begin(), chosen.end(), i);
      std::string mark = at == chosen.end() ? "   " : numberText(size_t(at - chosen.begin()) + 1, 3);
      out.push_back(mark + " " + displayText(s.request.catalogue[i].heading));
    }
    return out;
  };
  auto handler = [&](int mode, int item, int) {
    if (mode != rt::ui::kAcException) return int(rt::ui::kAcContinue);
    int key = rt::term::keyboard().lastKey();
    if (key == rt::term::K_ENTER || key == rt::term::K_SPACE) {
      size_t index = size_t(item - 1);
      auto at = std::find(chosen.begin(), chosen.end(), index);
      if (at == chosen.end())
        chosen.push_back(index);
      else
        chosen.erase(at);
      return int(rt::ui::kAcContinue);
    }
    if (key == rt::term::K_ESC || key == rt::term::K_F10) return int(rt::ui::kAcAbort);
    return int(rt::ui::kAcGoto);
  };
  chooseFrom("Kolumny zestawienia (Enter - wybo`r, Esc - koniec)", texts, handler, 2, 4);
}

void chooseOrder(Setup& s) {
  if (s.orderNames.empty()) return;
  std::vector<std::string> names;
  for (const rt::Value& n : s.orderNames) names.push_back(" " + displayText(n.strOr("")) + " ");
  int chosen = chooseFrom("Porza`dek", [&] { return names; });
  if (chosen > 0) s.order = size_t(chosen - 1);
}

// The value of a condition on a column without a picker: a code from the column's choice list,
// yes or no, or a value typed in a window. NIL when the user gives up.
rt::Value typedValue(const Setup& s, size_t column) {
  const ListingColumn& c = s.request.catalogue[column];
  const ListingColumnType& t = c.type;
  if (t.letter == 's' || t.letter == 'S' || t.letter == 'L' || t.letter == 'l') {
    std::vector<std::string> labels, codes;
    if (t.letter == 'L' || t.letter == 'l') {
      labels = {" Tak ", " Nie "};
    } else {
      const rt::Value& lists = s.request.choiceLists;
      if (lists.isArray() && t.list >= 1 && size_t(t.list) <= lists.arr().size() &&
          lists.arr()[size_t(t.list - 1)].isArray()) {
        size_t codeLen = t.letter == 's' ? 1 : 3;
        for (const rt::Value& e : lists.arr()[size_t(t.list - 1)].arr()) {
          std::string entry = e.strOr("");
          std::string code = entry.substr(0, std::min(codeLen, entry.size()));
          while (!code.empty() && code.back() == ' ') code.pop_back();
          codes.push_back(code);
          labels.push_back(" " + displayText(entry.size() > codeLen ? entry.substr(codeLen) : "") + " ");
        }
      }
    }
    int chosen = chooseFrom(
        c.heading, [&] { return labels; }, {}, 8, 20);
    if (chosen <= 0) return rt::Value();
    if (t.letter == 'L' || t.letter == 'l') return rt::Value::logical(chosen == 1);
    return rt::Value::text(codes[size_t(chosen - 1)]);
  }
  rt::Value value;
  switch (t.letter) {
    case 'n':
    case 'N':
      value = rt::Value::number(0, t.decimals);
      break;
    case 'd':
    case 'D':
      value = rt::Value::date(0);
      break;
    default:
      value = rt::Value::text(std::string(size_t(std::clamp(t.width, 1, 50)), ' '));
      break;
  }
  rt::term::ScreenStateGuard state;
  ColourSetScope colours(kSetMenu);
  ListingWindow window(9, 10, 13, 69, displayText("Warunek"));
  rt::term::screen().say(10, 12, fit(displayText(c.heading), 56), rt::term::screen().colors().standard());
  rt::Args args;
  args.push(rt::Value::integer(11));
  args.push(rt::Value::integer(12));
  args.push(value, &value);
  args.push(rt::Value::text(""));
  args.push(rt::Value::text(""));
  rt::functions().call("READ_PAR", args);
  if (rt::term::keyboard().lastKey() == rt::term::K_ESC) return rt::Value();
  return value;
}

// A condition: a column, then its value through the column's picker, or typed. Choosing a
// column that has a condition takes that condition away.
void chooseCondition(Setup& s) {
  std::vector<ListingCondition>& conditions = s.request.conditions;
  auto texts = [&] {
    std::vector<std::string> out;
    for (size_t i = 0; i < s.request.catalogue.size(); ++i) {
      bool set = std::any_of(conditions.begin(), conditions.end(),
                             [&](const ListingCondition& c) { return c.column == i; });
      out.push_back(std::string(set ? " = " : "   ") + displayText(s.request.catalogue[i].heading));
    }
    return out;
  };
  int chosen = chooseFrom("Warunek dla kolumny", texts);
  if (chosen <= 0) return;
  size_t column = size_t(chosen - 1);
  auto at = std::find_if(conditions.begin(), conditions.end(),
                         [&](const ListingCondition& c) { return c.column == column; });
  if (at != conditions.end()) {
    conditions.erase(at);
    return;
  }
  const std::string& picker = s.request.catalogue[column].type.picker;
  rt::Value wanted;
  if (picker.empty()) {
    wanted = typedValue(s, column);
  } else {
    vars().assign("___nr_k", rt::Value::integer(int64_t(column + 1)));
    int area = int(call("SELECT").intOr(0));
    wanted = rt::evalText(picker);
    call("DBSELECTAREA", {rt::Value::integer(area)});
  }
  if (wanted.isNil() || (wanted.isChar() && wanted.str().find_first_not_of(' ') == std::string::npos)) return;
  conditions.push_back({column, wanted});
}

void produce(Setup& s) {
  if (s.request.chosen.empty()) {
    showMessage({displayText("Nie wybrano x`adnej kolumny zestawienia !")}, 3);
    return;
  }
  int area = int(call("SELECT").intOr(0));
  if (s.order < s.orderBlocks.size()) call("ORDSETFOCUS", {rt::evalBlock(s.orderBlocks[s.order])});
  call("DBSELECTAREA", {rt::Value::integer(area)});
  call("DEV");
  rt::functions().call("WYB_URZ");
  call("DBSELECTAREA", {rt::Value::integer(area)});
  if (!rt::functions().call("DEV_OPEN").logicalOr(false)) return;
  // The device is closed however the listing ends, an error in a column's expression included.
  struct OpenDevice {
    ~OpenDevice() {
      try {
        rt::functions().call("DEV_CLOSE");
      } catch (...) {
      }
    }
  } device;

  ListingReport report(s.request);
  rt::Value title = rt::Value::newArray(0);
  title.arr().push_back(rt::Value::text(displayText(s.title)));
  title.arr().push_back(rt::Value::text(""));
  for (const std::string& h : report.headingLines()) title.arr().push_back(rt::Value::text(h));
  title.arr().push_back(rt::Value::text(std::string(report.lineWidth(), '-')));
  vars().assign("dev_tytul", title);
  vars().assign("tytul_proc", rt::Value::text(""));

  auto printing = [] { return vars().get("urzadzenie").intOr(0) != 0; };
  report.run([](const std::string& line) { rt::functions().call("DEV_LINIA", {rt::Value::text(line)}); },
             printing);
  call("DBSELECTAREA", {rt::Value::integer(area)});
}

}  // namespace

rt::Value generateListing(rt::Args& args) {
  if (call("SELECT").intOr(0) <= 0) return rt::Value();
  rt::PrivateFrame frame(vars());
  vars().declarePrivate("___nr_k", rt::Value::integer(0));
  vars().declarePrivate("dev_tytul", rt::Value::newArray(0));
  vars().declarePrivate("tytul_proc", rt::Value::text(""));
  Setup s = setupFrom(args);
  const int area = int(call("SELECT").intOr(0));
  int last = 1;
  for (;;) {
    std::vector<rt::Value> items;
    items.push_back(rt::Value::text(" Kolumny (" + std::to_string(s.request.chosen.size()) + ") "));
    std::string orderName = s.order < s.orderNames.size() ? s.orderNames[s.order].strOr("") : "";
    items.push_back(rt::Value::text(" Porza`dek: " + orderName + " "));
    items.push_back(rt::Value::text(" Warunki (" + std::to_string(s.request.conditions.size()) + ") "));
    for (const rt::Value& label : s.buttonLabels)
      items.push_back(rt::Value::text(" " + label.strOr("") + " "));
    items.push_back(rt::Value::text(" Wykonaj zestawienie "));
    items.push_back(rt::Value::text(" Przegla`danie "));
    rt::Value menu = rt::Value::newArray(0);
    menu.arr() = items;
    call("DBSELECTAREA", {rt::Value::integer(area)});
    int chosen =
        int(rt::functions()
                .call("MENU", {menu, rt::Value::integer(6), rt::Value::integer(20), rt::Value::integer(last)})
                .intOr(0));
    call("DBSELECTAREA", {rt::Value::integer(area)});
    if (chosen <= 0) break;
    last = chosen;
    const size_t buttons = s.buttonLabels.size();
    if (chosen == 1)
      chooseColumns(s);
    else if (chosen == 2)
      chooseOrder(s);
    else if (chosen == 3)
      chooseCondition(s);
    else if (size_t(chosen) <= 3 + buttons) {
      size_t b = size_t(chosen) - 4;
      if (b < s.buttonBlocks.size() && s.buttonBlocks[b].isBlock()) rt::evalBlock(s.buttonBlocks[b]);
    } else if (size_t(chosen) == 4 + buttons) {
      produce(s);
    } else {
      int here = int(call("SELECT").intOr(0));
      if (s.order < s.orderBlocks.size()) call("ORDSETFOCUS", {rt::evalBlock(s.orderBlocks[s.order])});
      call("DBSELECTAREA", {rt::Value::integer(here)});
      browseListing(s.browse);
    }
  }
  call("DBSELECTAREA", {rt::Value::integer(area)});
  return rt::Value();
}

void registerCatalogueListingGenerator() {
  rt::functions().add("GENERUJ", [](rt::Args& a) { return generateListing(a); });
}

}  // namespace suite
