// zasilki: the benefit program.
//
//   zasilki DIR           runs on the company data directory DIR
//   zasilki --demo DIR    creates the demo company in DIR when it holds none, then runs on it
//
// The program's routines are registered for calls by name (`registerProgramFunctions`); the
// program then runs in the company directory on the real terminal, which is given back as it was
// however the run ends.
#include <cstdio>
#include <cstring>
#include <exception>
#include <filesystem>
#include <string>

#include "console/error_text.h"
#include "runtime/core/error.h"
#include "runtime/core/cp852.h"
#include "runtime/print/console_output.h"
#include "runtime/term/curses_backend.h"
#include "runtime/term/leave_request.h"
#include "suite/demo/demo_company.h"
#include "suite/forms/display_text.h"
#include "zus/program/program_functions.h"
#include "zus/shell/startup.h"

namespace {

// A line for the user's terminal, which reads UTF-8; `text` is in the stored form of Polish
// letters (code page 852 or the letter-and-backtick coding).
void say(const std::string& text) {
  std::fprintf(stderr, "zasilki: %s\n", rt::cp852ToUtf8(suite::displayText(text)).c_str());
}

int usage() {
  say("ux`ycie: zasilki [--demo] KATALOG");
  return 2;
}

}  // namespace

int main(int argc, char** argv) {
  bool demo = false;
  std::string dir;
  for (int i = 1; i < argc; ++i) {
    if (std::strcmp(argv[i], "--demo") == 0) demo = true;
    else if (dir.empty()) dir = argv[i];
    else return usage();
  }
  if (dir.empty()) return usage();

  try {
    zus::registerProgramFunctions();
    if (demo && !suite::companyExists(dir)) {
      say("Tworze` firme` demonstracyjna` w katalogu " + rt::utf8ToCp852(dir) + " ...");
      suite::createDemoCompany(dir);
    }
    std::error_code ec;
    std::filesystem::current_path(dir, ec);
    if (ec) {
      for (const std::string& line :
           con::errorLines(rt::userError(rt::ErrorKind::Open, "Nie mox`na przejs`c` do katalogu firmy", {},
                                         rt::utf8ToCp852(dir), ec.value())))
        say(line);
      return 1;
    }
    int result;
    {
      rt::term::TerminalSession terminal;
      zus::APPSYS();
      result = zus::MAIN();
    }
    return result;
  } catch (const rt::term::LeaveRequested& leave) {
    return 128 + leave.signal;
  } catch (const rt::Error& e) {
    for (const std::string& line : con::errorLines(e)) say(line);
    return 1;
  } catch (const std::filesystem::filesystem_error& e) {
    for (const std::string& line : con::errorLines(con::errorOf(e))) say(line);
    return 1;
  } catch (const std::exception&) {
    say(con::errorHeading(rt::ErrorKind::Other));
    return 1;
  }
}
