// Functions of the runtime core callable by name: EVAL, VALTYPE, TYPE.
#pragma once

namespace rt {

class Functions;

// Registers EVAL, VALTYPE and TYPE in rt::functions(). The process's registry starts with them
// already, so calling this is only needed after they were replaced.
void registerCoreFunctions();
void registerCoreFunctions(Functions& f);

}  // namespace rt
