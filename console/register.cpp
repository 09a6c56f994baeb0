// Registration of the whole console library for calls by name.
#include "console/register.h"

namespace con {

void registerConsoleFunctions() {
  rt::Functions& f = rt::functions();
  registerConversionFunctions(f);
  registerFileFunctions(f);
  registerColourFunctions(f);
  registerColourCodeFunctions(f);
  registerTableWrapperFunctions(f);
  registerWindowFunctions(f);
  registerDialogFunctions(f);
}

}  // namespace con
