// Structures of the suite's tables that the benefit program reads and writes.
//
// Each table is described once: its file name, the alias it is opened under, the company
// directory it lives in, its fields in order and its index tags in order number. The benefit
// program never creates these tables; the demo company and the tests create them from here.
#pragma once

#include <string>
#include <vector>

namespace suite {

// Which directory of the company a table lives in (see docs/company-directories.md).
enum class CompanyDir {
  Payroll,    // `_path_plac`: the payroll module's tables and the benefit register
  Personnel,  // `_path_kadr`: the personnel module's tables
};

struct FieldDef {
  std::string name;  // lower case, at most 10 characters
  char type;         // C N D L M
  int len;
  int dec = 0;
};

struct TagDef {
  std::string name;  // at most 10 characters
  std::string key;   // key expression
};

struct TableDef {
  std::string name;   // file name without extension, upper case ("NIEOBEC")
  std::string alias;  // alias the table set opens it under ("sl" for SLOWNIK)
  CompanyDir dir;
  std::vector<FieldDef> fields;
  std::vector<TagDef> tags;  // order 1, 2, ... in the structural index
};

// Width of a payroll item code (an element of `dplac_kod`).
inline constexpr int kItemCodeLen = 4;
// Months of history an archive record holds (depth 0 to kArchiveDepths - 1).
inline constexpr int kArchiveDepths = 24;
// Width of a dictionary short name (`len_slow`).
inline constexpr int kShortNameLen = 10;

// Every table of the suite the program knows, by name; nullptr for an unknown name.
const TableDef* findTable(const std::string& name);
const std::vector<TableDef>& allTables();

// Name of the archive field that holds the value `depth` months back ("a00" ... "a23").
std::string archiveField(int depth);

}  // namespace suite
