// rt::db::DbfTable: one open DBF table with its memo file: structure, the record buffer, record
// I/O, append, delete marks, pack, zap and the locks of shared use.
//
// States:
//   open exclusive  -- appended records are gathered and written in long runs, reads go through
//                      a mapping of the file; pending records are written on commit/close;
//                      no locks are needed; byte 14 of the header marks "write in progress" on
//                      disk from the first change until the next commit or close.
//   open shared     -- every record is read from the file when first needed after a move, and
//                      written through; a change needs the record or file lock. A write that
//                      changes no index entry is its memos (under the memo file's lock) and the
//                      record, nothing else. One that does runs under the index files' locks
//                      (listener): memos, mark in progress, record, index keys, unmark; the mark
//                      is guarded by the structural index's lock, or, without one, by the header
//                      lock. An append runs under the header lock and the index locks.
//   record buffer   -- clean (as on disk), or dirty (changed, maybe appended). A dirty buffer is
//                      written when the record pointer moves, on flush, commit and close: the one
//                      road to the disk. Before the first change of a clean buffer the listener is
//                      told (so it can take the record's old index keys); after the record reached
//                      the file it is told again (to write the new keys).
// A write-in-progress mark found on opening, with no writer alive, means an earlier writer died
// between record and index: interruptedWrite() is then true and indexes must be rebuilt.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <utility>
#include <vector>

#include "runtime/core/value.h"
#include "runtime/db/dbf_header.h"
#include "runtime/db/file.h"
#include "runtime/db/lock_scheme.h"
#include "runtime/db/memo_file.h"

namespace rt::db {

class DbfTable;

// Index maintenance hooks, installed by the work area that owns the table.
class RecordListener {
 public:
  virtual ~RecordListener() = default;
  // The clean buffer (still the old image) is about to change.
  virtual void beforeChange(DbfTable& table) = 0;
  // The buffer's record reached the file (appended: it is new). Runs under the index locks.
  virtual void afterWrite(DbfTable& table, bool appended) = 0;
  // Records were removed or renumbered (pack, zap): every index must be rebuilt.
  virtual void afterRestructure(DbfTable& table) = 0;
  // A write-in-progress mark left by a writer that died was found under the header lock: true
  // when nothing depends on the interrupted write (no indexes), so writing may go on.
  virtual bool toleratesInterruptedWrite(DbfTable& table) = 0;
  // The write-in-progress mark goes on the disk (on: before it is written) or came off it (after).
  virtual void writeInProgress(DbfTable&, bool /*on*/) {}
  // Shared use, before anything of a write reaches the file: takes the locks of the index files
  // that afterWrite will change. False when one was not granted within its wait (none is then
  // held, and the write does not start).
  virtual bool lockIndexes(DbfTable&) { return true; }
  virtual void unlockIndexes(DbfTable&) noexcept {}
  // Shared use, before a changed record is written: whether any index entry of it changes (a key,
  // or whether the record is in a tag at all). Only such a write takes the index locks and sets
  // the write-in-progress mark; any other reaches the file under its record lock alone.
  virtual bool indexesChange(DbfTable&) { return false; }
  // Whether the locks of lockIndexes are ones every writer of the table takes (the structural
  // index's, opened with the table by every process): they then serialise the write-in-progress
  // mark on their own. Otherwise the mark is set and checked under the table's header lock.
  virtual bool indexLocksGuardMark(DbfTable&) { return false; }
  // Whether the structural index's witness of a write in progress is on (read under the locks
  // that guard the mark, it tells of a writer that died, whatever the mark says).
  virtual bool writeWitnessed(DbfTable&) { return false; }
};

struct FieldSpec {
  std::string name;
  char type = 'C';
  uint32_t len = 0;
  uint8_t dec = 0;
};

class DbfTable {
 public:
  struct OpenOptions {
    bool shared = false;
    bool readOnly = false;
  };

  // Creates a table (and its FPT when it has memo fields). Widths of D, L and M are fixed
  // (8, 1, 10) whatever width a field asks for; a bad structure is rt::Error Argument naming the file.
  static void create(const std::string& path, const std::vector<FieldSpec>& fields,
                     uint8_t codePage = kCodePage852);
  // Opens; a shared/exclusive opening refused by another process is rt::Error NetErr.
  static std::unique_ptr<DbfTable> open(const std::string& path, OpenOptions options);

  ~DbfTable();
  DbfTable(const DbfTable&) = delete;
  DbfTable& operator=(const DbfTable&) = delete;
  // Writes what is pending and releases the file; errors are reported (the destructor swallows).
  void close();

