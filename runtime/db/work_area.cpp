// WorkArea: position, skipping (written once), seeks, scopes, filter, relations, locks.
#include "runtime/db/work_area.h"

#include <algorithm>
#include <atomic>
#include <cstring>
#include <utility>

#include "runtime/core/context.h"
#include "runtime/core/error.h"
#include "runtime/db/cdx_keys.h"
#include "runtime/db/work_areas.h"

namespace rt::db {

template <class F>
auto WorkArea::selected(F&& body) -> decltype(body()) {
  return owner_.withSelected(number_, std::forward<F>(body));
}

WorkArea::WorkArea(WorkAreas& owner, int number, std::string alias, std::unique_ptr<DbfTable> table)
    : owner_(owner), number_(number), alias_(std::move(alias)), table_(std::move(table)) {
  table_->setListener(this);
  eof_ = table_->atPhantom();
  bof_ = table_->recCount() == 0;
}

WorkArea::~WorkArea() {
  try {
    close();
  } catch (...) {
    // Reported by an explicit close(); a destructor must not throw.
  }
}

void WorkArea::close() {
  if (!table_) return;
  cursor_.reset();
  std::exception_ptr first;
  try {
    commit();
  } catch (...) {
    first = std::current_exception();
  }
  tags_.clear();
  for (auto& b : bags_) {
    try {
      b->close();
    } catch (...) {
      if (!first) first = std::current_exception();
    }
  }
  bags_.clear();
  try {
    table_->setListener(nullptr);
    table_->close();
  } catch (...) {
    if (!first) first = std::current_exception();
  }
  table_.reset();
  if (first) std::rethrow_exception(first);
}

// --- fields ---

Value WorkArea::get(size_t field) {
  if (field >= table_->fieldCount())
    throw Error(ErrorKind::Argument, "Argument error", "FIELDGET", table_->path());
  return table_->get(field);
}

void WorkArea::put(size_t field, const Value& v) {
  if (field >= table_->fieldCount())
    throw Error(ErrorKind::Argument, "Argument error", "FIELDPUT", table_->path());
  table_->put(field, v);
}

// --- visibility and settling ---

bool WorkArea::holds(const Value& condition) {
  Value r = selected([&] { return evalBlock(condition); });
  return r.isLogical() && r.logical();
}

bool WorkArea::visible() {
  if (context().settings.deleted && table_->deleted()) return false;
  return filter_.isNil() || holds(filter_);
}

void WorkArea::settle() {
  for (auto& rel : relations_) {
    Value key = selected([&] { return evalBlock(rel.block); });
    WorkArea& child = *rel.child;
    if (child.order_ > 0) {
      child.seek(key, false);
    } else if (key.isNum()) {
      child.goTo(uint32_t(std::max(0.0, key.num())));
    } else {
      child.atEof();
      child.settle();
    }
  }
}

void WorkArea::atEof() {
  table_->goTo(table_->recCount() + 1);
  eof_ = true;
  cursorSynced_ = false;
}

bool WorkArea::walkForward() const {
  return !(order_ > 0 && controllingTag().tag->info().descending);
}

// --- raw steps ---

std::string WorkArea::scopeKey(int which) {
  const Value& s = scope_[which];
  if (s.isNil() || order_ == 0) return {};
  Value v = s.isBlock() ? selected([&] { return evalBlock(s); }) : s;
  if (v.isNil()) return {};
  return encodeValue(v, controllingTag().tag->info(), true);
}

bool WorkArea::keyInScope(std::string_view key) {
  if (order_ == 0) return true;
  bool desc = !walkForward();
  std::string lo = scopeKey(desc ? 1 : 0), hi = scopeKey(desc ? 0 : 1);
  if (!lo.empty() && key.substr(0, lo.size()).compare(lo) < 0) return false;
  if (!hi.empty() && key.substr(0, hi.size()).compare(hi) > 0) return false;
  return true;
}

void WorkArea::syncCursor() {
  if (cursorSynced_ && cursor_) return;
  OpenTag& t = controllingTag();
  if (!cursor_) cursor_ = t.tag->cursor();
  if (eof_) {
    cursor_->last();
    cursor_->next();  // past the end
  } else {
    std::string key = makeKey(t);
    if (!cursor_->seekEntry(key, table_->recno())) cursor_->seek(key);
  }
  cursorSynced_ = true;
}

// Moves the table onto the record the cursor stands on; an entry past the table is damage.
static void followCursor(DbfTable& table, OrderCursor& c, const std::string& bag) {
  uint32_t r = c.recno();
  if (r == 0 || r > table.recCount()) {
    table.refresh();
    if (r == 0 || r > table.recCount())
      throw Error(ErrorKind::Corrupt,
                  "Corruption detected: the index holds record " + std::to_string(r) + " of a table with " +
                      std::to_string(table.recCount()) + " records; rebuild it with DBREINDEX",
                  "index", bag);
  }
  table.goTo(r);
}

// An index read of one operation, under the table's shared header lock (see beginIndexRead) and
// the read locks of the index files.
//
// The locks keep a page that another process is half-way through writing from being read, and a
// record from being read in the middle of its write: a step reads its record inside the scope, so
// the record and the index entry that led to it belong to the same moment.
//
// When every page of the area's index files is already in memory, the locks wait until a page has
// to come from the disk: the pages in memory were read under the locks, and while the change
// counter stands still they are the index as it was before any write now in progress (a writer
// moves the counter after its pages). When it moved, the operation's first look drops them, and
// the locks are taken before the first page is read again. So a run over a table that no one else
// changes reads its index without lock calls per seek.
//
// The record is another matter: a writer stores it before its index changes and moves the counter
// only after them, so a record read while the counter still stands may already carry a key the
// cached index does not know. A writer of ours marks the table header (write in progress) before
// its record and clears the mark after moving the counter, and it holds the index files' write
// locks from before the record to after the counter whenever a key changes. So a lock-free step
// is kept only when, after its record was read, no mark stands and no counter moved (two looks at
// mapped header pages, no system call); otherwise it is taken again under the locks from where it
// began. A write that moves no key may go on meanwhile: it cannot put a record out of its place.
// On a network file system this machine's page cache does not see another workstation's writes,
// so every read goes through the locks there.
struct WorkArea::IndexRead {
  WorkArea& area;
  std::vector<std::function<void()>> previous;  // the hooks of an enclosing read, given back
  bool locked = false;
  bool deferred = false;
  // In shared use a pending change is written first: no write starts while the read lock is held.
  explicit IndexRead(WorkArea& a) : area(a) {
    DbfTable& table = *area.table_;
    if (!table.shared()) return;
    table.flush();
    deferred = table.onLocalDisk() && !area.bags_.empty() &&
               std::all_of(area.bags_.begin(), area.bags_.end(), [](auto& bag) {
                 return !bag->pager().file().onNetwork() && !bag->pager().dirty() && bag->pager().wholeFileCached();
               }) &&
               !table.writeMarkSeen();
    if (!deferred) {
      lock();
      return;
    }
    for (auto& bag : area.bags_) previous.push_back(bag->pager().beforeLoad([this] { lock(); }));
  }
  ~IndexRead() {
    for (size_t i = 0; i < previous.size() && i < area.bags_.size(); ++i)
      area.bags_[i]->pager().beforeLoad(std::move(previous[i]));
    if (!locked) return;
    if (--area.indexReadDepth_ == 0 && area.indexWriteDepth_ == 0) area.unlockBags();
    area.table_->endIndexRead();
  }
  void lock() {
    if (locked) return;
    DbfTable& table = *area.table_;
    table.beginIndexRead();
    if (area.indexReadDepth_++ == 0 && area.indexWriteDepth_ == 0 && !area.lockBags(false)) {
      --area.indexReadDepth_;
      table.endIndexRead();
      throw Error(ErrorKind::Lock, "Lock failure: the table is busy (an index is being changed elsewhere)",
                  "index read", table.path(), 0, true);
    }
    locked = true;
  }
  // Shared use, no lock taken so far.
  bool lockFree() const { return deferred && !locked; }
  // After a lock-free read of a record: no write of ours can have been under way since the
  // cached index was current.
  bool stillCurrent() const {
    if (!lockFree()) return true;
    std::atomic_thread_fence(std::memory_order_acquire);
    if (area.table_->writeMarkSeen()) return false;
    return std::none_of(area.bags_.begin(), area.bags_.end(), [](auto& bag) { return bag->pager().changedOnDisk(); });
  }
  // A lock-free read that may have met a write: the locks are taken and the bags looked at again,
  // for the read to be done once more.
  void lockAfterAll() {
    lock();
    area.freshBags();
  }
  // Runs a positioning step; one done lock-free that may have met a write is done again under
  // the locks.
  template <class Step>
  bool position(Step step) {
    const bool ok = step();
    if (!ok || stillCurrent()) return ok;
    lockAfterAll();
    return step();
  }
  IndexRead(const IndexRead&) = delete;
  IndexRead& operator=(const IndexRead&) = delete;
};

bool WorkArea::lockBags(bool forWriting) {
  for (size_t i = 0; i < bags_.size(); ++i) {
    if (bags_[i]->lockFile(forWriting && !bags_[i]->readOnly())) continue;
    for (size_t j = 0; j < i; ++j) bags_[j]->unlockFile();
    return false;
  }
  return true;
}

void WorkArea::unlockBags() noexcept {
  for (auto& b : bags_) b->unlockFile();
}

bool WorkArea::lockIndexes(DbfTable&) {
  if (indexWriteDepth_ > 0) {
    ++indexWriteDepth_;
    return true;
  }
  if (!lockBags(true)) return false;
  indexWriteDepth_ = 1;
  return true;
}

void WorkArea::unlockIndexes(DbfTable&) noexcept {
  if (indexWriteDepth_ == 0 || --indexWriteDepth_ > 0) return;
  // A read scope still open keeps its read locks (a write lock turns into a read lock in place).
  if (indexReadDepth_ > 0) lockBags(false);
  else unlockBags();
}

// The end of a cursor move: false when it left the entries or the scope; otherwise the table on
// the entry's record, its bytes read.
bool WorkArea::landCursor(bool ok) {
  if (!ok || !cursor_->valid() || !keyInScope(cursor_->key())) {
    cursorSynced_ = false;
    return false;
  }
  followCursor(*table_, *cursor_, controllingTag().bag->path());
  table_->recordBytes();
  return true;
}

bool WorkArea::stepRaw(bool forward) {
  if (order_ == 0) {
    int64_t n = int64_t(table_->recno()) + (forward ? 1 : -1);
    if (n < 1) return false;
    if (n > int64_t(table_->recCount())) {
      table_->refresh();
      if (n > int64_t(table_->recCount())) return false;
    }
    table_->goTo(uint32_t(n));
    return true;
  }
  IndexRead reading(*this);
  checkStale();
  freshBags();
  syncCursor();
  const bool ascendingStep = forward == walkForward();
  if (!reading.lockFree() || !cursor_->valid()) return landCursor(ascendingStep ? cursor_->next() : cursor_->prev());
  const std::string fromKey(cursor_->key());
  const uint32_t fromRecno = cursor_->recno();
  const bool ok = landCursor(ascendingStep ? cursor_->next() : cursor_->prev());
  if (!ok || reading.stillCurrent()) return ok;
  // Again under the locks, from the entry the step began on or, when that went, from where it
  // would stand.
  reading.lockAfterAll();
  if (!cursor_) cursor_ = controllingTag().tag->cursor();
  cursorSynced_ = true;
  if (cursor_->seekEntry(fromKey, fromRecno)) return landCursor(ascendingStep ? cursor_->next() : cursor_->prev());
  if (ascendingStep) return landCursor(cursor_->valid());
  return landCursor(cursor_->valid() ? cursor_->prev() : cursor_->last());
}

bool WorkArea::positionFirst(bool top) {
  if (order_ == 0) {
    table_->refresh();
    if (table_->recCount() == 0) return false;
    table_->goTo(top ? 1 : table_->recCount());
    return true;
  }
  IndexRead reading(*this);
  checkStale();
  freshBags();
  auto position = [&] {
    if (!cursor_) cursor_ = controllingTag().tag->cursor();
    bool desc = !walkForward();
    bool lowEnd = top != desc;
    std::string lo = scopeKey(desc ? 1 : 0), hi = scopeKey(desc ? 0 : 1);
    if (lowEnd) {
      if (lo.empty()) cursor_->first();
      else cursor_->seek(lo);
    } else if (hi.empty()) {
      cursor_->last();
    } else if (!cursor_->seekLast(hi)) {
      // No key starts with the bound: the last key below it.
      cursor_->seek(hi);
      if (cursor_->valid()) cursor_->prev();
      else cursor_->last();
    }
    cursorSynced_ = true;
    return landCursor(true);
  };
  return reading.position(position);
}

// --- moves ---

void WorkArea::goTo(uint32_t recno) {
  table_->goTo(recno);
  eof_ = table_->atPhantom();
  bof_ = table_->recCount() == 0;
  found_ = false;
  cursorSynced_ = false;
  settle();
}

bool WorkArea::firstVisible(bool top) {
  bool ok = positionFirst(top);
  while (ok && !visible()) ok = stepRaw(top);
  if (!ok) {
    atEof();
    bof_ = true;
  }
  return ok;
}

void WorkArea::goTop() {
  found_ = false;
  bof_ = eof_ = false;
  firstVisible(true);
  settle();
}

void WorkArea::goBottom() {
  found_ = false;
  bof_ = eof_ = false;
  firstVisible(false);
  settle();
}

void WorkArea::skip(int64_t n) {
  found_ = false;
  if (n == 0) {
    if (!eof_) {
      table_->flush();
      table_->reload();
    }
    settle();
    return;
  }
  bool forward = n > 0;
  uint64_t steps = uint64_t(forward ? n : -n);
  bof_ = false;
  if (eof_) {
    if (forward) {
      settle();
      return;
    }
    // Backwards from the end: the last visible record is the first step.
    eof_ = false;
    if (!firstVisible(false)) {
      settle();
      return;
    }
    --steps;
  }
  for (uint64_t i = 0; i < steps; ++i) {
    bool ok;
    do ok = stepRaw(forward);
    while (ok && !visible());
    if (!ok) {
      if (forward) {
        atEof();
      } else {
        goTop();
        bof_ = true;
        return;
      }
      break;
    }
  }
  settle();
}

bool WorkArea::seek(const Value& key, bool softSeek, bool last) {
  found_ = false;
  bof_ = eof_ = false;
  if (order_ == 0) {
    atEof();
    settle();
    return false;
  }
  IndexRead reading(*this);
  checkStale();
  freshBags();
  std::string k;
  auto position = [&] {
    OpenTag& t = controllingTag();
    k = encodeValue(key, t.tag->info(), true);
    if (!cursor_) cursor_ = t.tag->cursor();
    bool desc = !walkForward();
    // Where the walk meets the key first: the first of equal keys ascending, the last descending.
    bool fromLow = desc == last;
    if (fromLow) {
      cursor_->seek(k);
    } else if (!cursor_->seekLast(k)) {
      if (desc) {
        cursor_->seek(k);
        if (cursor_->valid()) cursor_->prev();
        else cursor_->last();
      } else {
        cursor_->seek(k);
      }
    }
    cursorSynced_ = true;
    return landCursor(true);
  };
  bool ok = reading.position(position);
  bool forward = true;
  while (ok && !visible()) ok = stepRaw(forward);
  if (!ok) {
    atEof();
    settle();
    return false;
  }
  std::string_view at = cursor_->key();
  found_ = at.size() >= k.size() && at.compare(0, k.size(), k) == 0;
  if (!found_ && !(softSeek || context().settings.softSeek)) atEof();
  settle();
  return found_;
}

bool WorkArea::locate(const Value& cond, const Value& whileCond, int64_t next, bool rest) {
  locateCond_ = cond;
  locateWhile_ = whileCond;
  if (!rest) goTop();
  int64_t looked = 0;
  while (!eof_) {
    if (next >= 0 && looked++ >= next) break;
    if (!whileCond.isNil() && !holds(whileCond)) break;
    if (holds(cond)) {
      found_ = true;
      return true;
    }
    skip(1);
  }
  found_ = false;
  return false;
}

bool WorkArea::continueLocate() {
  if (locateCond_.isNil()) return false;
  skip(1);
  return locate(locateCond_, locateWhile_, -1, true);
}

uint64_t WorkArea::eval(const Value& block, const Value& forCond, const Value& whileCond, int64_t next,
                        int64_t record, bool rest) {
  auto run = [&]() -> bool {
    if (forCond.isNil() || holds(forCond)) {
      selected([&] { return evalBlock(block); });
      return true;
    }
    return false;
  };
  uint64_t count = 0;
  if (record > 0) {
    goTo(uint32_t(record));
    if (!eof_ && run()) ++count;
    return count;
  }
  if (!rest && whileCond.isNil() && next < 0) goTop();
  int64_t looked = 0;
  while (!eof_) {
    if (next >= 0 && looked++ >= next) break;
    if (!whileCond.isNil() && !holds(whileCond)) break;
    if (run()) ++count;
    skip(1);
  }
  return count;
}

// --- records ---

bool WorkArea::append(bool releaseLocks) { return append({}, releaseLocks); }

bool WorkArea::append(const std::vector<std::pair<size_t, Value>>& values, bool releaseLocks) {
  if (releaseLocks && table_->shared()) table_->unlockAll();
  if (!table_->append(values)) return false;
  eof_ = bof_ = found_ = false;
  cursorSynced_ = false;
  settle();
  return true;
}

void WorkArea::deleteRecord() { table_->setDeleted(true); }
void WorkArea::recall() { table_->setDeleted(false); }

void WorkArea::commit() {
  table_->flush();
  table_->flushData();
  for (auto& b : bags_)
    if (!b->readOnly()) b->flush();
  table_->commit();
}

// PACK and ZAP put in place a new table marked as a write in progress, synced, before its indexes
// are rebuilt: the structural index's witness, which tells that mark from one another engine
// wrote back, is on the disk before it.
void WorkArea::witnessDurably() {
  if (table_->shared() || table_->readOnly()) return;  // refused by the table
  setStructuralWitness(true, true);
}

void WorkArea::pack() {
  witnessDurably();
  table_->pack();
  goTop();
}

void WorkArea::zap() {
  witnessDurably();
  table_->zap();
  goTop();
}

// --- locks ---

// In shared use the bags are re-checked (one read of their change counter) whenever an order is
// used; a write re-checks them under the header lock.
void WorkArea::freshBags() {
  if (!table_->shared()) return;
  for (auto& b : bags_)
    if (b->refresh()) cursorSynced_ = false;
  followTagLists();
  if (!lostOrder_.empty()) {
    const std::string name = std::exchange(lostOrder_, {});
    throw Error(ErrorKind::Argument, "Order not found: tag " + name + " was removed from the index", "order",
                std::exchange(lostOrderBag_, {}));
  }
}

void WorkArea::refreshShared() {
  if (!table_->shared()) return;
  table_->reload();  // re-reads the record count and, when next needed, the record
  eof_ = table_->atPhantom();
  cursorSynced_ = false;
}

bool WorkArea::lockCurrent() {
  table_->unlockAll();
  if (!table_->lockRecord(table_->recno())) return false;
  refreshShared();
  return true;
}

bool WorkArea::lockRecord(uint32_t recno) {
  if (!table_->lockRecord(recno)) return false;
  if (recno == table_->recno()) refreshShared();
  return true;
}

bool WorkArea::lockFile() {
  table_->unlockAll();
  if (!table_->lockFile()) return false;
  refreshShared();
  return true;
}

void WorkArea::unlockRecord(uint32_t recno) {
  if (recno == 0) table_->unlockAll();
  else table_->unlockRecord(recno);
}

void WorkArea::unlockAll() { table_->unlockAll(); }

// --- scopes, filter, relations ---

void WorkArea::setScope(int which, const Value& v) {
  if (which < 0 || which > 1) throw Error(ErrorKind::Argument, "Argument error", "ORDSCOPE");
  scope_[which] = v;
  cursorSynced_ = false;
}

uint64_t WorkArea::keyCount() {
  if (order_ == 0) {
    table_->refresh();
    return table_->recCount();
  }
  IndexRead reading(*this);
  checkStale();
  freshBags();
  bool desc = !walkForward();
  std::string lo = scopeKey(desc ? 1 : 0), hi = scopeKey(desc ? 0 : 1);
  const uint64_t all = controllingTag().tag->countRange(lo, hi);
  if (!context().settings.deleted) return all;
  // Keys of records marked deleted are not shown, so they are not counted either (a progress bar
  // driven by the count ends at 100 %): one pass over the table finds them, one over the keys in
  // the scopes takes them off.
  std::vector<bool> gone;
  table_->scan([&](uint32_t r, const uint8_t* rec) {
    if (rec[0] != '*') return;
    if (gone.size() <= r) gone.resize(size_t(r) + 1 + size_t(r) / 2);
    gone[r] = true;
  });
  if (gone.empty()) return all;
  auto c = controllingTag().tag->cursor();
  uint64_t hidden = 0;
  if (lo.empty()) c->first();
  else c->seek(lo);
  for (; c->valid(); c->next()) {
    if (!hi.empty() && c->key().substr(0, hi.size()).compare(hi) > 0) break;
    const uint32_t r = c->recno();
    if (r < gone.size() && gone[r]) ++hidden;
  }
  return all - std::min(all, hidden);
}

void WorkArea::setFilter(const Value& block, const std::string& text) {
  if (block.isBlock()) {
    filter_ = block;
  } else if (!text.empty()) {
    filter_ = Value::block(compileBlock(text));
  } else {
    filter_ = Value();
  }
  filterText_ = text;
}

void WorkArea::clearFilter() {
  filter_ = Value();
  filterText_.clear();
}

void WorkArea::addRelation(WorkArea& child, const Value& keyBlock, const std::string& text) {
  Value block = keyBlock.isBlock() ? keyBlock : Value::block(compileBlock(text));
  relations_.push_back({&child, block, text});
}

void WorkArea::clearRelations() { relations_.clear(); }

std::string WorkArea::relationText(int n) const {
  return n >= 1 && size_t(n) <= relations_.size() ? relations_[size_t(n - 1)].text : std::string();
}

int WorkArea::relationTarget(int n) const {
  return n >= 1 && size_t(n) <= relations_.size() ? relations_[size_t(n - 1)].child->number() : 0;
}

}  // namespace rt::db
