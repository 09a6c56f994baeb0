#include "zus/transfer/by_name.h"

namespace zus {

void registerModuleTransferFunctions() {}

}  // namespace zus