  const std::string& path() const { return file_.path(); }
  std::string memoPath() const { return memo_ ? memo_->path() : std::string(); }
  bool shared() const { return shared_; }
  bool readOnly() const { return readOnly_; }
  const DbfHeader& header() const { return layout_.header; }
  size_t fieldCount() const { return layout_.fields.size(); }
  const FieldDescriptor& field(size_t i) const { return layout_.fields[i]; }
  const std::vector<FieldDescriptor>& fields() const { return layout_.fields; }
  int fieldIndex(std::string_view name) const;  // -1 when absent; case-insensitive
  bool interruptedWrite() const { return interrupted_; }
  // Our mark of a write in progress is on the disk now.
  bool markedInProgress() const { return inProgressOnDisk_; }
  void clearInterruptedWrite();

  void setListener(RecordListener* l) { listener_ = l; }
  // Marks in the header (byte 28) that a structural compound index exists, as FoxPro expects.
  void markStructuralIndex();

  // --- records ---
  uint32_t recCount() const { return recCount_; }
  // Re-reads the record count from the file (shared use; another process may have appended).
  void refresh();
  uint32_t recno() const { return recno_; }
  bool atPhantom() const { return recno_ == 0 || recno_ > recCount_; }
  // Flushes the buffer, then loads record n; n outside 1..recCount gives the phantom blank
  // record numbered recCount + 1.
  void goTo(uint32_t n);
  // Reloads the current record from the file (after a lock in shared use).
  void reload();
  // Shared use: while an index of the table is read, the header lock is held shared, so that no
  // writer of another process is half-way through its pages. Nested calls count; a writer that
  // holds the header lock reads under it. A lock not granted within about two seconds is
  // rt::Error Lock: the table is busy (nothing is read without the lock).
  void beginIndexRead();
  void endIndexRead() noexcept;
  // Shared use: whether a write-in-progress mark stands in the header now (one look at the mapped
  // header page): a writer of ours sets it before its record reaches the file and clears it after
  // its index changes were published.
  bool writeMarkSeen() const;
  // Whether the table lies on a local file system, whose page cache every process shares.
  bool onLocalDisk() const { return !file_.onNetwork(); }

  Value get(size_t field);
  void put(size_t field, const Value& v);
  bool deleted() const {
    ensureLoaded();
    return rec_[0] == '*';
  }
  void setDeleted(bool del);
  const uint8_t* recordBytes() const {
    ensureLoaded();
    return rec_.data();
  }
  bool dirty() const { return dirty_; }

  // Appends a blank record and makes it current; in shared use it is reserved on disk under the
  // header lock and left locked. Returns false when the header lock could not be had.
  bool append() { return append({}); }
  // The same with the record's fields given (field number, value): the new record reaches the
  // file whole in one write, so a process killed on the way leaves either no record or the whole
  // one, never a blank one counted. A value a field cannot hold is refused before anything is
  // written.
  bool append(const std::vector<std::pair<size_t, Value>>& values);
  // Writes a changed buffer (record, index keys through the listener, header).
  void flush();
  // Forgets the changes of the buffer that did not reach the file (a flush that failed): the
  // record reads as on disk again. An appended record keeps its place and stays blank.
  void discardChanges();
  // Exclusive use: writes the cached records (the write-in-progress mark stays).
  void flushData() { flushBlocks(); }
  // Exclusive use, before an index is rebuilt from the records: writes what is pending, marks the
  // table as a write in progress and makes records and mark durable, so that a power loss before
  // the new index is in place finds the old one flagged. The mark stays until commit or close.
  void markDurably();
  // flush + every cached block + header; the write-in-progress mark is cleared.
  void commit();
  // Calls fn for every record in record-number order with its bytes (pending writes included),
  // reading the file in large runs; the record buffer is not moved.
  void scan(const std::function<void(uint32_t recno, const uint8_t* record)>& fn);
  // Exclusive only: drop records marked deleted / every record. The new table is built beside the
  // old one and renamed over it, so a failure leaves the old table whole. PACK gives back the
  // memo blocks no live record uses.
  void pack();
  void zap();

  // --- locks (non-blocking; false when another process holds it) ---
  bool lockRecord(uint32_t n);
  void unlockRecord(uint32_t n);
  bool recordLocked(uint32_t n) const;
  const std::vector<uint32_t>& lockedRecords() const { return locks_; }
  bool lockFile();
  bool fileLocked() const { return fileLocked_; }
  // Where this table's locks sit (chosen at opening by whether it has a structural index).
  const LockScheme& locking() const { return scheme_; }
  void unlockAll();

