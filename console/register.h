// Registration of every public routine of the console library for calls by name (expression
// text, update scripts, the menu engine).
#pragma once

#include "runtime/core/functions.h"

namespace con {

// Registers all of the library's public routines in rt::functions(). Registering again replaces
// the adapters; a program that brings its own display-text hook `_P` registers it afterwards.
void registerConsoleFunctions();

// The groups, one per source file.
void registerConversionFunctions(rt::Functions& f);
void registerFileFunctions(rt::Functions& f);
void registerColourFunctions(rt::Functions& f);
void registerColourCodeFunctions(rt::Functions& f);
void registerTableWrapperFunctions(rt::Functions& f);
void registerWindowFunctions(rt::Functions& f);
void registerDialogFunctions(rt::Functions& f);

}  // namespace con
