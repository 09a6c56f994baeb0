// Copies of the files an update changes, kept until the whole update has succeeded and put back
// when any part of it fails, so that a failed update leaves the user's tables as they were.
//
// The copies live in a directory inside the installed system (kBackupDir), beside a journal that
// names every saved file, written before the file is changed. A run killed half way leaves the
// journal behind; the next run puts those files back before it does anything else. While a run
// holds the journal (a whole-file lock), a second installer refuses to touch the system.
//
// Each file is saved once (the first state counts). A file that did not exist is remembered as
// absent and removed again on restore. Every file belongs to a table (its "lock file", the DBF):
// a table is put back only under an exclusive hold of it, either the one this run's open work area
// has or one taken for the restore, so a table another program has open is never written over.
#pragma once

#include <string>
#include <vector>

namespace patch {

inline constexpr const char* kBackupDir = "UZUP_KOP";
inline constexpr const char* kJournalFile = "DZIENNIK.TXT";

class FileBackup {
 public:
  // `dir`: the backup directory (a Linux path); created with the first file saved.
  explicit FileBackup(std::string dir);
  ~FileBackup();
  FileBackup(const FileBackup&) = delete;
  FileBackup& operator=(const FileBackup&) = delete;

  // Saves a file (a Linux path) that belongs to the table `lockFile` (the file itself when
  // empty). Throws rt::Error when the copy or the journal cannot be written.
  void save(const std::string& path, const std::string& lockFile = "");
  // Saves a table held exclusively by this run: the table file, its memo file and its structural
  // index (any letter case of the extensions; an absent one is removed again on restore).
  void saveTable(const std::string& tablePath);
  // Puts every saved file back. A table that can be held neither by this process's work areas
  // nor by a new exclusive hold keeps its copy and its journal line for the next run. Returns
  // the paths of the tables that could not be put back (empty: all back, copies removed).
  std::vector<std::string> restore();
  // The update succeeded: the copies and the journal go.
  void discard();
  bool empty() const { return saved_.empty(); }

  // A journal left by an earlier run that did not finish. Returns false when another installer
  // holds it (nothing is touched). Otherwise puts its files back: `restored` gets how many files,
  // `left` the tables that could not be put back (their journal stays).
  static bool recoverUnfinished(const std::string& dir, int& restored, std::vector<std::string>& left);

 private:
  struct Saved {
    std::string lockFile;
    std::string path;
    std::string copy;  // name in the backup directory; empty: the file did not exist
  };
  void openJournal();
  void appendJournal(const Saved& s);
  void rewriteJournal();

  std::string dir_;
  int journal_ = -1;  // descriptor holding the journal's lock
  std::vector<Saved> saved_;
  int next_ = 0;
};

// Puts back everything the run set aside; names the tables that stay for the next run.
void restoreRun(FileBackup& backup);

}  // namespace patch
