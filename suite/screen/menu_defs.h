// Menu definitions of the suite's menu engine.
//
// A menu is a bar of groups, each a pull-down list of items; an item names an entry function that
// the engine calls by name with fixed arguments. Labels are stored text (backtick coding) and pass
// through `_P` on their way to the screen. The suite keeps one definition per program; the benefit
// program's is "zus".
#pragma once

#include <string>
#include <vector>

#include "runtime/core/value.h"

namespace suite {

struct MenuItem {
  std::string label;     // stored text
  std::string function;  // entry called by name
  std::vector<rt::Value> args;
  std::string help;      // status-line text while the item is highlighted (stored text)
};

struct MenuGroup {
  std::string label;  // stored text, upper case as the suite shows its bar
  std::vector<MenuItem> items;
};

struct MenuDef {
  std::string name;
  std::string title;  // shown on the top line
  std::vector<MenuGroup> groups;
};

// The definition of a menu by name (case-insensitive); nullptr for an unknown menu.
const MenuDef* findMenu(const std::string& name);

}  // namespace suite
