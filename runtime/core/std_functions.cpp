// Registration of every family of standard functions.
#include "runtime/core/std_functions.h"

#include "runtime/core/std_register.h"

namespace rt {

void registerStandardFunctions() {
  Functions& f = functions();
  detail::registerStringFunctions(f);
  detail::registerConvertFunctions(f);
  detail::registerDateFunctions(f);
  detail::registerNumberFunctions(f);
  detail::registerArrayFunctions(f);
  detail::registerFileFunctions(f);
  detail::registerSystemFunctions(f);
}

}  // namespace rt
