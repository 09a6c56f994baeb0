// System functions: environment, SET by number, version texts and the program's exit code.
#pragma once

namespace rt {

// The exit code ERRORLEVEL(n) set for the program (0 unless set); the program's main returns it.
int errorLevel();
void setErrorLevel(int code);

}  // namespace rt
