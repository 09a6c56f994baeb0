#pragma once

namespace zus {

// Registers every routine of the benefit program for calls by name, lowest layer first, so that a
// higher layer's routine of the same name (the suite's `_P`) replaces the lower one; menu entries
// that no subsystem registered get stand-ins last. The program and the calculation benchmark both
// start from this one list, so that the benchmark times the program as it runs.
void registerProgramFunctions();

}  // namespace zus
