// By-name adapters of the installer's public routines.
#include "patch/register.h"

#include "console/register.h"
#include "patch/group_run.h"
#include "patch/interpreter.h"
#include "patch/startup.h"
#include "runtime/core/core_functions.h"
#include "runtime/core/functions.h"
#include "runtime/core/std_functions.h"
#include "runtime/db/table_functions.h"
#include "runtime/print/console_output.h"
#include "runtime/term/register.h"
#include "runtime/ui/ui_functions.h"

namespace patch {

void registerInstallerFunctions() {
  rt::Functions& f = rt::functions();
  f.add("MAIN", [](rt::Args& a) { return rt::Value::number(MAIN(a[0], a[1], a[2])); });
  f.add("USTAL_SRC", [](rt::Args&) { return rt::Value::text(USTAL_SRC()); });
  f.add("USTAL_DST", [](rt::Args&) { return rt::Value::text(USTAL_DST()); });
  f.add("ZNACZ_CZAS", [](rt::Args& a) {
    return rt::Value::logical(ZNACZ_CZAS(a[0].isChar() ? a[0].str() : std::string()));
  });
  // UAKTUALNIENIE(handle, source, destination, mode): mode 2 reads a plain script.
  f.add("UAKTUALNIENIE", [](rt::Args& a) {
    int fd = a[0].isNum() ? int(a[0].num()) : -1;
    if (fd < 0) return rt::Value::logical(false);
    bool scrambled = !(a[3].isNum() && a[3].num() == 2);
    ScriptReader reader = ScriptReader::overDescriptor(fd, scrambled);
    return rt::Value::logical(UAKTUALNIENIE(reader, a[1].strOr(""), a[2].strOr("")));
  });
  f.add("OPEN_INDEKS", [](rt::Args& a) {
    openIndexesByName(a[0]);
    return rt::Value();
  });
}

void registerAllFunctions() {
  rt::registerCoreFunctions();
  rt::registerStandardFunctions();
  rt::term::registerScreenFunctions();
  rt::print::registerPrintFunctions();  // wraps SET and DEVOUT: after the screen's
  rt::db::registerTableFunctions();
  rt::ui::registerUiFunctions();
  con::registerConsoleFunctions();
  registerInstallerFunctions();
}

}  // namespace patch
