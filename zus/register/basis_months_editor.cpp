// The month editor and the form's month routines (see basis_months_editor.h).
//
// One editor runs at a time; OPER_MNU and SPOJNOSC_OK reach it through the active-editor pointer
// that the run sets and clears with a guard. Each marking key ends one list choice so that the
// changed texts are drawn again; the highlight then moves to the month before.
#include "zus/register/basis_months_editor.h"

#include "runtime/core/context.h"
#include "runtime/core/std_strings.h"
#include "runtime/db/work_areas.h"
#include "runtime/term/terminal.h"
#include "runtime/ui/achoice.h"
#include "suite/forms/display_text.h"
#include "zus/register/continuity_check.h"

namespace zus {
namespace {

rt::Value call(const char* name, std::vector<rt::Value> args = {}) {
  return rt::functions().call(name, std::move(args));
}
rt::Value num(double v) { return rt::Value::number(v); }

int keyVar(const char* name, int fallback) {
  const rt::Value* v = rt::context().memvars.tryGet(name);
  return v && v->isNum() ? int(v->num()) : fallback;
}

const char* const kRunMessage =
    "Brak spo`jnos`ci w zaznaczonej sekwencji miesie`cy. Popraw oznaczenie.";

struct EditorRun {
  BasisMonthWindow window;
  BasisMonthMarks marks;
  bool escaped = false;
};
EditorRun* activeEditor = nullptr;

class ActiveEditor {
 public:
  explicit ActiveEditor(EditorRun& run) : previous_(activeEditor) { activeEditor = &run; }
  ~ActiveEditor() { activeEditor = previous_; }
  ActiveEditor(const ActiveEditor&) = delete;
  ActiveEditor& operator=(const ActiveEditor&) = delete;

 private:
  EditorRun* previous_;
};

int32_t settleWindowEnd(int32_t given, int32_t recordWindowEnd, int32_t workingDate) {
  if (given == 0 && recordWindowEnd == 0) {
    call("KOM3", {rt::Value::text("Wybierz ostatni miesia`c z 12-stu do podstawy:")});
    rt::Value monthsBack = rt::Value::integer(0);
    rt::Args args;
    args.push(num(8));
    args.push(num(30));
    args.push(monthsBack, &monthsBack);
    rt::functions().call("WYB_OKRESU", args);
    return call("DOD_MIES", {rt::Value::date(workingDate), num(-double(monthsBack.intOr(0)))})
        .date();
  }
  return given == 0 ? recordWindowEnd : given;
}

rt::ui::ChoiceItems listOf(const EditorRun& run) {
  rt::ui::ChoiceItems items;
  items.count = [] { return size_t(12); };
  items.text = [&run](size_t i) {
    return suite::displayText(basisMonthShownText(run.window, run.marks, int(i + 1)));
  };
  return items;
}

// The editor's window and status line, closed and put back on every way out.
class EditorScreen {
 public:
  explicit EditorScreen(rt::Value window) : window_(std::move(window)) {}
  ~EditorScreen() {
    try {
      call("K_NORM");
      call("ZWIN", {window_});
      call("STATLINE", {num(-1)});
    } catch (...) {  // a destructor never throws
    }
  }
  EditorScreen(const EditorScreen&) = delete;
  EditorScreen& operator=(const EditorScreen&) = delete;

 private:
  rt::Value window_;
};

void selectRegisterTable() {
  rt::db::WorkAreas& areas = rt::db::workAreas();
  if (int n = areas.numberOf("nieobec"); n > 0) areas.select(n);
}

}  // namespace

BasisMonthEdit editBasisMonths(const BasisMonthEdit& given, int32_t recordWindowEnd,
                               int32_t workingDate, int biez) {
  call("STATLINE",
       {rt::Value::text("Ins-Oznaczenie/Anulowanie,Ctrl+Ins-Oznaczenie wszystkich,Ctrl+Del-"
                        "Anulowanie oznaczenia wszystkich,Ctrl+D-Oznacz/Anuluj dopelnienie "
                        "podstawy, Enter-Potwierdzenie,Esc-Rezygnacja")});
  selectRegisterTable();
  BasisMonthEdit result = given;
  result.windowEnd = settleWindowEnd(given.windowEnd, recordWindowEnd, workingDate);

  EditorRun run{BasisMonthWindow::ending(result.windowEnd, biez),
                BasisMonthMarks(given.codes, given.flags), false};
  ActiveEditor active(run);
  call("K_NORM", {num(-1), num(36)});
  EditorScreen screen(call("_ROZWIN", {num(-2), num(6), num(19), num(20), num(45),
                                       rt::Value::text("Wybierz"), num(36)}));
  int latest = run.window.latestMonth();
  int highlight = latest;
  rt::ui::AChoiceHandler handler = [](int mode, int item, int row) {
    if (mode != rt::ui::kAcException) return int(rt::ui::kAcContinue);
    return int(call("OPER_MNU", {num(mode), num(item), num(row)}).intOr(2));
  };
  for (;;) {
    call("CLEAR_KEYBOARD");
    int chosen = rt::ui::achoice(8, 20, 19, 44, listOf(run), handler, highlight, highlight - 1);
    call("CLEAR_KEYBOARD");
    if (chosen == 0) {
      if (!run.escaped) {
        result.codes = run.marks.codes();
        result.flags = run.marks.flags();
      }
      if (basisMonthEditorRunCheck()) break;
      highlight = latest;  // the choice named no month: start again on the latest
      continue;
    }
    highlight = chosen == 1 ? 12 : chosen - 1;
  }
  if (run.escaped) {
    result.codes = given.codes;
    result.flags = given.flags;
  }
  return result;
}

int basisMonthEditorKey(int month) {
  if (!activeEditor) return 2;
  BasisMonthKeys keys{keyVar("Ins", 22), keyVar("Enter", 13), keyVar("Esc", 27)};
  return applyBasisMonthKey(activeEditor->marks, keys, rt::term::keyboard().lastKey(), month,
                            activeEditor->escaped);
}

bool basisMonthEditorRunCheck() {
  if (!activeEditor || activeEditor->marks.oneRun(activeEditor->window)) return true;
  call("KOM3", {rt::Value::text(kRunMessage)});
  return false;
}

}  // namespace zus
