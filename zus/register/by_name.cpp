#include "zus/register/by_name.h"

namespace zus {

void registerRegisterFunctions() {
  registerRegisterBrowseFunctions();
  registerBenefitFormFunctions();
  registerEntryRuleFunctions();
}

}  // namespace zus
