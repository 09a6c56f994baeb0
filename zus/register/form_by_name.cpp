#include "zus/register/by_name.h"

namespace zus {

void registerBenefitFormFunctions() {}

}  // namespace zus
