// The families of standard functions, each registering its adapters in the registry.
#pragma once

#include "runtime/core/functions.h"

namespace rt::detail {

void registerStringFunctions(Functions& f);
void registerConvertFunctions(Functions& f);
void registerDateFunctions(Functions& f);
void registerNumberFunctions(Functions& f);
void registerArrayFunctions(Functions& f);
void registerFileFunctions(Functions& f);
void registerSystemFunctions(Functions& f);

}  // namespace rt::detail
