// The runtime's standard functions, callable by name.
//
// registerStandardFunctions registers strings, conversions, dates, numbers, arrays, files and the
// system functions in rt::functions(). Registering twice is harmless (the adapters are replaced).
#pragma once

namespace rt {

void registerStandardFunctions();

}  // namespace rt
