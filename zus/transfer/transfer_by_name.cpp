// Registration of the transfers to payroll and to personnel for calls by name.
#include "zus/transfer/by_name.h"
#include "zus/transfer/to_payroll.h"
#include "zus/transfer/to_personnel.h"

namespace zus {

void registerModuleTransferFunctions() {
  registerPayrollTransferFunctions();
  registerPersonnelTransferFunctions();
}

}  // namespace zus
