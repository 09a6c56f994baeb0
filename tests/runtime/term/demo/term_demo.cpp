// A small program on the real terminal for the end-to-end test: a framed window with Polish
// text, the code of every key typed, a hot key (F2) that opens and closes a window over the
// screen, P for a two-page print shown in the print viewer, and Esc to leave.
#include <cstdio>
#include <string>

#include "runtime/core/cp852.h"
#include "runtime/core/error.h"
#include "runtime/print/print_job.h"
#include "runtime/print/styled_text.h"
#include "runtime/term/curses_backend.h"
#include "runtime/term/glyphs.h"
#include "runtime/term/keys.h"
#include "runtime/term/leave_request.h"
#include "runtime/term/terminal.h"

using namespace rt::term;

namespace {

void drawMain() {
  Screen& s = screen();
  DispGuard burst;
  s.setColorString("W/B,N/W");
  s.clear();
  s.box(2, 10, 8, 69, std::string(kDoubleFrame) + " ", makeAttr(14, 1));
  s.say(2, 33, " Terminal demo ", makeAttr(15, 4));
  s.say(4, 13, utf8ToGlyphs("Zażółć gęślą jaźń"), makeAttr(15, 1));
  s.say(6, 13, "Keys: arrows, F-keys, letters; F2 window; P print; Esc", makeAttr(7, 1));
  s.say(24, 0, std::string(80, ' '), makeAttr(0, 3));
}

void showKey(int key, int count) {
  std::string text = "Key " + std::to_string(count) + ": " + std::to_string(key) + "   ";
  screen().say(24, 1, text, makeAttr(0, 3));
}

void hotWindow(const WaitState& where) {
  Screen& s = screen();
  std::string under = s.save(10, 20, 14, 59);
  s.box(10, 20, 14, 59, std::string(kSingleFrame) + " ", makeAttr(0, 7));
  s.say(11, 22, "Hot key in " + where.procedure + " line " + std::to_string(where.line), makeAttr(0, 7));
  s.say(12, 22, "Any key closes this window", makeAttr(0, 7));
  keyboard().inkey(0);
  s.restore(10, 20, 14, 59, under);
}

// A print of two pages, 171 columns wide, with box characters, bold and underline.
void demoPrint() {
  using namespace rt::print;
  const StyleCodes& c = styleCodes();
  DeviceOptions options;
  options.title = "Demo print";
  PageSetup setup;
  setup.pageLength = 14;
  setup.titleHook = [&c](PrintJob& job) {
    job.line("str. " + std::to_string(job.page()) + "       " + c.boldOn + "Karta zasi\x88ku" + c.boldOff);
    job.line("\xDA" + std::string(169, '\xC4') + "\xBF");
  };
  PrintJob job(openDevice(DeviceKind::Screen, options), setup);
  for (int i = 1; i <= 20; ++i) {
    std::string n = std::to_string(i);
    std::string body = "\xB3 " + c.underlineOn + "Pozycja " + n + c.underlineOff;
    body += std::string(size_t(170 - printedWidth(body) - 7 - int(n.size())), ' ') + "koniec " + n + "\xB3";
    job.line(body);
  }
  job.close();
}

}  // namespace

int main() {
  try {
    TerminalSession session;
    drawMain();
    keyboard().setKey(K_F2, HotKey{hotWindow, {}});
    int count = 0;
    for (;;) {
      int key = keyboard().waitKey({"DEMO", 1, ""});
      if (key == 0) continue;
      showKey(key, ++count);
      if (key == K_ESC) break;
      if (key == 'p' || key == 'P') demoPrint();
    }
  } catch (const LeaveRequested& leave) {
    // SIGTERM or SIGHUP: the terminal is given back, the exit status tells the signal.
    return 128 + leave.signal;
  } catch (const rt::Error& e) {
    std::fprintf(stderr, "%s\n", rt::cp852ToUtf8(e.description()).c_str());
    return 2;
  }
  std::printf("term demo ended\n");
  return 0;
}
