// System functions: environment, SET by number, version texts, the program's exit code and the
// error block.
#pragma once

#include "runtime/core/value.h"

namespace rt {

// The exit code ERRORLEVEL(n) set for the program (0 unless set); the program's main returns it.
int errorLevel();
void setErrorLevel(int code);

// The block ERRORBLOCK() installs (NIL until one is set). The runtime raises errors as rt::Error
// exceptions; code that wants to offer a script's handler a runtime error reads it from here.
Value errorBlock();
// Installs a block and returns the previous one.
Value setErrorBlock(Value block);

}  // namespace rt
