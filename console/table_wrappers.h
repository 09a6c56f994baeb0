// Table and screen wrappers: single-call forms of table, index and screen operations for update
// scripts, which reach them by name. They work on the current work area unless they take an alias,
// lock nothing and report nothing of their own: a failing table operation raises the runtime's
// error. Each goes through the runtime's table functions by name, so file names and work areas
// follow the runtime's rules.
#pragma once

#include <string>
#include <string_view>

#include "runtime/core/value.h"

namespace con {

bool DBOPEN(std::string_view file, std::string_view alias);
// LOCATE over the whole table of `alias` (from its first record); the caller's area stays
// selected, the aliased table keeps its new position.
bool DBLOCATE(std::string_view alias, std::string_view condition);
bool DBINDEX(std::string_view file, std::string_view key);
void DBCLOSE(std::string_view alias);
void _DB_REPL(const rt::Value& value, std::string_view field);
void _DB_ZAP();
void _DB_PACK();
void _SET_ORDER(const rt::Value& order);
void _SET_INDEX(std::string_view file);
bool CLOSE_IND();
void SETFILTER(std::string_view filter);
double _ASCAN(const rt::Value& array, std::string_view blockText);

// Record copy: {{field name, value}, ...} in field order.
rt::Value READ_REKORD();
// Writes the pairs whose field exists with a value of the field's type (character into memo);
// skips the others silently.
bool WRITE_REKORD(const rt::Value& copy);

void _SAY(int row, int col, const rt::Value& text);
void _CLR_SCR();
void _PRINT(const rt::Value& text);

}  // namespace con
