// Main screen and console services of the suite.
#include "suite/screen/main_screen.h"

#include "runtime/core/context.h"
#include "runtime/term/terminal.h"
#include "suite/forms/display_text.h"
#include "suite/screen/colour_set.h"
#include "suite/screen/messages.h"
#include "suite/screen/window.h"

namespace suite {
namespace {

std::string& title() {
  static std::string t = "System ZEFIRON";
  return t;
}

std::string companyName() {
  const rt::Value* name = rt::context().memvars.tryGet("firm_nazwa");
  return name && name->isChar() ? displayText(name->str()) : std::string();
}

rt::Value nil() { return rt::Value(); }

}  // namespace

const std::string& windowTitle() { return title(); }

void drawMainScreen() {
  rt::term::Screen& s = rt::term::screen();
  rt::term::DispGuard batch;
  {
    ColourSetScope colours(kSetBackground);
    s.fill(1, 0, 23, 79, 0xB0, s.colors().standard());
  }
  {
    ColourSetScope colours(kSetDescription);
    std::string line = " " + title();
    std::string firm = companyName();
    line.resize(80, ' ');
    if (!firm.empty() && firm.size() < 40) line.replace(80 - firm.size() - 1, firm.size(), firm);
    s.put(0, 0, line, s.colors().standard());
  }
  redrawStatusLine();
}

void registerMainScreenFunctions() {
  rt::Functions& f = rt::functions();
  // The console window object: the program keeps it in `ZefEkran` and never reads it again.
  f.add("TFONTEKRAN", [](rt::Args&) { return rt::Value::text("TFONTEKRAN"); });
  f.add("OKNOSTART", [](rt::Args& a) {
    const rt::Value& t = a[1].isChar() ? a[1] : a[0];
    if (t.isChar() && t.str() != "TFONTEKRAN") title() = displayText(t.str());
    return nil();
  });
  f.add("MAIN_SCR", [](rt::Args&) {
    drawMainScreen();
    return nil();
  });
  f.add("LAD_SCR", [](rt::Args&) {
    return rt::Value::text(openWaitMessage(displayText("Trwa l`adowanie programu ...")));
  });
  f.add("FILE_SIEC", [](rt::Args&) { return rt::Value::logical(false); });
  f.add("E_POLZNAK", [](rt::Args&) { return nil(); });
  f.add("STATION_NR", [](rt::Args&) { return rt::Value::integer(1); });
  f.add("JESZCZE_NO", [](rt::Args&) { return nil(); });
  f.add("INICJUJ", [](rt::Args&) { return nil(); });
  f.add("MEMORXPF", [](rt::Args&) { return rt::Value::text(".mem"); });
  f.add("HASLO", [](rt::Args&) { return rt::Value::logical(true); });
  f.add("OPERATOR", [](rt::Args&) { return rt::Value::text("ADMINISTRATOR"); });
  f.add("FIL_UTIL", [](rt::Args&) { return nil(); });
  f.add("PAR_SYS", [](rt::Args&) { return nil(); });
  f.add("CLEAR_KEYBOARD", [](rt::Args&) {
    rt::term::keyboard().clearTypeahead();
    return nil();
  });
  f.add("CALC", [](rt::Args&) {
    showMessage({displayText("Kalkulator jest doste`pny w module Pl`ace.")}, 0);
    return nil();
  });
  // Writes buffered table changes to disk.
  f.add("FLUSH", [](rt::Args&) {
    if (rt::functions().has("DBCOMMITALL")) rt::functions().call("DBCOMMITALL");
    return nil();
  });
  // The closing routine: tables closed, the screen cleared; the terminal itself is given back
  // by the program's main when the run ends.
  f.add("MFKONIEC", [](rt::Args&) {
    if (rt::functions().has("DBCLOSEALL")) rt::functions().call("DBCLOSEALL");
    resetStatusLine();
    rt::term::screen().setColorString(rt::term::kDefaultColorString);
    rt::term::screen().clear();
    return nil();
  });
  if (!f.has("CLS")) {
    f.add("CLS", [](rt::Args&) {
      rt::term::screen().clear();
      return nil();
    });
  }
  // Stand-ins for the console library's routines, used only when it is not linked in.
  if (!f.has("ZWIN")) {
    f.add("ZWIN", [](rt::Args& a) {
      if (a[0].isChar()) closeWindow(a[0].str());
      return nil();
    });
  }
  if (!f.has("K_ZMIEN_PALETE")) f.add("K_ZMIEN_PALETE", [](rt::Args&) { return nil(); });
  if (!f.has("READKILL")) f.add("READKILL", [](rt::Args&) { return nil(); });
}

}  // namespace suite
