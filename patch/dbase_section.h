// The table migration section "[dbase]": key lines collect a group's settings; a line beginning
// with "-" runs the group and starts the next one from the start values ("STATUS=+PRZEDS", the
// section's company mode, stays for every later group).
#pragma once

#include <string>

#include "patch/file_backup.h"
#include "patch/group_settings.h"
#include "patch/update_run.h"

namespace patch {

// Adds one key line to the settings; false when the line is no key line (it is then ignored).
// Throws ScriptFailure when its expression text does not compile.
bool readGroupLine(const ScriptLine& line, GroupSettings& g, bool& companyMode);

// Handles one section; returns the new run status. The tables its groups change are saved in
// `backup`, which a failed group puts back whole.
// `failedLine` gets the line that ends the group that failed.
bool PRZETW_BAZY(const SectionLines& dane, const std::string& src, const std::string& dst,
                 FileBackup& backup, int* failedLine = nullptr);

}  // namespace patch
