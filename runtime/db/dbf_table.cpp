// DbfTable: record buffer, cached (exclusive) or write-through (shared) record I/O, locks.
#include "runtime/db/dbf_table.h"

#include <sys/mman.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstring>
#include <ctime>

#include "runtime/core/names.h"
#include "runtime/core/error.h"
#include "runtime/db/field_codec.h"
#include "runtime/db/leftovers.h"
#include "runtime/db/lock_scheme.h"
#include "runtime/db/swap_journal.h"

namespace rt::db {

namespace {

constexpr size_t kInProgressByte = 14;  // dBASE's "incomplete transaction" byte
constexpr size_t kPendingBytes = 1u << 20;  // appended records written in runs of this size

// The memo file beside a table: same base name, extension matching the table's letter case.
std::string memoPathFor(const std::string& dbf, const char* ext) {
  const std::string base = File::withoutExtension(dbf);
  const size_t dot = base.size();
  std::string lower = std::string(".") + ext, upper = lower;
  for (auto& c : upper) c = char(std::toupper(static_cast<unsigned char>(c)));
  bool upperTable = dot + 1 < dbf.size() && std::isupper(static_cast<unsigned char>(dbf[dot + 1]));
  std::string first = base + (upperTable ? upper : lower), second = base + (upperTable ? lower : upper);
  if (File::exists(first)) return first;
  if (File::exists(second)) return second;
  return first;
}

void today(int& y, int& m, int& d) {
  std::time_t t = std::time(nullptr);
  std::tm tm{};
  localtime_r(&t, &tm);
  y = tm.tm_year + 1900;
  m = tm.tm_mon + 1;
  d = tm.tm_mday;
}

}  // namespace

void DbfTable::create(const std::string& path, const std::vector<FieldSpec>& specs, uint8_t codePage) {
  auto bad = [&](const std::string& what) { throw Error(ErrorKind::Argument, "Argument error: " + what, "DBCREATE", path); };
  if (specs.empty()) bad("a table needs at least one field");
  DbfLayout layout;
  bool memo = false;
  for (const auto& s : specs) {
    FieldDescriptor f;
    f.name = s.name;
    while (!f.name.empty() && f.name.back() == ' ') f.name.pop_back();
    for (auto& c : f.name) c = char(std::toupper(static_cast<unsigned char>(c)));
    if (f.name.empty() || f.name.size() > 10) bad("field name \"" + s.name + "\" must have 1 to 10 characters");
    for (auto& g : layout.fields)
      if (g.name == f.name) bad("field " + f.name + " given twice");
    f.type = char(std::toupper(static_cast<unsigned char>(s.type)));
    f.len = s.len;
    f.dec = s.dec;
    switch (f.type) {
      case 'C':
        f.dec = 0;
        if (f.len < 1 || f.len > 65500) bad("field " + f.name + ": width out of range");
        break;
      case 'N':
      case 'F':
        if (f.len < 1 || f.len > 20 || (f.dec > 0 && uint32_t(f.dec) + 2 > f.len)) bad("field " + f.name + ": width out of range");
        break;
      case 'D': f.len = 8; f.dec = 0; break;
      case 'L': f.len = 1; f.dec = 0; break;
      case 'M': f.len = 10; f.dec = 0; memo = true; break;
      default: bad("field " + f.name + ": unknown type " + std::string(1, s.type));
    }
    layout.fields.push_back(f);
  }
  layout.header.version = memo ? kDbfFoxProMemo : kDbfPlain;
  layout.header.codePage = codePage;
  layout.header.flags = memo ? kFlagMemo : 0;
  today(layout.header.year, layout.header.month, layout.header.day);
  layout.layOut();
  if (layout.fields.size() > 2046) bad("too many fields");
  uint64_t total = 1;
  for (auto& f : layout.fields) total += f.len;
  if (total > 65500) bad("record too long");
  auto bytes = layout.encode();
  bytes.push_back(0x1A);
  {
    File f = File::create(path);
    f.writeExact(0, bytes.data(), bytes.size());
  }
  if (memo) MemoFile::create(memoPathFor(path, "fpt"));
}

File DbfTable::openLocked(const std::string& path, OpenOptions options) {
  for (int attempt = 1;; ++attempt) {
    File f = File::open(path, options.readOnly ? File::Access::ReadOnly : File::Access::ReadWrite);
    bool locked = options.shared ? f.lockShared() : f.lockExclusive();
    if (!locked)
      throw Error(ErrorKind::NetErr, options.shared ? "Open error: the table is in exclusive use"
                                                    : "Open error: the table is in use", "open", path, EWOULDBLOCK, true);
    // Holding the lock we know no PACK of another process is under way: a journal left beside the
    // table is one whose process died, and its renames are finished here; then the temporary
    // files of dead processes go. A file renamed over the name between our open and our lock (a
    // PACK, ZAP or REINDEX ending) is opened again.
    if (!SwapJournal::finishInterrupted(path) && f.isAt(path)) {
      removeLeftovers(path);
      return f;
    }
    if (attempt == 5)
      throw Error(ErrorKind::NetErr, "Open error: the table is being replaced", "open", path, EWOULDBLOCK, true);
  }
}

std::unique_ptr<DbfTable> DbfTable::open(const std::string& path, OpenOptions options) {
  File f = openLocked(path, options);
  uint8_t head[32] = {};
  if (f.readSome(0, head, 32) < 32)
    throw Error(ErrorKind::Corrupt, "Corruption detected: file too short for a table header", "open", path)
        .because(ErrorCause::Truncated);
  uint16_t headerLen = uint16_t(head[8] | head[9] << 8);
  std::vector<uint8_t> region(std::max<size_t>(headerLen, 32));
  size_t got = f.readSome(0, region.data(), region.size());
  region.resize(got);
  // The size after the header: another process appending meanwhile writes a record before it
  // counts it, so the count read is never ahead of the size read after it.
  uint64_t size = f.size();
  DbfLayout layout = DbfLayout::decode(region, size, path);
  std::unique_ptr<DbfTable> t(new DbfTable(std::move(f), std::move(layout), options.shared, options.readOnly));
  std::memcpy(t->headBytes_, head, 32);
  t->scheme_ = lockSchemeFor((head[28] & kFlagStructuralCdx) != 0 || File::exists(memoPathFor(path, "cdx")));
  t->openMemo();
  if (head[kInProgressByte] == 1) {
    // Trust the mark only when no live writer can be holding the header lock.
    if (!t->shared_) t->interrupted_ = true;
    else if (t->file_.lockRange(t->scheme_.header().offset, 1)) {
      uint8_t b = 0;
      t->file_.readExact(kInProgressByte, &b, 1);
      t->interrupted_ = b == 1;
      t->file_.unlockRange(t->scheme_.header().offset, 1);
    }
  }
  t->goTo(1);
  return t;
}

DbfTable::DbfTable(File f, DbfLayout layout, bool shared, bool readOnly)
    : file_(std::move(f)), layout_(std::move(layout)), shared_(shared), readOnly_(readOnly) {
  recLen_ = layout_.header.recordLen;
  recCount_ = diskCount_ = layout_.header.recCount;
  blank_.assign(recLen_, ' ');
  for (auto& fd : layout_.fields) blankField(fd, blank_.data());
  rec_ = blank_;
  fileRecs_ = recCount_;
}

void DbfTable::openMemo() {
  bool anyMemo = std::any_of(layout_.fields.begin(), layout_.fields.end(), [](auto& f) { return f.isMemo(); });
  if (!anyMemo) return;
  auto access = readOnly_ ? File::Access::ReadOnly : File::Access::ReadWrite;
  uint8_t v = layout_.header.version;
  if (v == 0x83) memo_.emplace(MemoFile::open(memoPathFor(path(), "dbt"), MemoFile::Kind::Dbt3, access));
  else if (v == 0x8B || v == 0xCB) memo_.emplace(MemoFile::open(memoPathFor(path(), "dbt"), MemoFile::Kind::Dbt4, access));
  else memo_.emplace(MemoFile::open(memoPathFor(path(), "fpt"), MemoFile::Kind::Fpt, access));
  memo_->setShared(shared_);
}

DbfTable::~DbfTable() {
  try {
    close();
  } catch (...) {
    // Already reported to whoever called close(); a destructor must not throw.
  }
}

void DbfTable::close() {
  if (!file_.isOpen()) return;
  try {
    flush();
    if (!shared_ && !readOnly_) {
      flushBlocks();
      if (inProgressOnDisk_) writeHeader(false);
    }
  } catch (...) {
    releaseLocks();
    unmap();
    file_.close();
    memo_.reset();
    throw;
  }
  releaseLocks();
  unmap();
  file_.close();
  memo_.reset();
}

int DbfTable::fieldIndex(std::string_view name) const {
  while (!name.empty() && name.back() == ' ') name.remove_suffix(1);
  std::string key(name);
  if (auto it = fieldIndexOf_.find(key); it != fieldIndexOf_.end()) return it->second;
  int found = -1;
  for (size_t i = 0; i < layout_.fields.size() && found < 0; ++i)
    if (sameName(layout_.fields[i].name, name)) found = int(i);  // field names are ASCII, as every name of the runtime
  if (fieldIndexOf_.size() >= 512) fieldIndexOf_.clear();  // names built at run time stay few
  fieldIndexOf_.emplace(std::move(key), found);
  return found;
}

void DbfTable::markStructuralIndex() {
  if (readOnly_ || (headBytes_[28] & kFlagStructuralCdx)) return;
  headBytes_[28] |= kFlagStructuralCdx;
  layout_.header.flags = headBytes_[28];
  file_.writeExact(28, &headBytes_[28], 1);
  // From now on other engines open it as a table with a structural index.
  if (locks_.empty() && !fileLocked_ && headerLockDepth_ == 0 && indexReadDepth_ == 0) scheme_ = lockSchemeFor(true);
}

void DbfTable::clearInterruptedWrite() {
  interrupted_ = false;
  if (!readOnly_) writeHeader(false);
}

// --- record I/O ---

uint32_t DbfTable::countOnDisk() {
  uint8_t b[4];
  file_.readHead(4, b, 4);
  return uint32_t(b[0]) | uint32_t(b[1]) << 8 | uint32_t(b[2]) << 16 | uint32_t(b[3]) << 24;
}

void DbfTable::refresh() {
  if (!shared_) return;
  const uint32_t n = countOnDisk();
  if (n != recCount_ && recordOffset(n + 1) > file_.size())
    throw Error(ErrorKind::Corrupt, "Corruption detected: file is truncated", "read", path())
        .because(ErrorCause::Truncated);
  recCount_ = diskCount_ = n;
}

void DbfTable::unmap() noexcept {
  if (map_) {
    ::munmap(map_, mapLen_);
    map_ = nullptr;
    mapLen_ = 0;
  }
}

// Exclusive use reads records through a read-only shared mapping of the file (coherent with our
// own pwrite calls); it is made, or grown, when a read reaches past it.
bool DbfTable::mapped(uint64_t end) {
  if (end <= mapLen_) return true;
  unmap();
  uint64_t size = file_.size();
  if (size < end || size == 0) return false;
  // Exclusive use reads the whole file at once and writes with pwrite (coherent with the map).
  void* p = ::mmap(nullptr, size, PROT_READ, MAP_SHARED | MAP_POPULATE, file_.fd(), 0);
  if (p == MAP_FAILED) return false;
  map_ = static_cast<uint8_t*>(p);
  mapLen_ = size;
  return true;
}

// Shared use reads and writes with pread/pwrite: faulting pages of a mapping in at random costs
// more than the calls it saves.
void DbfTable::readAt(uint64_t off, void* out, size_t n) { file_.readExact(off, out, n); }

void DbfTable::writeAt(uint64_t off, const void* in, size_t n) {
  requireWritable("write");
  file_.writeExact(off, in, n);
}

void DbfTable::loadRecord(uint32_t n, uint8_t* out) {
  if (shared_) {
    readAt(recordOffset(n), out, recLen_);
    return;
  }
  if (const uint8_t* waiting = pendingRecord(n)) {
    std::memcpy(out, waiting, recLen_);
    return;
  }
  if (n > fileRecs_) {  // appended, not stored yet
    std::memcpy(out, blank_.data(), recLen_);
    return;
  }
  const uint64_t off = recordOffset(n);
  if (mapped(off + recLen_)) std::memcpy(out, map_ + off, recLen_);
  else file_.readExact(off, out, recLen_);
}

void DbfTable::storeRecord(uint32_t n, const uint8_t* rec) {
  if (shared_) {
    writeAt(recordOffset(n), rec, recLen_);
    return;
  }
  if (uint8_t* waiting = pendingRecord(n)) {
    std::memcpy(waiting, rec, recLen_);
    return;
  }
  const uint32_t pc = pendingCount();
  const uint32_t next = pc ? pendingFirst_ + pc : fileRecs_ + 1;
  if (n == next) {
    if (!pc) pendingFirst_ = n;
    pending_.insert(pending_.end(), rec, rec + recLen_);
    if (pending_.size() >= kPendingBytes) writePending();
    return;
  }
  writePending();  // the file stays contiguous before anything is written past it
  file_.writeExact(recordOffset(n), rec, recLen_);
  fileRecs_ = std::max(fileRecs_, n);
}

void DbfTable::writePending() {
  if (pending_.empty()) return;
  const uint32_t pc = pendingCount();
  file_.writeExact(recordOffset(pendingFirst_), pending_.data(), pending_.size());
  fileRecs_ = std::max(fileRecs_, pendingFirst_ + pc - 1);
  pending_.clear();
}

void DbfTable::flushBlocks() {
  if (shared_ || readOnly_) return;
  const bool any = !pending_.empty();
  writePending();
  if (any || recCount_ != diskCount_) {
    writeEofMark();
    diskCount_ = recCount_;
    writeHeader(inProgressOnDisk_);
  }
}

void DbfTable::writeEofMark() {
  uint8_t eof = 0x1A;
  file_.writeExact(recordOffset(recCount_ + 1), &eof, 1);
}

void DbfTable::writeHeader(bool inProgress) {
  DbfHeader& h = layout_.header;
  if (shared_) {
    // We hold the header lock. Another process may have appended since we last read the count:
    // in shared use the count on disk never goes back, or its records would be cut off and
    // written over by the next append.
    const uint32_t onDisk = countOnDisk();
    if (onDisk > recCount_) recCount_ = diskCount_ = onDisk;
  }
  h.recCount = shared_ ? recCount_ : diskCount_;
  today(h.year, h.month, h.day);
  // Only the bytes we own change (version, date, count, lengths, the mark); the rest of the
  // header keeps what was read at opening.
  uint8_t mine[32];
  h.encode(std::span<uint8_t, 32>(mine, 32));
  if (inProgress && listener_) listener_->writeInProgress(*this, true);
  const bool unmarking = !inProgress && inProgressOnDisk_;
  std::memcpy(headBytes_, mine, 12);
  headBytes_[kInProgressByte] = inProgress ? 1 : 0;
  if (shared_) {
    requireWritable("write");
    // The witness goes first: in shared use it tells of an interrupted write by itself (see
    // checkInterruptedWrite), and the keys are all in by now.
    if (unmarking && listener_) listener_->writeInProgress(*this, false);
    file_.writeHead(0, headBytes_, 32);
  } else {
    file_.writeExact(0, headBytes_, 32);
    if (unmarking && listener_) listener_->writeInProgress(*this, false);
  }
  inProgressOnDisk_ = inProgress;
}

void DbfTable::markInProgress() {
  if (inProgressOnDisk_) return;
  if (listener_) listener_->writeInProgress(*this, true);
  uint8_t one = 1;
  if (shared_) {
    requireWritable("write");
    file_.writeHead(kInProgressByte, &one, 1);
  } else {
    file_.writeExact(kInProgressByte, &one, 1);
  }
  inProgressOnDisk_ = true;
}

void DbfTable::goTo(uint32_t n) {
  flush();
  if (shared_ && n > recCount_) refresh();  // another process may have appended
  if (n >= 1 && n <= recCount_) {
    recno_ = n;
    if (shared_) loaded_ = false;
    else loadRecord(n, rec_.data());
  } else {
    rec_ = blank_;
    recno_ = recCount_ + 1;
    loaded_ = true;
  }
  if (!pendingMemos_.empty()) pendingMemos_.clear();
}

void DbfTable::loadCurrent() {
  loaded_ = true;
  loadRecord(recno_, rec_.data());
}

void DbfTable::reload() {
  if (dirty_) return;
  if (shared_) refresh();
  goTo(recno_);
}

Value DbfTable::get(size_t i) {
  const FieldDescriptor& f = layout_.fields.at(i);
  ensureLoaded();
  if (f.isMemo()) {
    auto it = pendingMemos_.find(i);
    if (it != pendingMemos_.end()) return Value::text(it->second);
    if (!memo_) return Value::text("");
    return Value::text(memo_->read(readMemoBlock(f, rec_.data())));
  }
  return readFieldValue(f, rec_.data());
}

void DbfTable::requireWritable(const char* op) {
  if (readOnly_)
    throw Error(ErrorKind::Write, "Write error: the table is open read-only", op, path()).because(ErrorCause::ReadOnly);
}

void DbfTable::prepareChange() {
  requireWritable("write");
  if (shared_ && !appended_ && !fileLocked_ && !recordLocked(recno_))
    throw Error(ErrorKind::Lock, "Lock required", "write", path()).because(ErrorCause::LockNeeded);
  if (!dirty_ && listener_) listener_->beforeChange(*this);
  dirty_ = true;
}

void DbfTable::checkMemoValue(const FieldDescriptor& f, const Value& v) const {
  if (!v.isChar()) throw Error(ErrorKind::Argument, "Data type error", f.name, path());
  if (!memo_) throw Error(ErrorKind::Write, "Write error: no memo file", f.name, path());
}

void DbfTable::writeMemos(const std::unordered_map<size_t, std::string>& memos, uint8_t* rec) {
  for (const auto& [i, text] : memos) writeMemoBlock(layout_.fields[i], rec, memo_->write(text));
}

void DbfTable::put(size_t i, const Value& v) {
  const FieldDescriptor& f = layout_.fields.at(i);
  if (atPhantom()) return;  // a write at the end of the table has no record to land in
  ensureLoaded();
  if (f.isMemo()) {
    checkMemoValue(f, v);
    prepareChange();
    pendingMemos_[i] = v.str();
    return;
  }
  // Convert into a copy first so a refused value leaves the record untouched.
  uint8_t scratch[64];
  if (f.len <= sizeof scratch) {
    FieldDescriptor at0 = f;
    at0.offset = 0;
    writeFieldValue(at0, scratch, v, path());
    prepareChange();
    std::memcpy(rec_.data() + f.offset, scratch, f.len);
  } else {
    std::vector<uint8_t> copy(rec_);
    writeFieldValue(f, copy.data(), v, path());
    prepareChange();
    rec_.swap(copy);
  }
}

void DbfTable::setDeleted(bool del) {
  if (atPhantom()) return;
  ensureLoaded();
  if (deleted() == del) return;
  prepareChange();
  rec_[0] = del ? '*' : ' ';
}

bool DbfTable::takeHeaderLock() {
  if (!shared_) return true;
  if (headerLockDepth_++ > 0) return true;
  if (waitForHeaderLock(true)) return true;
  headerLockDepth_ = 0;
  return false;
}

bool DbfTable::waitForHeaderLock(bool exclusive) {
  auto r = scheme_.header();
  // Writers hold this lock for microseconds; wait a little, never forever.
  return file_.lockRangeWaiting(r.offset, r.length, exclusive);
}

void DbfTable::beginIndexRead() {
  if (!shared_ || indexReadDepth_++ > 0 || headerLockDepth_ > 0) return;
  indexReadLocked_ = waitForHeaderLock(false);
  if (!indexReadLocked_) {
    --indexReadDepth_;
    throw Error(ErrorKind::Lock, "Lock failure: the table is busy (its header lock is held elsewhere)", "index read",
                path(), 0, true);
  }
}

void DbfTable::endIndexRead() noexcept {
  if (!shared_ || indexReadDepth_ == 0 || --indexReadDepth_ > 0) return;
  if (indexReadLocked_) {
    indexReadLocked_ = false;
    auto r = scheme_.header();
    file_.unlockRange(r.offset, r.length);
  }
}

bool DbfTable::writeMarkSeen() const {
  uint8_t mark = 0;
  file_.readHead(kInProgressByte, &mark, 1);
  return mark == 1;
}

void DbfTable::releaseHeaderLock() {
  if (!shared_) return;
  if (--headerLockDepth_ == 0) {
    auto r = scheme_.header();
    file_.unlockRange(r.offset, r.length);
  }
}

void DbfTable::writeBufferedRecord(bool indexed) {
  // Memos go first: a memo file that refuses the text (damaged, full) leaves the table as it was,
  // without the mark of an interrupted write that would stop every later opening. A memo written
  // for a record that is then not stored is only an unused block.
  writeMemos(pendingMemos_, rec_.data());
  pendingMemos_.clear();
  if (indexed) markInProgress();
  storeRecord(recno_, rec_.data());
  bool appended = appended_;
  dirty_ = appended_ = false;
  if (indexed && listener_) listener_->afterWrite(*this, appended);
}

void DbfTable::unmarkInProgress() {
  if (!inProgressOnDisk_) return;
  if (listener_) listener_->writeInProgress(*this, false);  // first, as in writeHeader
  const uint8_t zero = 0;
  headBytes_[kInProgressByte] = 0;
  file_.writeHead(kInProgressByte, &zero, 1);
  inProgressOnDisk_ = false;
}

void DbfTable::stampDate() {
  DbfHeader& h = layout_.header;
  int y, m, d;
  today(y, m, d);
  if (y == h.year && m == h.month && d == h.day) return;
  h.year = y;
  h.month = m;
  h.day = d;
  uint8_t mine[32];
  h.encode(std::span<uint8_t, 32>(mine, 32));
  std::memcpy(headBytes_ + 1, mine + 1, 3);
  file_.writeHead(1, mine + 1, 3);
}

void DbfTable::checkInterruptedWrite(const char* operation) {
  // Another engine writes the table header back from its own copy under the header lock alone,
  // which a key change of ours does not hold: it may have taken the mark off while a writer of
  // ours was inside its write and then died. The structural index's witness, which only our
  // writers set, still tells.
  if (!writeMarkSeen() && !(listener_ && listener_->writeWitnessed(*this))) return;
  // We hold the lock that guards the mark (see flush), so the writer that set it is gone.
  interrupted_ = true;
  if (!listener_ || !listener_->toleratesInterruptedWrite(*this))
    throw Error(ErrorKind::Corrupt, "Corruption detected: an earlier write was interrupted; the indexes must be rebuilt",
                operation, path())
        .because(ErrorCause::InterruptedWrite);
}

// In shared use a write takes the locks of what it changes and no more. The record lock (held by
// the caller) covers the record and its memo pointers; the memo file's lock its blocks. Only a
// write that changes an index entry takes the index locks, and only it sets the mark of a write in
// progress, the one thing that can leave the table and its indexes disagreeing when a process dies.
// The header lock guards the record count: an update does not change it, so it takes the lock only
// where no index lock is common to every writer of the table and the mark needs one.
void DbfTable::flush() {
  if (!dirty_) return;
  if (!shared_) {
    writeBufferedRecord(true);
    return;
  }
  if (!appended_ && (!listener_ || !listener_->indexesChange(*this))) {
    writeBufferedRecord(false);
    stampDate();
    return;
  }
  const bool headerGuardsMark = !listener_ || !listener_->indexLocksGuardMark(*this);
  if (headerGuardsMark && !takeHeaderLock())
    throw Error(ErrorKind::Lock, "Lock failure: the table's header lock is held elsewhere", "write", path(), 0, true);
  HeaderLockRelease release{headerGuardsMark ? this : nullptr};
  IndexLocks indexes = lockIndexes("write");
  checkInterruptedWrite("write");
  writeBufferedRecord(true);
  if (headerGuardsMark) {
    writeHeader(false);
  } else {
    unmarkInProgress();
    stampDate();
  }
}

void DbfTable::discardChanges() {
  if (!dirty_) return;
  pendingMemos_.clear();
  if (appended_) {
    rec_ = blank_;
    return;
  }
  dirty_ = false;
  loadCurrent();
}

DbfTable::IndexLocks DbfTable::lockIndexes(const char* operation) {
  if (!listener_) return {nullptr};
  if (!listener_->lockIndexes(*this))
    throw Error(ErrorKind::Lock, "Lock failure: an index of the table is being changed elsewhere", operation, path(), 0,
                true);
  return {this};
}

bool DbfTable::append(const std::vector<std::pair<size_t, Value>>& values) {
  requireWritable("append");
  // The new record's image first: a refused value stops the append before it begins.
  std::vector<uint8_t> image(blank_);
  std::unordered_map<size_t, std::string> memos;
  for (const auto& [i, v] : values) {
    const FieldDescriptor& f = layout_.fields.at(i);
    if (!f.isMemo()) {
      writeFieldValue(f, image.data(), v, path());
      continue;
    }
    checkMemoValue(f, v);
    memos[i] = v.str();
  }
  flush();
  if (!shared_) {
    // Exclusive use: the record reaches the file whole when it is flushed.
    markInProgress();
    ++recCount_;
    recno_ = recCount_;
    rec_ = std::move(image);
    loaded_ = true;
    pendingMemos_ = std::move(memos);
    dirty_ = appended_ = true;
    return true;
  }
  if (!takeHeaderLock()) return false;
  HeaderLockRelease release{this};
  IndexLocks indexes = lockIndexes("append");
  refresh();
  checkInterruptedWrite("append");
  uint32_t n = recCount_ + 1;
  if (!lockRecord(n)) return false;  // cannot happen unless a foreign scheme holds it
  // Memos before the record, as every write does: a memo file that refuses the text leaves the
  // table as it was.
  writeMemos(memos, image.data());
  markInProgress();
  std::vector<uint8_t> bytes(image);
  bytes.push_back(0x1A);
  file_.writeExact(recordOffset(n), bytes.data(), bytes.size());
  recCount_ = diskCount_ = n;
  recno_ = n;
  rec_ = std::move(image);
  loaded_ = true;
  pendingMemos_.clear();
  dirty_ = false;
  // The new count goes out before the keys: a process that meets the record in an index finds it
  // counted (the mark of a write in progress stays until the keys are in).
  writeHeader(true);
  if (listener_) listener_->afterWrite(*this, true);
  writeHeader(false);
  return true;
}

void DbfTable::markDurably() {
  flush();
  flushBlocks();
  if (shared_ || readOnly_) return;
  markInProgress();
  file_.sync();
}

void DbfTable::commit() {
  flush();
  if (!shared_ && !readOnly_) {
    flushBlocks();
    if (inProgressOnDisk_) writeHeader(false);
  }
}

void DbfTable::scan(const std::function<void(uint32_t, const uint8_t*)>& fn) {
  if (!shared_) flushBlocks();
  else refresh();
  const uint32_t onDisk = shared_ ? recCount_ : fileRecs_;
  if (!shared_ && onDisk > 0 && mapped(recordOffset(onDisk + 1))) {
    for (uint32_t n = 1; n <= onDisk; ++n)
      fn(n, n == recno_ && dirty_ ? rec_.data() : map_ + recordOffset(n));
    return;
  }
  const uint32_t batch = uint32_t(std::max<size_t>(1, (4u << 20) / recLen_));
  std::vector<uint8_t> buf(size_t(batch) * recLen_);
  for (uint32_t first = 1; first <= onDisk; first += batch) {
    uint32_t count = std::min(batch, onDisk - first + 1);
    file_.readExact(recordOffset(first), buf.data(), size_t(count) * recLen_);
    for (uint32_t i = 0; i < count; ++i) {
      uint32_t n = first + i;
      fn(n, n == recno_ && dirty_ ? rec_.data() : buf.data() + size_t(i) * recLen_);
    }
  }
}

// PACK and ZAP build the new table in a file beside the old one and rename it over the old one
// only when it is whole: a failure or a kill before that leaves the old table as it was. The
// new file carries the mark of a write in progress until the indexes are rebuilt, so a kill
// after the rename leaves them flagged as stale.
// PACK also copies the live records' memos to a new memo file, so the blocks of deleted records
// and of memos changed since (written to fresh blocks) are given back. The table and its memo file
// are then put in place as one step through a swap journal.
void DbfTable::pack() {
  requireWritable("pack");
  if (shared_) throw Error(ErrorKind::Lock, "Exclusive required", "PACK", path()).because(ErrorCause::ExclusiveNeeded);
  flush();
  flushBlocks();
  unmap();
  const uint32_t headerLen = layout_.header.headerLen;
  std::vector<const FieldDescriptor*> memoFields;
  std::optional<MemoFile> freshMemo;
  if (memo_ && memo_->kind() == MemoFile::Kind::Fpt) {
    for (const auto& f : layout_.fields)
      if (f.isMemo()) memoFields.push_back(&f);
  }
  const std::string memoTmp = memoFields.empty() ? std::string() : File::siblingTemporary(memo_->path());
  File fresh = createReplacement();
  auto dropNewFiles = [&]() noexcept {
    dropReplacement(fresh);
    freshMemo.reset();
    if (!memoTmp.empty()) ::unlink(memoTmp.c_str());
  };
  uint32_t out = 0;
  try {
    if (!memoTmp.empty()) freshMemo.emplace(MemoFile::create(memoTmp, uint16_t(memo_->blockSize())));
    const size_t batch = std::max<size_t>(1, (1u << 20) / recLen_);
    std::vector<uint8_t> buf(batch * recLen_);
    for (uint32_t first = 1; first <= recCount_; first += uint32_t(batch)) {
      uint32_t count = std::min<uint32_t>(uint32_t(batch), recCount_ - first + 1);
      file_.readExact(recordOffset(first), buf.data(), size_t(count) * recLen_);
      size_t kept = 0;
      for (uint32_t i = 0; i < count; ++i) {
        uint8_t* r = buf.data() + size_t(i) * recLen_;
        if (r[0] == '*') continue;
        if (kept != i) std::memmove(buf.data() + kept * recLen_, r, recLen_);
        uint8_t* k = buf.data() + kept * recLen_;
        for (const FieldDescriptor* f : memoFields)
          writeMemoBlock(*f, k, freshMemo->copyFrom(*memo_, readMemoBlock(*f, k)));
        ++kept;
      }
      if (kept) fresh.writeExact(headerLen + uint64_t(out) * recLen_, buf.data(), kept * recLen_);
      out += uint32_t(kept);
    }
    finishReplacement(fresh, out);
    if (freshMemo) freshMemo->sync();
  } catch (...) {
    dropNewFiles();
    throw;
  }
  if (!freshMemo) {
    installReplacement(std::move(fresh), out);
  } else {
    const std::string memoPath = memo_->path();
    std::optional<SwapJournal> journal;
    try {
      journal.emplace(SwapJournal::begin(path(), {{freshMemo->path(), memoPath}, {fresh.path(), path()}}));
    } catch (...) {
      dropNewFiles();
      throw;
    }
    try {
      freshMemo->replace(memoPath);
      fresh.replace(path());
      journal->end();
    } catch (...) {
      // Half the files may be in place: this table and its memo file no longer belong together.
      // The journal stays, and the next opening finishes the renames.
      memo_.reset();
      file_.close();
      throw;
    }
    memo_ = std::move(freshMemo);
    adoptReplacement(std::move(fresh), out);
  }
  if (listener_) listener_->afterRestructure(*this);
  writeHeader(false);
  goTo(1);
}

void DbfTable::zap() {
  requireWritable("zap");
  if (shared_) throw Error(ErrorKind::Lock, "Exclusive required", "ZAP", path()).because(ErrorCause::ExclusiveNeeded);
  unmap();
  File fresh = createReplacement();
  try {
    finishReplacement(fresh, 0);
  } catch (...) {
    dropReplacement(fresh);
    throw;
  }
  installReplacement(std::move(fresh), 0);
  // Appends still waiting, and the buffer's change, go only now: a ZAP that failed before this
  // point leaves them to be written as if it had not been tried.
  dirty_ = appended_ = false;
  pendingMemos_.clear();
  pending_.clear();
  if (memo_ && memo_->kind() == MemoFile::Kind::Fpt) {
    // The table holds no memo pointers any more: an old memo file left by a failure here is only
    // unused space.
    std::string mp = memo_->path();
    uint16_t bs = uint16_t(memo_->blockSize());
    std::string tmp = File::siblingTemporary(mp);
    try {
      MemoFile::create(tmp, bs).sync();
      File::open(tmp).replace(mp);
      File::syncDirectoryOf(mp);
    } catch (...) {
      ::unlink(tmp.c_str());
      throw;
    }
    memo_.reset();
    memo_.emplace(MemoFile::open(mp, MemoFile::Kind::Fpt, File::Access::ReadWrite));
  }
  if (listener_) listener_->afterRestructure(*this);
  writeHeader(false);
  goTo(1);
}

File DbfTable::createReplacement() {
  const std::string tmp = File::siblingTemporary(path());
  File fresh = File::create(tmp);
  try {
    if (!fresh.lockExclusive())
      throw Error(ErrorKind::NetErr, "Open error: the table is in use", "open", tmp, EWOULDBLOCK, true);
    // The header as it stands (the field list included), marked as a write in progress.
    std::vector<uint8_t> head(layout_.header.headerLen);
    file_.readExact(0, head.data(), head.size());
    head[kInProgressByte] = 1;
    if (listener_) listener_->writeInProgress(*this, true);
    fresh.writeExact(0, head.data(), head.size());
  } catch (...) {
    dropReplacement(fresh);
    throw;
  }
  return fresh;
}

void DbfTable::dropReplacement(File& fresh) noexcept {
  std::string tmp = fresh.path();
  fresh.close();
  ::unlink(tmp.c_str());
}

void DbfTable::finishReplacement(File& fresh, uint32_t records) {
  uint8_t eof = 0x1A;
  fresh.writeExact(layout_.header.headerLen + uint64_t(records) * recLen_, &eof, 1);
  uint8_t count[4] = {uint8_t(records), uint8_t(records >> 8), uint8_t(records >> 16), uint8_t(records >> 24)};
  fresh.writeExact(4, count, 4);
  fresh.sync();
}

void DbfTable::installReplacement(File fresh, uint32_t records) {
  try {
    fresh.replace(path());
  } catch (...) {
    dropReplacement(fresh);
    throw;
  }
  adoptReplacement(std::move(fresh), records);
  // The new table is on the disk before any index rebuilt for it can be.
  File::syncDirectoryOf(path());
}

void DbfTable::adoptReplacement(File fresh, uint32_t records) {
  file_ = std::move(fresh);  // the old file's descriptor, and its lock, go with it
  recCount_ = diskCount_ = fileRecs_ = records;
  inProgressOnDisk_ = true;
  writeHeader(true);
}

// --- locks ---

bool DbfTable::lockRecord(uint32_t n) {
  if (!shared_ || readOnly_) {
    if (std::find(locks_.begin(), locks_.end(), n) == locks_.end()) locks_.push_back(n);
    return true;
  }
  if (recordLocked(n)) return true;
  auto r = scheme_.record(n, layout_.header.headerLen, recLen_);
  if (!file_.lockRange(r.offset, r.length)) return false;
  locks_.push_back(n);
  return true;
}

void DbfTable::unlockRecord(uint32_t n) {
  auto it = std::find(locks_.begin(), locks_.end(), n);
  if (it == locks_.end()) return;
  if (n == recno_ && dirty_) flush();
  locks_.erase(it);
  if (shared_ && !readOnly_) {
    auto r = scheme_.record(n, layout_.header.headerLen, recLen_);
    file_.unlockRange(r.offset, r.length);
  }
}

bool DbfTable::recordLocked(uint32_t n) const {
  return std::find(locks_.begin(), locks_.end(), n) != locks_.end();
}

bool DbfTable::lockFile() {
  if (fileLocked_) return true;
  if (shared_ && !readOnly_) {
    // Our own record locks lie inside the range; the kernel merges them with the file lock, so
    // drop them from the list afterwards rather than before (never a moment without a lock).
    auto r = scheme_.file();
    if (!file_.lockRange(r.offset, r.length)) return false;
  }
  fileLocked_ = true;
  return true;
}

void DbfTable::unlockAll() {
  if (file_.isOpen()) flush();
  releaseLocks();
}

// Every lock the table holds lies in the span from the lowest to the highest range released, and
// all of them go: one unlock over the span does it (unlocking a range we do not hold leaves other
// processes' locks alone). In every scheme the header byte lies outside the record and file
// ranges, so it stays locked.
void DbfTable::releaseLocks() noexcept {
  if (shared_ && !readOnly_ && (fileLocked_ || !locks_.empty())) {
    uint64_t from = UINT64_MAX, to = 0;
    auto cover = [&](LockRange r) {
      from = std::min(from, r.offset);
      to = std::max(to, r.offset + r.length);
    };
    if (fileLocked_) cover(scheme_.file());
    for (uint32_t n : locks_) cover(scheme_.record(n, layout_.header.headerLen, recLen_));
    file_.unlockRange(from, to - from);
  }
  fileLocked_ = false;
  locks_.clear();
}

}  // namespace rt::db
