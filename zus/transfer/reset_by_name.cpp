#include "zus/transfer/by_name.h"

namespace zus {

void registerResetExportFunctions() {}

}  // namespace zus
