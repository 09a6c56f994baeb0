// Registers the screen and keyboard functions under their runtime names (SETCOLOR, DISPBOX,
// SAVESCREEN, INKEY, SETKEY, ...), so expression text and scripts can call them.
#pragma once

#include <string>

#include "runtime/core/functions.h"
#include "runtime/core/value.h"

namespace rt::term {

// Into the process's registry (rt::functions()) unless another is given. Call it after the
// standard functions are registered: it wraps their SET so that SET(_SET_COLOR) and
// SET(_SET_CURSOR) act on the screen.
void registerScreenFunctions();
void registerScreenFunctions(Functions& f);

// The text DEVOUT and DISPOUT show for a value: characters as they are, numbers as STR() gives
// them, dates as DTOC(), logicals as T or F, NIL as "NIL".
std::string displayText(const Value& v);

}  // namespace rt::term