 private:
  DbfTable(File f, DbfLayout layout, bool shared, bool readOnly);
  // The table file opened and holding its shared or exclusive open lock.
  static File openLocked(const std::string& path, OpenOptions options);
  void openMemo();
  void loadRecord(uint32_t n, uint8_t* out);
  void storeRecord(uint32_t n, const uint8_t* rec);
  void writeHeader(bool inProgress);
  void markInProgress();
  // Writes the buffered memos and record at recno_ and clears the dirty state; with `indexed`
  // under the mark of a write in progress, telling the listener (which writes the keys).
  void writeBufferedRecord(bool indexed);
  // Shared use, the index locks guarding the mark: takes the mark off (the header's other bytes,
  // the record count above all, belong to whoever holds the header lock).
  void unmarkInProgress();
  // Shared use: the header's date of last update made today's when it is not; every writer
  // writes the same bytes, so no lock is needed.
  void stampDate();
  // Under the lock that guards it a set write-in-progress mark means its writer died mid-write: the
  // indexes may be behind, which only a listener without indexes tolerates.
  void checkInterruptedWrite(const char* operation);
  void flushBlocks();
  void writePending();
  bool mapped(uint64_t end);
  void readAt(uint64_t off, void* out, size_t n);
  void writeAt(uint64_t off, const void* in, size_t n);
  void unmap() noexcept;
  uint32_t pendingCount() const { return uint32_t(pending_.size() / recLen_); }
  // Record n's bytes while it waits among the appends not yet written; nullptr otherwise.
  uint8_t* pendingRecord(uint32_t n) {
    if (n < pendingFirst_ || n >= pendingFirst_ + pendingCount()) return nullptr;
    return pending_.data() + size_t(n - pendingFirst_) * recLen_;
  }
  void requireWritable(const char* op);
  // Refuses a value a memo field cannot take, or a memo field without its memo file.
  void checkMemoValue(const FieldDescriptor& f, const Value& v) const;
  // Writes the texts into the memo file and their block numbers into the record image.
  void writeMemos(const std::unordered_map<size_t, std::string>& memos, uint8_t* rec);
  // Drops the file lock and every record lock in one call.
  void releaseLocks() noexcept;
  void prepareChange();
  bool takeHeaderLock();
  // Waits a little for the header lock (exclusive for a writer, shared for a reader), never
  // forever; false when it was not granted.
  bool waitForHeaderLock(bool exclusive);
  void releaseHeaderLock();
  // The record count as the file's header holds it now (shared use).
  uint32_t countOnDisk();
  // Gives back a header lock taken with takeHeaderLock when the scope ends (none: null).
  struct HeaderLockRelease {
    DbfTable* table;
    ~HeaderLockRelease() {
      if (table) table->releaseHeaderLock();
    }
  };
  // Shared use: the listener's index locks, given back when the scope ends; rt::Error Lock
  // (nothing written yet) when they were not granted.
  struct IndexLocks {
    DbfTable* table;
    ~IndexLocks() {
      if (table && table->listener_) table->listener_->unlockIndexes(*table);
    }
  };
  IndexLocks lockIndexes(const char* operation);
  void writeEofMark();
  // PACK and ZAP: a new table file beside this one holding this one's header (marked as a write
  // in progress); finishReplacement ends it with `records` records and syncs it,
  // installReplacement renames it over this one, adoptReplacement makes it this table's file.
  File createReplacement();
  void dropReplacement(File& fresh) noexcept;
  void finishReplacement(File& fresh, uint32_t records);
  void installReplacement(File fresh, uint32_t records);
  void adoptReplacement(File fresh, uint32_t records);
  uint64_t recordOffset(uint32_t n) const { return layout_.header.headerLen + uint64_t(n - 1) * recLen_; }

  File file_;
  DbfLayout layout_;
  std::optional<MemoFile> memo_;
  bool shared_, readOnly_;
  uint32_t recLen_;
  uint32_t recCount_ = 0;       // records known to exist
  uint32_t diskCount_ = 0;      // record count as last written to the header
  uint32_t recno_ = 0;
  // In shared use a move only notes the record number; the bytes are read when first needed.
  void ensureLoaded() const {
    if (!loaded_) const_cast<DbfTable*>(this)->loadCurrent();
  }
  void loadCurrent();
  mutable bool loaded_ = true;
  std::vector<uint8_t> rec_, blank_;
  bool dirty_ = false, appended_ = false;
  std::unordered_map<size_t, std::string> pendingMemos_;  // field -> text, written on flush
  // Names asked for, as asked, and their field (-1: none): a record is read field by field by
  // name many times over, and the fields never change while the table is open.
  mutable std::unordered_map<std::string, int> fieldIndexOf_;
  RecordListener* listener_ = nullptr;
  bool interrupted_ = false;
  bool inProgressOnDisk_ = false;
  LockScheme scheme_;
  std::vector<uint32_t> locks_;
  bool fileLocked_ = false;
  int headerLockDepth_ = 0;
  int indexReadDepth_ = 0;
  bool indexReadLocked_ = false;
  uint8_t headBytes_[32] = {};  // the file header as last read or written

  // Exclusive use: appended records gathered and written in runs; reads through a mapping.
  uint32_t fileRecs_ = 0;  // records physically in the file
  std::vector<uint8_t> pending_;
  uint32_t pendingFirst_ = 0;
  uint8_t* map_ = nullptr;
  size_t mapLen_ = 0;
};

}  // namespace rt::db
