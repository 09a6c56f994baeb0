#include "zus/transfer/by_name.h"

namespace zus {

void registerTransferFunctions() {
  registerModuleTransferFunctions();
  registerResetExportFunctions();
}

}  // namespace zus
