#include "zus/calc/by_name.h"

namespace zus {

void registerCalcFunctions() {
  registerCalcRunFunctions();
  registerBasisFunctions();
}

}  // namespace zus
