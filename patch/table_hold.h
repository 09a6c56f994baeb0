// An exclusive hold of a table taken as a table's exclusive opening takes it, for the time the
// installer writes its files outside the table layer (a restore, a copy over it). A table one of
// this process's work areas has open is held already; a table that does not exist needs no hold.
#pragma once

#include <string>

#include "runtime/db/file.h"

namespace patch {

class TableHold {
 public:
  explicit TableHold(const std::string& table);  // the table file (a Linux path)
  bool held() const { return held_; }

 private:
  rt::db::File file_;
  bool held_ = true;
};

// The table a file belongs to: the table file of the same name beside it (any letter case of
// "dbf"), or the file itself when there is none.
std::string tableOf(const std::string& file);

}  // namespace patch
