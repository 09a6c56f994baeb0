// zasilki: the benefit program.
//
//   zasilki DIR           runs on the company data directory DIR
//   zasilki --demo DIR    creates the demo company in DIR when it holds none, then runs on it
//
// The runtime's and the libraries' routines are registered for calls by name, lowest layer first,
// so that a higher layer's routine of the same name (the suite's `_P`) replaces the lower one;
// entries of the program that are not built yet get stand-ins last. The program then runs in the
// company directory on the real terminal, which is given back as it was however the run ends.
#include <cstdio>
#include <cstring>
#include <exception>
#include <filesystem>
#include <string>

#include "console/error_text.h"
#include "console/register.h"
#include "runtime/core/error.h"
#include "runtime/core/core_functions.h"
#include "runtime/core/cp852.h"
#include "runtime/core/std_functions.h"
#include "runtime/db/table_functions.h"
#include "runtime/print/console_output.h"
#include "runtime/term/curses_backend.h"
#include "runtime/term/leave_request.h"
#include "runtime/term/register.h"
#include "runtime/ui/ui_functions.h"
#include "suite/demo/demo_company.h"
#include "suite/forms/display_text.h"
#include "suite/register.h"
#include "zus/calc/by_name.h"
#include "zus/register/by_name.h"
#include "zus/reports/by_name.h"
#include "zus/shell/startup.h"
#include "zus/transfer/by_name.h"

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

void registerEverything() {
  rt::registerCoreFunctions();
  rt::registerStandardFunctions();
  rt::db::registerTableFunctions();
  rt::term::registerScreenFunctions();
  rt::ui::registerUiFunctions();
  rt::print::registerPrintFunctions();
  con::registerConsoleFunctions();
  suite::registerSuiteFunctions();
  zus::registerShellFunctions();
  zus::registerRegisterFunctions();
  zus::registerCalcFunctions();
  zus::registerTransferFunctions();
  zus::registerReportFunctions();
  zus::registerPendingEntries();
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
    registerEverything();
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
    for (const std::string& line : con::errorLines(rt::Error(rt::ErrorKind::Other, {}, {},
                                                            rt::utf8ToCp852(e.path1().string()),
                                                            e.code().value())))
      say(line);
    return 1;
  } catch (const std::exception&) {
    say("Bl`a`d programu");
    return 1;
  }
}
