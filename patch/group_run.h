// The run of one migration group: its tables opened exclusively (once for the destination root,
// or once per company), its indexes built and attached, its entry condition, table blocks and
// record loop evaluated, its tables closed and its final copies made.
//
// A group that fails in any way (a table missing or not opened, an expression error, a false
// start of the record loop, a failed copy) leaves every file the run touched as it was before the
// run: each table is set aside once this run holds it exclusively, and everything set aside by
// this and the earlier groups is put back before the group lets its tables go; its final copies
// are not made. A missing destination table in a single run skips the group and counts as
// success.
#pragma once

#include <string>
#include <vector>

#include "patch/file_backup.h"
#include "patch/group_settings.h"
#include "runtime/core/value.h"

namespace patch {

bool AKTUALIZUJ_BAZY(GroupSettings& g, const std::string& src, const std::string& dst,
                     bool companyMode, FileBackup& backup);

// Evaluates the blocks in order; the value of the last, true for an empty list.
rt::Value PRZETWARZAC(const std::vector<ScriptBlock>& list);

// Attaches the index files to their tables: every alias with two or more files gets its index
// list cleared and all its files added in order, the first controlling. An alias with one file
// keeps the index its creation left open.
void OPEN_INDEKS(const std::vector<IndexEntry>& entries);

// The by-name form: an array of {alias, index file, ...} arrays.
void openIndexesByName(const rt::Value& entries);

}  // namespace patch
