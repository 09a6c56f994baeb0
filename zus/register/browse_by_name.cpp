#include "zus/register/by_name.h"

namespace zus {

void registerRegisterBrowseFunctions() {}

}  // namespace zus
