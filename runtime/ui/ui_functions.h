// The form reader, browse, list choice and memo editor callable by name.
//
// registerUiFunctions registers READMODAL, READKILL, READINSERT, READEXIT, READVAR, UPDATED,
// RANGECHECK, __GET, SAVEGETS, RESTGETS, ACHOICE, DBEDIT and MEMOEDIT in rt::functions().
//
// A form field made by name (__GET) is a code block value: evaluated without arguments it gives
// the variable's value, with one it assigns it. The by-name READMODAL reads an array of such
// values, looking at the array again at every step, so a check may add to it. __GET also appends
// its field to the array in the memory variable GETLIST when there is one (as @ ... GET does);
// SAVEGETS gives that array and starts an empty one, RESTGETS puts a saved one back.
#pragma once

#include "runtime/core/value.h"
#include "runtime/ui/get.h"

namespace rt::ui {

void registerUiFunctions();

// A form field as a runtime value, and back (nullptr for a value that is no form field).
Value getAsValue(GetPtr get);
GetPtr getFromValue(const Value& v);

// A condition from a code block or expression text (NIL or "": none).
Condition conditionOf(const Value& blockOrText);

}  // namespace rt::ui
