// Device choice, print jobs and page bookkeeping of the suite's print layer.
#include "suite/screen/print_layer.h"

#include <filesystem>
#include <memory>

#include "console/error_text.h"
#include "console/message_window.h"
#include "runtime/core/context.h"
#include "runtime/core/cp852.h"
#include "runtime/core/error.h"
#include "runtime/print/print_job.h"
#include "runtime/term/keys.h"
#include "runtime/term/terminal.h"
#include "runtime/ui/achoice.h"
#include "suite/forms/display_text.h"
#include "suite/screen/colour_set.h"
#include "suite/screen/messages.h"
#include "suite/screen/window.h"

namespace suite {
namespace {

std::unique_ptr<rt::print::PrintJob>& job() {
  static std::unique_ptr<rt::print::PrintJob> j;
  return j;
}

rt::Memvars& vars() { return rt::context().memvars; }

// The print open now: whether Esc or a failure cut it short, and the file it writes to.
struct PrintState {
  bool cutShort = false;
  std::string file;
};

PrintState& state() {
  static PrintState s;
  return s;
}

void message(const std::vector<std::string>& lines, int kind) {
  rt::Value text = rt::Value::newArray(0);
  for (const std::string& l : lines) text.arr().push_back(rt::Value::text(l));
  rt::functions().call("KOM3", {text, rt::Value::integer(0), rt::Value::integer(0), rt::Value::integer(kind)});
}

// A print cut short leaves no device: loops that print while `urzadzenie` is set stop.
void noDevice() {
  state().cutShort = true;
  vars().assign("urzadzenie", rt::Value::integer(0));
}

// The print was cut short with Esc: its device is closed already.
void cutShortByEsc() {
  job().reset();
  noDevice();
  std::vector<std::string> lines{displayText("Wydruk przerwany")};
  if (!state().file.empty()) {
    lines.push_back(displayText("Wydrukowana cze`s`c` jest w pliku"));
    lines.push_back(con::shortenPath(state().file));
  }
  message(lines, 3);
}

// The error's lines in display form, after the given ones.
std::vector<std::string> withErrorLines(std::vector<std::string> lines, const rt::Error& e) {
  for (const std::string& l : con::errorLines(e)) lines.push_back(displayText(l));
  return lines;
}

// The device failed (the disk is full, the printer refused): the print is dropped.
void failed(const rt::Error& e) {
  if (job()) job()->abandon();
  job().reset();
  noDevice();
  message(withErrorLines({displayText("Wydruk przerwany:")}, e), 3);
}

// Runs a step of the print; Esc or a failure of the device ends the print with a message.
template <typename Step>
void guarded(Step step) {
  if (!job()) return;
  try {
    step(*job());
  } catch (const rt::print::PrintCancelled&) {
    cutShortByEsc();
  } catch (const rt::Error& e) {
    failed(e);
  }
}

int64_t intVar(const char* name, int64_t fallback) {
  const rt::Value* v = vars().tryGet(name);
  return v ? v->intOr(fallback) : fallback;
}

void keepCounters() {
  if (!job()) return;
  vars().assign("dev_ll", rt::Value::integer(job()->lineOnPage()));
  vars().assign("dev_ss", rt::Value::integer(job()->page()));
}

void printLines(rt::print::PrintJob& j, const rt::Value& lines) {
  if (lines.isChar()) j.line(lines.str());
  if (lines.isArray())
    for (const rt::Value& l : lines.arr())
      if (l.isChar()) j.line(l.str());
}

// The top of a page: the title routine when one is named (it prints the title lines itself and
// reads the page number begun), otherwise the title lines.
void pageTitle(rt::print::PrintJob& j) {
  vars().assign("dev_ss", rt::Value::integer(j.page()));
  vars().assign("dev_ll", rt::Value::integer(0));
  const rt::Value* routine = vars().tryGet("tytul_proc");
  if (routine && routine->isChar() && !routine->str().empty() && rt::functions().has(routine->str())) {
    rt::functions().call(routine->str());
    return;
  }
  if (const rt::Value* t = vars().tryGet("dev_tytul")) printLines(j, *t);
}

void endJob(bool normally) {
  if (!job()) return;
  if (!normally) {
    job()->abandon();
    job().reset();
    return;
  }
  guarded([](rt::print::PrintJob& j) {
    if (const rt::Value* foot = vars().tryGet("dev_stopka")) printLines(j, *foot);
    j.close();
  });
  if (!job()) return;  // cut short or failed while closing: said so already
  job().reset();
  if (!state().file.empty()) message({displayText("Wydruk zapisano w pliku"), con::shortenPath(state().file)}, 0);
}

int chooseDevice() {
  rt::term::ScreenStateGuard state;
  ColourSetScope colours(kSetMenu);
  std::vector<std::string> items{displayText(" Ekran           "), displayText(" Plik tekstowy   "),
                                 displayText(" Drukarka        ")};
  std::string handle = openWindow(8, 30, 12, 48, displayText("Wydruk na"));
  int chosen = rt::ui::achoice(9, 31, 11, 47, rt::ui::ChoiceItems::of(items));
  closeWindow(handle);
  return chosen;
}

}  // namespace

void registerPrintLayerFunctions() {
  rt::Functions& f = rt::functions();
  f.add("DEV", [](rt::Args&) {
    rt::Memvars& v = vars();
    auto keep = [&](const char* name, rt::Value init) {
      if (!v.find(name)) v.declarePublic(name, init);
    };
    keep("urzadzenie", rt::Value::integer(0));
    keep("p_licz_wie", rt::Value::integer(64));
    keep("dev_linia", rt::Value::integer(171));
    v.declarePublic("dev_ll", rt::Value::integer(0));
    v.declarePublic("dev_ss", rt::Value::integer(0));
    keep("tytul_proc", rt::Value::text(""));
    keep("dev_tytul", rt::Value::newArray(0));
    keep("dev_stopka", rt::Value::newArray(0));
    return rt::Value();
  });
  f.add("WYB_URZ", [](rt::Args&) {
    int device = chooseDevice();
    if (device == 3 && !rt::print::printerAvailable()) {
      showMessage({rt::print::noPrinterMessage()}, 3);
      device = 0;
    }
    vars().declarePublic("urzadzenie", rt::Value::integer(device));
    vars().assign("urzadzenie", rt::Value::integer(device));
    return rt::Value::integer(device);
  });
  f.add("DEV_OPEN", [](rt::Args&) {
    endJob(false);
    state() = PrintState{};
    int64_t device = intVar("urzadzenie", 0);
    if (device < 1 || device > 3) return rt::Value::logical(false);
    rt::print::DeviceOptions options;
    options.title = displayText("Wydruk");
    if (device == 2) {
      // A print folder that cannot be made (a file of that name, no rights) is reported below
      // when the print file cannot be opened.
      std::error_code ec;
      std::filesystem::create_directories("WYDRUKI", ec);
      options.path = "WYDRUKI/wydruk.txt";
    }
    // The screen and the file show the graphic frames; only a printer told by the print settings
    // that it has no graphic characters gets ASCII ones.
    const rt::Value* graf = vars().tryGet("p_graf");
    options.asciiBoxes = device == 3 && !(graf && graf->isLogical() && graf->logical());
    rt::print::PageSetup setup;
    setup.pageLength = int(intVar("p_licz_wie", 64));
    options.pageLength = setup.pageLength;
    setup.titleHook = pageTitle;
    try {
      job() = std::make_unique<rt::print::PrintJob>(
          rt::print::openDevice(rt::print::DeviceKind(device), options), setup);
    } catch (const rt::Error& e) {
      message(withErrorLines({}, e), 3);
      vars().assign("urzadzenie", rt::Value::integer(0));
      return rt::Value::logical(false);
    }
    if (device == 2) {
      std::error_code ec;
      std::filesystem::path written = std::filesystem::absolute(options.path, ec);
      // File names are UTF-8 on disk; the message windows show code page 852.
      state().file = rt::utf8ToCp852(ec ? options.path : written.lexically_normal().string());
    }
    vars().assign("dev_ll", rt::Value::integer(0));
    vars().assign("dev_ss", rt::Value::integer(0));
    return rt::Value::logical(true);
  });
  f.add("DEV_LINIA", [](rt::Args& a) {
    guarded([&](rt::print::PrintJob& j) {
      // Stored texts print with their Polish letters (a letter and a backtick print as one).
      j.line(a[0].isChar() ? displayText(a[0].str()) : std::string());
      keepCounters();
    });
    return rt::Value();
  });
  f.add("DEV_EJECT", [](rt::Args&) {
    guarded([](rt::print::PrintJob& j) {
      j.newPage();
      vars().assign("dev_ll", rt::Value::integer(0));
    });
    return rt::Value();
  });
  f.add("DEV_PRZERWANY", [](rt::Args&) { return rt::Value::logical(state().cutShort); });
  f.add("DEV_CLOSE", [](rt::Args&) {
    endJob(true);
    return rt::Value();
  });
  f.add("_PRNN", [](rt::Args& a) { return rt::Value::text(displayText(a[0].strOr(""))); });
}

}  // namespace suite
