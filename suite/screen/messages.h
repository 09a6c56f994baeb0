// Message windows and the status line of the suite's libraries.
//
//   KOM3(text or lines, row, column, kind)  shows a message and returns after the user read it
//   KOM4(text)                               opens a message window and returns its handle at once
//   KOM2(row, column, kind, retry)           the "tables cannot be opened" message; LASTKEY tells
//                                            whether the user gave up (Esc) or wants another try
//   STATLINE(number or text)                 sets the status line (bottom row); -1 puts the
//                                            previous one back
// Texts are stored texts and are shown in display form.
#pragma once

#include <string>
#include <vector>

#include "runtime/core/value.h"

namespace suite {

// The lines of a text or an array of texts, in display form.
std::vector<std::string> messageLines(const rt::Value& textOrLines);

void showMessage(const std::vector<std::string>& displayLines, int kind, int row = 0,
                 int col = 0);
std::string openWaitMessage(const std::string& displayText);
void showOpenFailure();

// The status line: a stack of texts in display form, the last one shown.
void setStatusLine(const std::string& displayText);
void setStatusLine(int number);
void restoreStatusLine();
std::string statusLineText();
// The suite's numbered status texts (stored text).
std::string numberedStatusText(int number);
void resetStatusLine();
// How many status lines are stacked, and taking the stack back to such a depth (what a routine
// that ended with an error left behind).
size_t statusLineDepth();
void unwindStatusLine(size_t depth);
void redrawStatusLine();

void registerMessageFunctions();

}  // namespace suite
