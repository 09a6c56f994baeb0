// uzupelnienie: the suite's update installer.
//
//   uzupelnienie -koduj IN OUT      scrambles a plain update script into OUT (and back)
//   uzupelnienie [-katalog DIR]     installs the update "update.dat" of the current directory
//                                   into DIR (asked for when not given)
//
// The exit code is 0 when the update was installed, 1 when it failed or was abandoned.
#include <cstdio>
#include <exception>

#include "patch/messages.h"
#include "patch/register.h"
#include "patch/startup.h"
#include "runtime/core/error.h"
#include "runtime/term/curses_backend.h"
#include "runtime/term/leave_request.h"

int main(int argc, char** argv) {
  auto arg = [&](int i) { return i < argc ? rt::Value::text(argv[i]) : rt::Value(); };
  rt::Value akcja = arg(1), plik1 = arg(2), plik2 = arg(3);
  try {
    patch::registerAllFunctions();
    if (patch::isConversion(akcja, plik1, plik2)) return patch::MAIN(akcja, plik1, plik2);
    rt::term::TerminalSession terminal;
    return patch::MAIN(akcja, plik1, plik2);
  } catch (const rt::term::LeaveRequested&) {
    // A hang-up or a kill at a question: the update was abandoned.
    std::fprintf(stderr, "uzupelnienie: przerwano sygnalem\n");
  } catch (const rt::Error& e) {
    std::fprintf(stderr, "uzupelnienie: %s\n", patch::errorText(e).c_str());
  } catch (const std::exception& e) {
    std::fprintf(stderr, "uzupelnienie: %s\n", e.what());
  }
  return patch::kExitFailed;
}
