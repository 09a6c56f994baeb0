// The table functions callable by name (expression text, macros, update scripts): thin adapters
// over rt::db::WorkAreas that read their positional arguments with type-tested defaults.
//
// Queries on an empty work area answer as the runtime does (RECNO() 0, EOF() and BOF() true,
// ALIAS() ""); operations on it raise "Workarea not in use". File names are Windows-style and go
// through rt::mapPath; a table name without an extension gets ".dbf", an index bag ".cdx".
#pragma once

#include <string>
#include <string_view>

namespace rt::db {

void registerTableFunctions();

// The Linux path of a table or bag name as the functions resolve it (for callers in C++).
std::string resolveTableName(std::string_view name, bool forCreate);
std::string resolveBagName(std::string_view name, const std::string& tablePath, bool forCreate);

}  // namespace rt::db
