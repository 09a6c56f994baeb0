// Registration of the transfers to payroll and to personnel for calls by name, with the suite's
// services that only the transfers and the export bring in.
#include "suite/forms/parameter_label.h"
#include "suite/screen/token_sides.h"
#include "zus/transfer/by_name.h"
#include "zus/transfer/to_payroll.h"
#include "zus/transfer/to_personnel.h"

namespace zus {

void registerModuleTransferFunctions() {
  suite::registerTokenSideFunctions();
  suite::registerParameterLabelFunction();
  registerPayrollTransferFunctions();
  registerPersonnelTransferFunctions();
}

}  // namespace zus
