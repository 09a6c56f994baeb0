// The runtime's console output (? and ??) and device output (@ SAY) with the printer.
//
// ? (QOUT) starts a new line and writes its values separated by blanks; ?? (QQOUT) writes them
// where output stands. Each goes to the screen while SET CONSOLE is on and to the open print job
// while SET PRINTER is on. @ SAY (DEVPOS/DEVOUT) goes to the print job instead of the screen
// while SET DEVICE is PRINTER: moving down ends lines, moving left of where the line stands or up
// begins a new page, moving right pads with blanks.
#pragma once

#include <string>
#include <vector>

#include "runtime/core/functions.h"
#include "runtime/core/value.h"

namespace rt::print {

void qout(const std::vector<Value>& values);
void qqout(const std::vector<Value>& values);

// Where the printer stands: lines ended on this page and the column of the line being built.
int printerRow();
int printerCol();

// QOUT, QQOUT, __EJECT, PROW, PCOL, and DEVPOS/DEVOUT/DEVOUTPICT taking the printer into account.
// Call after the screen functions are registered (it wraps their DEVPOS and DEVOUT).
void registerPrintFunctions();
void registerPrintFunctions(Functions& f);

}  // namespace rt::print
