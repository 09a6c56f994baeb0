// The state of one installation that outlives a single section: the two directories, the run
// status and the version values that wait to be written until the whole run has succeeded.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "patch/file_backup.h"
#include "patch/script_reader.h"

namespace patch {

using SectionLines = std::vector<ScriptLine>;

// One new value for a variable of a memory file, written when the run ends successfully, so that
// an update that fails half way can be run again against the versions it found.
struct VersionWrite {
  std::string file;      // full name of the memory file
  std::string variable;  // variable inside it
  std::string value;     // new value as text
  int line = 0;
};

struct UpdateRun {
  std::string src;  // directories, each ending with "\"
  std::string dst;
  bool status = true;
  int failedLine = 0;  // the script line at which the current section failed, when it knows one
  std::vector<VersionWrite> pendingWrites;
  // Every file the run changed, set aside until the whole run has succeeded.
  std::unique_ptr<FileBackup> backup;
};

// "\" appended unless the directory already ends with one.
std::string withBackslash(std::string dir);

}  // namespace patch
