// Small table operations of the suite's stand-ins, over the runtime's table functions called by
// name (DBUSEAREA, DBCREATE, DBSEEK, FIELDGET, ...), as the suite's own libraries call them.
#pragma once

#include <string>
#include <utility>
#include <vector>

#include "runtime/core/error.h"
#include "runtime/core/value.h"
#include "suite/tables/table_defs.h"

namespace suite {

// The directory variable a table lives in, with its separator ("/data/firma/").
std::string tableDirectory(const TableDef& def);
// The table's file path without extension in its company directory.
std::string tablePath(const TableDef& def);

// Creates the table (DBF with its structural index and tags) at `path` (no extension).
void createTable(const std::string& path, const TableDef& def);

// Opens the table in a new work area under its alias, in its first order; false when the open
// was refused because the table is in use elsewhere. A missing, damaged or unreadable file
// raises its error, naming the file; an opening that fails leaves no area open. A structural
// index left behind by a writer that died is rebuilt first when nobody else has the table open
// (see index_rebuild.h); while somebody has, the user is told and the open is refused.
bool openTable(const TableDef& def, bool shared);

// Opens the table in a new work area under its alias as it stands (its indexes not looked at);
// false when refused because it is in use elsewhere.
bool useTable(const TableDef& def, bool shared);

// True for an open refused because the file is held at another workstation (worth a retry).
bool inUseElsewhere(const rt::Error& e);

rt::Value call(const char* function, std::vector<rt::Value> args = {});

// Fields of the current record of the selected work area.
rt::Value field(const std::string& name);
void setField(const std::string& name, const rt::Value& v);

// Appends a record with the given fields to the selected work area, in one write of the record
// (a process killed on the way leaves no blank record behind); it stays locked, the area's other
// locks are released, as DBAPPEND does. False (and NETERR) when the append was refused.
bool appendRecord(const std::vector<std::pair<std::string, rt::Value>>& fields);

}  // namespace suite
