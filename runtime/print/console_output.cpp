// ? / ?? and @ SAY routed to the screen and to the open print job by SET CONSOLE, SET PRINTER
// and SET DEVICE.
#include "runtime/print/console_output.h"

#include <cctype>

#include "runtime/core/context.h"
#include "runtime/print/print_job.h"
#include "runtime/print/styled_text.h"
#include "runtime/term/register.h"
#include "runtime/term/terminal.h"

namespace rt::print {
namespace {

std::string joined(const std::vector<Value>& values) {
  std::string s;
  for (size_t i = 0; i < values.size(); ++i) {
    if (i) s += ' ';
    s += term::displayText(values[i]);
  }
  return s;
}

bool toPrinter() { return context().settings.printer && activeJob(); }

bool deviceIsPrinter() {
  std::string d = context().settings.device;
  for (char& c : d) c = char(std::toupper((unsigned char)c));
  return d.rfind("PRINT", 0) == 0 && activeJob();
}

// The screen's new line: the start of the next row, the screen moving up a row at the bottom.
void screenNewLine() {
  term::Screen& s = term::screen();
  int row = s.row() + 1;
  if (row > term::Screen::maxRow()) {
    s.scroll(0, 0, term::Screen::maxRow(), term::Screen::maxCol(), 1, 0, s.colors().standard());
    row = term::Screen::maxRow();
  }
  s.setCursor(row, 0);
}

// Column of the line being built (printed characters).
int pendingCol(PrintJob& job) { return job.pendingWidth(); }

void printerPos(int row, int col) {
  PrintJob& job = *activeJob();
  if (row < job.lineOnPage() || (row == job.lineOnPage() && col < pendingCol(job))) {
    job.newPage();
    job.text("");
  }
  while (job.lineOnPage() < row) job.endLine();
  int at = pendingCol(job);
  if (col > at) job.text(std::string(size_t(col - at), ' '));
}

int intArg(const Args& a, size_t i, int fallback) {
  return a[i].isNum() ? int(a[i].num()) : fallback;
}

}  // namespace

void qout(const std::vector<Value>& values) {
  std::string text = joined(values);
  if (context().settings.console) {
    screenNewLine();
    term::screen().out(text, term::screen().colors().standard());
  }
  if (toPrinter()) {
    PrintJob& job = *activeJob();
    if (job.lineStarted()) job.endLine();
    job.text(text);
  }
}

void qqout(const std::vector<Value>& values) {
  std::string text = joined(values);
  if (context().settings.console) term::screen().out(text, term::screen().colors().standard());
  if (toPrinter()) activeJob()->text(text);
}

int printerRow() { return activeJob() ? activeJob()->lineOnPage() : 0; }
int printerCol() { return activeJob() ? activeJob()->pendingWidth() : 0; }

void registerPrintFunctions() { registerPrintFunctions(functions()); }

void registerPrintFunctions(Functions& f) {
  f.add("QOUT", [](Args& a) {
    qout(a.values());
    return Value();
  });
  f.add("QQOUT", [](Args& a) {
    qqout(a.values());
    return Value();
  });
  f.add("__EJECT", [](Args&) {
    if (PrintJob* job = activeJob()) job->newPage();
    return Value();
  });
  f.add("PROW", [](Args&) { return Value::integer(printerRow()); });
  f.add("PCOL", [](Args&) { return Value::integer(printerCol()); });

  // @ SAY with SET DEVICE TO PRINTER: the screen's DEVPOS/DEVOUT otherwise.
  for (const char* name : {"DEVPOS", "DEVOUT", "DEVOUTPICT"}) {
    const NativeFunction* screenFn = f.find(name);
    if (!screenFn) continue;
    NativeFunction inner = *screenFn;
    std::string fn = name;
    f.add(name, [inner, fn](Args& a) {
      if (!deviceIsPrinter()) return inner(a);
      if (fn == "DEVPOS") {
        printerPos(intArg(a, 0, printerRow()), intArg(a, 1, printerCol()));
        return Value();
      }
      std::string text = term::displayText(a[0]);
      if (fn == "DEVOUTPICT" && a[1].isChar())
        if (const NativeFunction* transform = functions().find("TRANSFORM")) {
          Args targs({a[0], a[1]});
          Value t = (*transform)(targs);
          if (t.isChar()) text = t.str();
        }
      activeJob()->text(text);
      return Value();
    });
  }
}

}  // namespace rt::print
