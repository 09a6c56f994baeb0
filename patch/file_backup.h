// Copies of files set aside before a migration group changes them, put back when the group
// fails, so that a failed update leaves the user's tables as they were.
//
// Each file is saved once (the first state counts). A file that did not exist is remembered as
// absent and removed again on restore. The copies live in a private temporary directory that is
// removed when the backup goes.
#pragma once

#include <string>
#include <vector>

namespace patch {

class FileBackup {
 public:
  FileBackup();
  ~FileBackup();
  FileBackup(const FileBackup&) = delete;
  FileBackup& operator=(const FileBackup&) = delete;

  // Saves a file (a Linux path). Throws rt::Error when the copy cannot be made.
  void save(const std::string& path);
  // Saves a table: the table file, its memo file and its structural index, when present
  // (any letter case of the extensions).
  void saveTable(const std::string& tablePath);
  // Puts every saved file back as it was; returns false when one could not be put back.
  bool restore();

 private:
  struct Saved {
    std::string path;
    std::string copy;  // empty: the file did not exist
  };
  std::string dir_;
  std::vector<Saved> saved_;
};

}  // namespace patch
