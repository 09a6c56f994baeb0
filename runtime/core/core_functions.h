// Functions of the runtime core callable by name: EVAL, VALTYPE, TYPE.
#pragma once

namespace rt {

// Registers EVAL, VALTYPE and TYPE in rt::functions().
void registerCoreFunctions();

}  // namespace rt
