// The suite's menu engine `FEKRAN`: runs a menu definition until the user leaves it.
//
// The bar of groups sits on row 1 with the pull-down of the chosen group open beneath it. Left and
// Right change the group, Up, Down, Home and End the item, Enter calls the item's entry by name
// and redraws the menu when it returns, Esc leaves the menu. The status line shows the item's
// help text. An entry that fails with a runtime error reports it in a message window and the menu
// goes on.
#pragma once

#include <string>

namespace suite {

struct MenuDef;

// Runs the menu; returns when the user leaves it.
void runMenu(const MenuDef& menu);

void registerMenuEngine();

}  // namespace suite
