// Employee ranges, the employee loop, month choice and the progress and summary windows.
#include "suite/payroll/batch_runs.h"

#include <algorithm>
#include <string>
#include <vector>

#include "runtime/core/context.h"
#include "runtime/term/keys.h"
#include "runtime/term/terminal.h"
#include "runtime/ui/achoice.h"
#include "suite/company/company.h"
#include "suite/forms/display_text.h"
#include "suite/screen/colour_set.h"
#include "suite/screen/messages.h"
#include "suite/screen/services.h"
#include "suite/screen/window.h"
#include "suite/tables/table_defs.h"
#include "suite/tables/table_ops.h"

namespace suite {
namespace {

rt::Memvars& vars() { return rt::context().memvars; }

std::vector<std::string>& traceWindows() {
  static std::vector<std::string> handles;
  return handles;
}

// A framed list; the chosen index (0-based), -1 after Esc.
int choose(int top, int left, const std::string& title, const std::vector<std::string>& items,
           int visible = 12, int start = 0) {
  rt::term::ScreenStateGuard state;
  ColourSetScope colours(kSetMenu);
  size_t width = displayText(title).size() + 2;
  for (const std::string& s : items) width = std::max(width, s.size());
  int rows = std::max(1, std::min<int>(visible, int(items.size())));
  top = std::clamp(top, 0, 23 - rows);
  left = std::clamp(left, 0, 78 - int(width));
  std::string handle = openWindow(top, left, top + rows + 1, left + int(width) + 1, displayText(title));
  int chosen = items.empty() ? 0
                             : rt::ui::achoice(top + 1, left + 1, top + rows, left + int(width),
                                               rt::ui::ChoiceItems::of(items), {}, start + 1);
  closeWindow(handle);
  return chosen - 1;
}

std::string trimRight(std::string s) {
  while (!s.empty() && s.back() == ' ') s.pop_back();
  return s;
}

// Runs `body` with MAIN selected (the caller's, or opened for the call).
template <typename Body>
void withEmployees(Body body) {
  rt::Value previous = call("SELECT");
  rt::Value area = call("SELECT", {rt::Value::text("main")});
  bool opened = false;
  if (area.intOr(0) > 0) call("DBSELECTAREA", {area});
  else if (openTable(*findTable("MAIN"), true)) opened = true;
  else return;
  body(opened);
  if (opened) call("DBCLOSEAREA");
  if (previous.intOr(0) > 0 && !(opened && previous.intOr(0) == area.intOr(0))) call("DBSELECTAREA", {previous});
}

// One extra column of the employee choice: the field's value as text (blank when the table has
// no such field).
std::string extraColumn(const rt::Value& name) {
  if (!name.isChar()) return "";
  rt::Value position = call("FIELDPOS", {name});
  if (position.intOr(0) <= 0) return "";
  rt::Value v = call("FIELDGET", {position});
  if (v.isDate()) return call("DTOC", {v}).strOr("");
  if (v.isNum()) return call("ALLTRIM", {call("STR", {v})}).strOr("");
  if (v.isLogical()) return v.logical() ? "T" : "N";
  return trimRight(v.strOr(""));
}

// The employee choice: the list opens on `start` (an employee number) when it is there; `extra`
// names up to four more fields of MAIN shown after the name.
rt::Value chooseEmployee(const std::string& start = "", const std::vector<rt::Value>& extra = {}) {
  std::vector<std::string> items;
  std::vector<rt::Value> records, numbers;
  rt::Value chosen = rt::Value::text("");
  const std::string wanted = trimRight(start);
  withEmployees([&](bool opened) {
    rt::Value keep = call("RECNO");
    int startAt = 0;
    for (call("DBGOTOP"); !call("EOF").logicalOr(true); call("DBSKIP")) {
      std::string nr = field("nr_prac").strOr("");
      std::string item = nr + "  " + displayText(trimRight(field("nazwisko").strOr("")) + " " +
                                                 trimRight(field("imie").strOr("")));
      for (const rt::Value& name : extra) item += "  " + displayText(extraColumn(name));
      if (!wanted.empty() && trimRight(nr) == wanted) startAt = int(items.size());
      items.push_back(item.substr(0, 74));
      records.push_back(call("RECNO"));
      numbers.push_back(rt::Value::text(nr));
    }
    int i = choose(4, 20, "Wybierz pracownika", items, 16, startAt);
    if (i >= 0) {
      chosen = numbers[size_t(i)];
      if (!opened) call("DBGOTO", {records[size_t(i)]});
    } else if (!opened) {
      call("DBGOTO", {keep});
    }
  });
  return chosen;
}

std::string monthLabel(int back) {
  const rt::Value* lum = vars().tryGet("lum_data");
  int32_t day = addMonths(lum && lum->isDate() ? lum->date() : 0, -back);
  int y, m, d;
  splitDayNumber(day, y, m, d);
  char buf[32];
  std::snprintf(buf, sizeof buf, " %02d.%04d ", m, y);
  return buf;
}

}  // namespace

void registerBatchRunFunctions() {
  rt::Functions& f = rt::functions();
  f.add("ZAKRES", [](rt::Args& a) {
    std::vector<std::string> items{displayText(" Wszyscy pracownicy"), displayText(" Wybrany dzial`"),
                                   displayText(" Jeden pracownik"), displayText(" Wybo`r wg modul`u Pl`ace")};
    int i = choose(8, 25, "Zakres pracowniko`w", items);
    int range = i + 1;
    if (range == 2) {
      rt::Value key = rt::functions().call("POBSLOWO", {rt::Value::integer(8), rt::Value::integer(30),
                                                        rt::Value::integer(10), rt::Value::text("D  "),
                                                        rt::Value::logical(false)});
      const rt::Value* none = vars().tryGet("pustykod");
      if (!key.isChar() || (none && none->isChar() && key.str() == none->str())) {
        range = 0;
      } else {
        rt::Value keys = rt::Value::newArray(0);
        keys.arr().push_back(key);
        vars().declarePublic("ky_grupy", keys);
        vars().assign("ky_grupy", keys);
        a.assign(1, rt::Value::text("ky_grupy"));
        a.assign(3, rt::Value::text("SL_SLOW1"));
      }
    } else if (range == 3) {
      rt::Value nr = chooseEmployee();
      if (nr.strOr("").empty()) range = 0;
      else a.assign(1, nr);
    }
    a.assign(0, rt::Value::integer(std::max(0, range)));
    return rt::Value();
  });
  f.add("GEN_PLACE", [](rt::Args& a) {
    rt::Value block = a[3], closing = a[4];
    // Kind 8 is a print run: the library chooses and opens the print device around it.
    struct PrintDevice {
      bool open = false;
      ~PrintDevice() {
        if (!open) return;
        try {
          call("DEV_CLOSE");
        } catch (...) {
        }
      }
    } device;
    if (a[1].intOr(0) == 8) {
      call("WYB_URZ");
      const rt::Value* chosen = vars().tryGet("urzadzenie");
      if (!chosen || chosen->intOr(0) == 0) return rt::Value();
      device.open = call("DEV_OPEN").logicalOr(false);
      if (!device.open) return rt::Value();
    }
    withEmployees([&](bool) {
      for (call("DBGOTOP"); !call("EOF").logicalOr(true); call("DBSKIP")) {
        if (device.open && call("DEV_PRZERWANY").logicalOr(false)) return;  // Esc cut the print short
        if (field("status").numOr(0) < 1) continue;
        rt::Value keep = call("RECNO");
        if (block.isBlock()) {
          std::vector<rt::Value> none;
          block.blockPtr()->eval(none);
        }
        rt::Value area = call("SELECT", {rt::Value::text("main")});
        if (area.intOr(0) > 0) call("DBSELECTAREA", {area});
        call("DBGOTO", {keep});
      }
    });
    if (closing.isBlock() && !(device.open && call("DEV_PRZERWANY").logicalOr(false))) {
      std::vector<rt::Value> none;
      closing.blockPtr()->eval(none);
    }
    return rt::Value();
  });
  // WYB_PRAC(start number, -1, -1 [, up to four field names of MAIN])
  f.add("WYB_PRAC", [](rt::Args& a) {
    std::vector<rt::Value> extra;
    for (size_t i = 3; i < a.count() && extra.size() < 4; ++i)
      if (a[i].isChar()) extra.push_back(a[i]);
    return chooseEmployee(a[0].strOr(""), extra);
  });
  f.add("WYB_OKRESU", [](rt::Args& a) {
    std::vector<std::string> months;
    for (int back = 0; back < 24; ++back) months.push_back(monthLabel(back));
    int first = choose(int(a[0].intOr(6)), int(a[1].intOr(30)), "Miesia`c", months, 12,
                       int(std::max<int64_t>(0, a[2].intOr(0))));
    if (first < 0) return rt::Value::logical(false);
    a.assign(2, rt::Value::integer(first));
    if (a.byRef(3)) {
      // The months count back: an end further back than the start would end before it.
      for (;;) {
        int last = choose(int(a[0].intOr(6)), int(a[1].intOr(30)) + 14, "Do miesia`ca", months, 12, first);
        if (last < 0) return rt::Value::logical(false);
        if (last <= first) {
          a.assign(3, rt::Value::integer(last));
          break;
        }
        call("KOM3", {rt::Value::text("Koniec okresu nie mox`e byc` wczes`niejszy nix` jego pocza`tek."),
                      rt::Value::integer(0), rt::Value::integer(0), rt::Value::integer(3)});
      }
    }
    return rt::Value::logical(true);
  });
  f.add("TRACE_OPEN", [](rt::Args& a) {
    int width = std::max<int>(int(a[1].strOr(std::string(37, ' ')).size()) + 14, 50);
    int row = int(std::clamp<int64_t>(a[2].intOr(12), 1, 19));
    int left = (80 - width) / 2;
    rt::term::ScreenStateGuard state;
    ColourSetScope colours(kSetProgress);
    std::string handle = openWindow(row, left, row + 4, left + width - 1, displayText(a[0].strOr("")));
    rt::term::screen().put(row + 2, left + 2, displayText("Pracownik: "), rt::term::screen().colors().standard());
    traceWindows().push_back(handle);
    vars().declarePublic("tr_y", rt::Value::integer(row + 2));
    vars().assign("tr_y", rt::Value::integer(row + 2));
    vars().declarePublic("tr_x", rt::Value::integer(left + 13));
    vars().assign("tr_x", rt::Value::integer(left + 13));
    return rt::Value();
  });
  f.add("TRACE_CLOS", [](rt::Args&) {
    if (!traceWindows().empty()) {
      closeWindow(traceWindows().back());
      traceWindows().pop_back();
    }
    return rt::Value();
  });
  f.add("SKONCZYLEM", [](rt::Args& a) {
    std::vector<std::string> lines = messageLines(a[0]);
    if (a[2].isChar()) lines.push_back(displayText(a[2].str()));
    showMessage(lines, 0);
    return rt::Value();
  });
}

}  // namespace suite
