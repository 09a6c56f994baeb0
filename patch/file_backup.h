// Copies of the files an update changes, kept until the whole update has succeeded and put back
// when any part of it fails, so that a failed update leaves the user's tables as they were.
//
// The copies live in a directory inside the installed system (kBackupDir), beside a journal that
// names every saved file, written before the file is changed. A run killed half way leaves the
// journal behind; the next run puts those files back before it does anything else. The journal's
// removal is the moment the update counts as done: the copies go only after it, so a run killed
// at any point of its end leaves either the journal with every copy, or no journal at all.
//
// Each file is saved once (the first state counts). A file that did not exist is remembered as
// absent and removed again on restore. Every file belongs to a table (its "lock file", the DBF):
// a table is put back only under an exclusive hold of it, either the one this run's open work area
// has or one taken for the restore, so a table another program has open is never written over.
// When a group ends, the size and modification time of its files are noted in the journal: a
// restart does not put back a table that was changed after the run stopped.
//
// Journal lines: lock file, file, copy number (empty: the file did not exist), and once noted,
// size and modification time in nanoseconds, separated by tabs. A later line of a file replaces
// the earlier one.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace patch {

inline constexpr const char* kBackupDir = "UZUP_KOP";
inline constexpr const char* kJournalFile = "DZIENNIK.TXT";

class FileBackup {
 public:
  // A table that could not be put back, and why.
  struct Left {
    std::string table;
    std::string cause;  // the user's text of the cause
    bool held = false;  // another program holds the table
  };

  // What a restart found in the journal of an earlier run and did about it.
  struct Recovery {
    int restored = 0;                  // files put back
    std::vector<Left> left;            // tables that stay for the next run
    std::vector<std::string> dropped;  // files whose directory no longer exists
    std::vector<std::string> changed;  // tables changed after the run stopped: nothing touched
    std::string badLine;               // a journal line refused: nothing touched
  };

  // `dir`: the backup directory (a Linux path) inside the installed system; created with the
  // first file saved.
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
  // A group has let its tables go: the size and time of every file saved or changed since are
  // noted in the journal. Throws rt::Error when the journal cannot be written.
  void noteGroupEnd();
  // Puts every saved file back. A table that can be held neither by this process's work areas
  // nor by a new exclusive hold, or whose files cannot be put back, keeps its copies and its
  // journal lines for the next run. Returns those tables (empty: all back, copies removed).
  std::vector<Left> restore();
  // The update succeeded: the journal goes (the update's commit), then the copies. False when
  // the journal could not be removed (the copies then stay, and so does the update's undo).
  bool discard();
  bool empty() const { return saved_.empty(); }
  std::string journalName() const { return journalName(dir_); }
  // The journal of the backup directory `dir`.
  static std::string journalName(const std::string& dir) { return dir + "/" + kJournalFile; }

  // A journal left by an earlier run that did not finish (the caller holds the installed system).
  // Every line is checked first: a file outside the installed system and the update directory
  // `updateDir`, or a copy field that is not a copy number, refuses the whole journal; a file
  // whose directory is gone is dropped; a table changed since it was noted stops the restart.
  // Nothing is touched in those cases; otherwise the files are put back.
  static Recovery recoverUnfinished(const std::string& dir, const std::string& updateDir);

 private:
  struct Saved {
    std::string lockFile;
    std::string path;
    std::string copy;  // name in the backup directory; empty: the file did not exist
    bool noted = false;
    uint64_t size = 0;
    int64_t mtime = 0;  // nanoseconds
  };
  void openJournal();
  void appendJournal(const std::string& lines);
  void rewriteJournal();
  static std::string journalLine(const Saved& s);

  friend void restoreRun(FileBackup& backup);

  std::string dir_;
  bool leftShown_ = false;  // this run already named the tables a restore left
  int journal_ = -1;  // descriptor the journal's lines are appended through
  std::vector<Saved> saved_;
  int next_ = 0;
};

// Puts back everything the run set aside; names the tables that stay for the next run, with the
// cause, the first time a restore of this run leaves any.
void restoreRun(FileBackup& backup);
// After a failure: everything set aside goes back while the run still holds its tables, then
// every work area is closed, its writes no longer mattering.
void restoreRunAndCloseAreas(FileBackup& backup);

// Two lines for each table left: its path, and the cause indented.
void addLeftLines(std::vector<std::string>& lines, const std::vector<FileBackup::Left>& left);

}  // namespace patch
