#include "zus/program/program_functions.h"

#include "console/register.h"
#include "runtime/core/core_functions.h"
#include "runtime/core/std_functions.h"
#include "runtime/db/table_functions.h"
#include "runtime/print/console_output.h"
#include "runtime/term/register.h"
#include "runtime/ui/ui_functions.h"
#include "suite/register.h"
#include "zus/calc/by_name.h"
#include "zus/register/by_name.h"
#include "zus/reports/by_name.h"
#include "zus/shell/startup.h"
#include "zus/transfer/by_name.h"

namespace zus {

void registerProgramFunctions() {
  rt::registerCoreFunctions();
  rt::registerStandardFunctions();
  rt::db::registerTableFunctions();
  rt::term::registerScreenFunctions();
  rt::ui::registerUiFunctions();
  rt::print::registerPrintFunctions();
  con::registerConsoleFunctions();
  suite::registerSuiteFunctions();
  registerShellFunctions();
  registerRegisterFunctions();
  registerCalcFunctions();
  registerTransferFunctions();
  registerReportFunctions();
  registerPendingEntries();
}

}  // namespace zus
