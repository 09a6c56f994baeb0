// rt::db::File: the one seam between the table engine and the disk.
//
// An owned descriptor (closed by the destructor, which never throws), reads and writes of exact
// lengths at given offsets, size, truncate and sync, whole-file shared/exclusive flock for the
// shared/exclusive opening of a table, and byte-range locks taken as open-file-description locks
// (F_OFD_SETLK), so closing another descriptor of the same file drops none of them. Every lock
// call is non-blocking: a lock held elsewhere is refused at once, never waited for.
//
// Failures are rt::Error naming the file. Tests may inject write failures through setWriteFault().
#pragma once

#include <sys/types.h>

#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

namespace rt::db {

class File {
 public:
  enum class Access { ReadOnly, ReadWrite };

  File() = default;
  ~File();
  File(File&& other) noexcept;
  File& operator=(File&& other) noexcept;
  File(const File&) = delete;
  File& operator=(const File&) = delete;

  // Opens an existing file; rt::Error(Open) naming it when that fails.
  static File open(const std::string& path, Access access = Access::ReadWrite);
  // Creates (or empties) a file for reading and writing; rt::Error(Create) when that fails.
  static File create(const std::string& path);

  bool isOpen() const { return fd_ >= 0; }
  int fd() const { return fd_; }
  const std::string& path() const { return path_; }
  bool readOnly() const { return readOnly_; }
  void close() noexcept;

  // Reads exactly n bytes at off; a file too short is rt::Error(Corrupt) "truncated" naming it.
  void readExact(uint64_t off, void* buf, size_t n) const;
  // Reads up to n bytes at off (fewer only at the end of the file); returns the count.
  size_t readSome(uint64_t off, void* buf, size_t n) const;
  // Writes exactly n bytes at off; a short or failed write is rt::Error(Write) naming the file.
  void writeExact(uint64_t off, const void* buf, size_t n);

  // The same for the file's first page, which is mapped shared on first use: the table and index
  // headers that every locked write reads and rewrites then cost no system call. The mapping and
  // other processes' pread/pwrite share the page cache, so both see the same bytes at once.
  // Bytes past the part of the file that existed when it was mapped go through pread/pwrite, and so
  // does every byte of a file on a network file system.
  void readHead(uint64_t off, void* buf, size_t n) const;
  void writeHead(uint64_t off, const void* buf, size_t n);

  // True for a file on a network file system (NFS, SMB/CIFS), found when it was opened: there
  // another workstation's writes reach this machine's page cache only through the locks, so nothing
  // may trust what the cache holds without them.
  bool onNetwork() const { return network_; }
  // Test seam: files opened from now on count as network files (or not, again).
  static void setTreatAsNetwork(bool on);

  uint64_t size() const;
  void truncate(uint64_t length);
  void sync();
  // Renames the file over `newPath` (an existing file there is replaced in one step) and takes
  // that name; rt::Error(Write) naming the file when it fails.
  void renameTo(const std::string& newPath);
  static void rename(const std::string& from, const std::string& to);
  static bool exists(const std::string& path);
  // The directory part of `path` ("." when it has none).
  static std::string directoryOf(const std::string& path);
  // The last part of `path`, past its directory.
  static std::string nameOf(const std::string& path);
  // `path` without the extension of its last part (the base name companion files share).
  static std::string withoutExtension(const std::string& path);
  // Makes the renames and creations done in the directory of `path` durable.
  static void syncDirectoryOf(const std::string& path);
  // True when this descriptor's file is the one `path` names now (not one renamed over since).
  bool isAt(const std::string& path) const;
  // A name for a new file beside the file `path` stands for (same directory, so a rename can
  // replace it; see replacementTarget), unique to this process.
  static std::string siblingTemporary(const std::string& path);
  // The process id in the ".<pid>.tmp" end that siblingTemporary gives a name; none when
  // `suffix` is not such an end.
  static std::optional<pid_t> temporaryPid(std::string_view suffix);

  // Replacing a live file by a new one renamed over it (PACK, ZAP, REINDEX, a restored copy).
  // A live name that is a symbolic link stands for the file it points to: the replacement goes over
  // that file and the link stays a link. The new file takes the replaced file's mode, and its
  // owner and group where this process may give them, so that the other users of a shared
  // directory keep their rights. `fresh` must lie in the target's directory (siblingTemporary).
  static std::string replacementTarget(const std::string& livePath);
  static void putInPlace(const std::string& fresh, const std::string& livePath);
  // The same for this descriptor's file, which then goes by the live name.
  void replace(const std::string& livePath);

  // Whole-file flock, non-blocking: false when another opening holds a conflicting lock.
  bool lockShared();
  bool lockExclusive();

  // Byte-range lock, non-blocking: false when another opening holds a conflicting one.
  bool lockRange(uint64_t off, uint64_t len, bool exclusive = true);
  void unlockRange(uint64_t off, uint64_t len) noexcept;
  // The same for a lock others hold only for the moment of a write (a header, index or memo
  // lock): waits about two seconds at most, never forever; false when it was not granted.
  bool lockRangeWaiting(uint64_t off, uint64_t len, bool exclusive = true);

  // Test seam: called before every write with the file, offset and length, and before every
  // rename with the new name, offset 0 and length 0; a nonzero return is taken as the errno of a
  // failed write. Pass an empty function to remove it.
  using WriteFault = std::function<int(const std::string& path, uint64_t off, size_t len)>;
  static void setWriteFault(WriteFault fault);
  // Test seam: called after every sync of a file (sync) or a directory (syncDirectoryOf) with its
  // path, so that a test can tell which writes a power loss would keep.
  using SyncObserver = std::function<void(const std::string& path)>;
  static void setSyncObserver(SyncObserver observer);

 private:
  File(int fd, std::string path, bool readOnly);
  // The mapped first page, or null; headLen_ bytes of it lie inside the file.
  uint8_t* head(uint64_t off, size_t n) const;
  void unmapHead() noexcept;
  void checkWriteFault(uint64_t off, size_t n) const;

  int fd_ = -1;
  std::string path_;
  bool readOnly_ = false;
  bool network_ = false;
  mutable uint8_t* head_ = nullptr;
  mutable size_t headLen_ = 0;
  mutable bool headTried_ = false;
};

}  // namespace rt::db
