// rt::db::SwapJournal: several finished files put in place of live ones as one step.
//
// A rename replaces one file at once, but PACK must replace a table and its memo file together:
// a table paired with the other's memo file would show memos at the wrong records. So the new
// files are first written and synced under temporary names in the table's directory; then a
// journal beside the table names each new file and the live file it replaces, and is synced;
// only then are the files renamed, and the journal removed last. A process killed between the
// renames leaves the journal, and the next opening of the table finishes the renames (the files
// it names are whole, as they were synced before it was written).
//
// Journal ("<table>.swap", ASCII):   SWAP / one line "<new name><TAB><live name>" per file / END
// The live names are plain names in the table's directory; a new file's name is its live name
// with the suffix ".<pid>.tmp", and it lies beside the file the live name stands for (a symbolic
// link's target, see File::replacementTarget).
#pragma once

#include <string>
#include <utility>
#include <vector>

namespace rt::db {

class SwapJournal {
 public:
  // A new file (already synced) and the live file it replaces, both full paths in one directory.
  struct Move {
    std::string from, to;
  };

  static std::string pathFor(const std::string& tablePath);
  // The files a PACK puts in place: the table and its memo file (the table's base name with .fpt
  // or .dbt, in either letter case).
  static std::vector<std::string> packedFiles(const std::string& tablePath);

  // Writes and syncs the journal for `moves`. Nothing is renamed yet.
  static SwapJournal begin(const std::string& tablePath, std::vector<Move> moves);
  // The renames are done: removes the journal.
  void end();

  // Finishes a swap whose process died between its renames. The caller holds the table's open
  // lock, so the process that wrote the journal is gone. True when files were renamed (the table
  // just opened is then an old file and must be opened again). A damaged journal, or one naming
  // files other than the table and its memo file, each from its own temporary, is rt::Error Corrupt
  // naming the journal, and nothing is renamed; one being finished by another process at the
  // moment is rt::Error NetErr.
  static bool finishInterrupted(const std::string& tablePath);

 private:
  explicit SwapJournal(std::string path) : path_(std::move(path)) {}
  std::string path_;
};

}  // namespace rt::db
