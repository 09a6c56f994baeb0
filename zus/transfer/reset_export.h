// The export of benefits to RESET: the template "ZAS_WZR.dbf" of the template directory is copied
// afresh to "ZAS_EXP.dbf" of the export directory, and one row is appended to the copy for each
// benefit record, of the employees of the chosen groups, whose kind has a RESET absence code.
// Rows follow the sorted group keys, then MAIN's order within a group, then the benefit records
// by end date. The program never makes the table's structure: it fills the template's fields by
// name, and refuses a template that lacks one of them before any row is written.
#pragma once

#include <string>
#include <vector>

#include "runtime/core/value.h"
#include "zus/transfer/reset_basis_history.h"

namespace zus {

// The menu entry: true when the table was made and every chosen group exported.
bool RS_EKSP();

}  // namespace zus

namespace zus::reset_export {

using FieldValues = std::vector<std::pair<std::string, rt::Value>>;

// The fields a template must hold, with the type of value each receives (C, N, D or L).
const std::vector<std::pair<std::string, char>>& requiredFields();

// `rodz_proc`: the percentage code of a kind mapped to `mapped` (trimmed; "" when none) for a
// benefit of `percent` (as the export row holds it, rounded to 2 decimals).
std::string percentCodeFor(const std::string& mapped, double percent);
// `kod_ch1`: the sick-note letter code's number ("A" 1 ... "E" 5), "" for anything else.
std::string letterCodeNumber(const std::string& letterCode);
// The twelve month groups of a row for a basis history and full-time equivalent.
FieldValues monthGroups(const BasisHistory& h, double fte);

}  // namespace zus::reset_export
