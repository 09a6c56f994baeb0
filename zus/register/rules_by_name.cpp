#include "zus/register/by_name.h"

namespace zus {

void registerEntryRuleFunctions() {}

}  // namespace zus
