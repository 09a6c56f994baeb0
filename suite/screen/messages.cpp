// Message windows (KOM2, KOM3, KOM4) and the status line (STATLINE).
#include "suite/screen/messages.h"

#include "runtime/core/functions.h"
#include "runtime/term/keys.h"
#include "runtime/term/terminal.h"
#include "suite/forms/display_text.h"
#include "suite/screen/colour_set.h"
#include "suite/screen/window.h"
#include "suite/tables/table_sets.h"

namespace suite {
namespace {

std::vector<std::string>& statusStack() {
  static std::vector<std::string> stack;
  return stack;
}

void drawStatusLine() {
  ColourSetScope colours(kSetStatusLine);
  rt::term::Screen& s = rt::term::screen();
  std::string text = statusStack().empty() ? std::string() : statusStack().back();
  text.resize(80, ' ');
  s.put(24, 0, text, s.colors().standard());
}

// Warnings and errors in the warning colours, the rest as information.
int colourSetForKind(int kind) { return kind == 0 || kind == 1 ? kSetInformation : kSetWarning; }

int waitForKey(const char* where) {
  rt::term::Keyboard& kb = rt::term::keyboard();
  int key;
  do {
    key = kb.waitKey(rt::term::WaitState{where, 0, ""});
  } while (key == 0);
  kb.setLastKey(key);
  return key;
}

}  // namespace

std::vector<std::string> messageLines(const rt::Value& textOrLines) {
  std::vector<std::string> lines;
  if (textOrLines.isArray()) {
    for (const rt::Value& v : textOrLines.arr())
      if (v.isChar()) lines.push_back(displayText(v.str()));
  } else if (textOrLines.isChar()) {
    lines.push_back(displayText(textOrLines.str()));
  }
  return lines;
}

void showMessage(const std::vector<std::string>& displayLines, int kind, int row, int col) {
  rt::term::ScreenStateGuard state;
  ColourSetScope colours(colourSetForKind(kind));
  std::string handle = openMessageWindow(displayLines, displayText("Uwaga !"), row, col);
  waitForKey("KOM3");
  closeWindow(handle);
}

std::string openWaitMessage(const std::string& text) {
  rt::term::ScreenStateGuard state;
  ColourSetScope colours(kSetInformation);
  return openMessageWindow({text}, "", 0, 0);
}

void showOpenFailure() {
  rt::term::ScreenStateGuard state;
  ColourSetScope colours(kSetWarning);
  // A table that is not there is not busy: the message names it.
  const std::string& missing = missingTableOfLastSet();
  std::string why = missing.empty() ? "Nie moge` otworzyc` zbioro`w danych - sa` ux`ywane przez inne stanowisko."
                                    : "Nie moge` otworzyc` zbioro`w danych - brak zbioru " + missing + ".";
  std::string handle = openMessageWindow(
      {displayText(why),
       displayText("Esc - rezygnacja,  inny klawisz - ponowienie pro`by.")},
      displayText("Uwaga !"));
  waitForKey("KOM2");
  closeWindow(handle);
}

std::string numberedStatusText(int number) {
  switch (number) {
    case 0: return " Enter-wybo`r opcji   Strzal`ki-ruch po menu   Esc-koniec pracy";
    case 1: return " Enter-zatwierdzenie   Esc-rezygnacja";
    case 7: return " Nacis`nij dowolny klawisz ...";
    case 138: return " Enter-naste`pne pole  Strzal`ki-ruch  Spacja-zmiana wyboru  Esc/PgDn-koniec";
    default: return "";
  }
}

void setStatusLine(const std::string& text) {
  statusStack().push_back(text);
  drawStatusLine();
}

void setStatusLine(int number) { setStatusLine(displayText(numberedStatusText(number))); }

void restoreStatusLine() {
  if (!statusStack().empty()) statusStack().pop_back();
  drawStatusLine();
}

std::string statusLineText() { return statusStack().empty() ? "" : statusStack().back(); }

void resetStatusLine() { statusStack().clear(); }

size_t statusLineDepth() { return statusStack().size(); }

void unwindStatusLine(size_t depth) {
  if (statusStack().size() <= depth) return;
  statusStack().resize(depth);
  drawStatusLine();
}

void redrawStatusLine() { drawStatusLine(); }

void registerMessageFunctions() {
  rt::Functions& f = rt::functions();
  f.add("KOM3", [](rt::Args& a) {
    showMessage(messageLines(a[0]), int(a[3].intOr(0)), int(a[1].intOr(0)), int(a[2].intOr(0)));
    return rt::Value();
  });
  f.add("KOM4", [](rt::Args& a) {
    std::vector<std::string> lines = messageLines(a[0]);
    return rt::Value::text(openWaitMessage(lines.empty() ? "" : lines.front()));
  });
  f.add("KOM2", [](rt::Args&) {
    showOpenFailure();
    return rt::Value();
  });
  f.add("STATLINE", [](rt::Args& a) {
    if (a[0].isNum()) {
      if (a[0].num() < 0) restoreStatusLine();
      else setStatusLine(int(a[0].num()));
    } else if (a[0].isChar()) {
      setStatusLine(displayText(a[0].str()));
    }
    return rt::Value();
  });
}

}  // namespace suite
