// The suite's option-screen widgets: the field editors of the settings windows.
//
//   READ_PAR(row, col, @var, picture, check)  edits one value in place with a picture; the value
//       is accepted only when the check (expression text, evaluated with the new value in the
//       variable) holds. Esc gives the variable back its value on entry.
//   WYBOR_OP(row, col, @var [, @list])        a choice in place: a logical variable without list
//       is a yes/no choice; a numeric one with a list of texts takes the number of the chosen
//       text. Space and the arrows Right/Left turn the choice over, a letter goes to the next
//       choice that begins with it; any other key ends the edit (Esc gives the value back).
//   INC_OPCJE(@field, count)                  reads the key that ended the last edit: Enter,
//       Down or Tab the next field, Up or Shift+Tab the previous one (both wrap around); Esc,
//       Ctrl+W and PgDn close the window (true), putting the navigation back on field 1 so that
//       a window opened again starts at its top.
// Both editors leave the key that ended them as LASTKEY and show the value afterwards in the
// unselected colour of the current colours.
#pragma once

#include <string>
#include <vector>

#include "runtime/core/value.h"

namespace suite {

// The texts WYBOR_OP shows for a logical choice.
inline constexpr const char* kChoiceYes = " Tak ";
inline constexpr const char* kChoiceNo = " Nie ";

// The choice texts of a variable as WYBOR_OP shows them (display form, padded to one width).
std::vector<std::string> choiceTexts(const rt::Value& var, const rt::Value& list);
// The text WYBOR_OP shows for the variable's current value ("" when it names no choice).
std::string choiceShown(const rt::Value& var, const rt::Value& list);

// Draws a value the way READ_PAR shows it, without editing.
void showParameter(int row, int col, const rt::Value& value, const std::string& picture);

// True when the navigation closes the window; moves `field` otherwise.
bool incOpcje(int& field, int count, int key);

void registerOptionWidgets();

}  // namespace suite
