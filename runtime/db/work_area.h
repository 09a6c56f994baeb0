// rt::db::WorkArea: one open table as the runtime sees it: position (BOF/EOF/FOUND), the
// controlling order with its scopes, the filter, records marked deleted hidden when SET DELETED
// is on, relations to child areas, record and file locks, and index maintenance.
//
// States:
//   positioned    -- on a record (1..recCount) that passed the visibility test when reached;
//   at EOF        -- on the phantom record recCount + 1 (blank fields), eof() true;
//   BOF           -- a skip backwards ran off the first visible record: back on that record
//                    with bof() true.
// Every move ends in settle(): relations reposition their children. Skipping is written once
// here: single raw steps (natural order or the controlling order's cursor, kept within the
// scope) each followed by the visibility test (deleted mark, filter).
//
// Orders are numbered 1.. across the open bags in the order they were added, tags within a bag
// in their stored order; 0 is the natural (record number) order. Index keys are computed by the
// tag's key expression evaluated with this area selected (simple field keys are cut straight from
// the record bytes), and maintained through the table's record listener: old keys before the
// first change of a record, new keys after it reached the file.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "runtime/core/expr.h"
#include "runtime/core/value.h"
#include "runtime/db/cdx_bag.h"
#include "runtime/db/dbf_table.h"
#include "runtime/db/order.h"

namespace rt::db {

class WorkAreas;

// How a key is made from a record: straight from the record bytes for simple keys, otherwise by
// evaluating the compiled expression.
struct KeyRecipe {
  struct Piece {
    uint32_t offset, len;  // bytes of the record copied as they are (C fields, DTOS of D fields)
  };
  enum class Kind { Bytes, NumField, DateField, Expression } kind = Kind::Expression;
  std::vector<Piece> pieces;  // Bytes
  size_t field = 0;           // NumField, DateField
  Expr expr;                  // Expression
};

struct OpenTag {
  CdxBag* bag = nullptr;
  CdxTag* tag = nullptr;
  KeyRecipe key;
  Expr forExpr;  // empty: every record
  TagInfo pending;  // the tag's description while it is being built (tag still null)
  const TagInfo& info() const { return tag ? tag->info() : pending; }
  // Old state of the record being changed (taken before the first change). Not known for a tag
  // that another process made after that.
  std::string oldKey;
  bool oldIncluded = false;
  bool oldKnown = false;
};

struct CreateTagOptions {
  std::string forText;
  bool unique = false;
  bool descending = false;
  // Called every `every` records while the tag is built (and at the end) with the count done.
  std::function<void(uint64_t done)> progress;
  uint64_t every = 0;
};

class WorkArea final : public RecordListener {
 public:
  WorkArea(WorkAreas& owner, int number, std::string alias, std::unique_ptr<DbfTable> table);
  ~WorkArea() override;
  // Writes what is pending, releases locks and closes bags and table; reports errors.
  void close();

  int number() const { return number_; }
  const std::string& alias() const { return alias_; }
  DbfTable& table() { return *table_; }

  // --- fields ---
  int fieldIndex(std::string_view name) const { return table_->fieldIndex(name); }
  Value get(size_t field);
  void put(size_t field, const Value& v);

  // --- position ---
  uint32_t recno() const { return table_->recno(); }
  bool eof() const { return eof_; }
  bool bof() const { return bof_; }
  bool found() const { return found_; }
  bool deleted() const { return table_->deleted(); }
  void goTo(uint32_t recno);
  void goTop();
  void goBottom();
  void skip(int64_t n = 1);
  // SEEK: key is a value of the order's key type (C: a prefix); softSeek stops on the next
  // greater key; last finds the last of equal keys.
  bool seek(const Value& key, bool softSeek, bool last = false);
  // LOCATE: from the first record (or the current one with `rest`), the first visible record for
  // which `cond` is true; `whileCond` stops the scan; `next` limits the records looked at.
  bool locate(const Value& cond, const Value& whileCond = {}, int64_t next = -1, bool rest = false);
  bool continueLocate();
  // DBEVAL: runs `block` for each visible record (condition, while, next, record, rest as
  // LOCATE); returns how many.
  uint64_t eval(const Value& block, const Value& forCond, const Value& whileCond, int64_t next,
                int64_t record, bool rest);

  // --- records ---
  bool append(bool releaseLocks = true);
  // Appends a record holding the given fields (field number, value) in one write of the record.
  bool append(const std::vector<std::pair<size_t, Value>>& values, bool releaseLocks = true);
  void deleteRecord();
  void recall();
  void commit();
  // Forgets the record's changes that a failed write left in the buffer.
  void discardChanges() { table_->discardChanges(); }
  void pack();
  void zap();

  // --- locks ---
  bool lockCurrent();                 // plain form: replaces the area's record locks
  bool lockRecord(uint32_t recno);    // adds to the area's list
  bool lockFile();
  void unlockRecord(uint32_t recno);  // 0: all records
  void unlockAll();
  std::vector<uint32_t> lockedRecords() const { return table_->lockedRecords(); }

  // --- orders ---
  int orderCount() const { return int(tags_.size()); }
  int order() const { return order_; }
  void setOrder(int n);  // 0 natural; out of range: rt::Error Argument
  int orderByName(std::string_view tagName) const;  // 0 when absent
  const TagInfo* orderInfo(int n) const;            // nullptr when out of range
  std::string orderBag(int n) const;
  void addBag(const std::string& path);             // ORDLISTADD; first order becomes controlling when none
  void clearBags(bool keepStructural = true);       // ORDLISTCLEAR
  // ORDCREATE: a tag in the bag at path (created when missing; empty path: the structural bag).
  void createTag(const std::string& bagPath, const std::string& tagName, const std::string& keyText,
                 const CreateTagOptions& options = {});
  bool destroyTag(std::string_view tagName);
  void reindex();
  uint64_t keysIncluded() const { return keysIncluded_; }

  // --- scopes (of the controlling order) ---
  // which: 0 top, 1 bottom. A NIL value clears it; a block is evaluated each time it is used.
  void setScope(int which, const Value& v);
  Value scope(int which) const { return scope_[which]; }
  // Keys of the controlling order within its scopes (with SET DELETED on, only those of records
  // not marked deleted); the record count when natural.
  uint64_t keyCount();

  // --- filter ---
  void setFilter(const Value& block, const std::string& text);
  void clearFilter();
  const std::string& filterText() const { return filterText_; }

  // --- relations ---
  void addRelation(WorkArea& child, const Value& keyBlock, const std::string& text);
  void clearRelations();
  std::string relationText(int n) const;  // 1-based; "" when none
  int relationTarget(int n) const;        // child area number, 0 when none

  // The structural bag of a table: its name with the extension .cdx.
  friend std::string structuralBagPath(const std::string& tablePath);
  // Key of the current record for order n (for tests and the key functions).
  std::string currentKey(int n);
  bool indexesStale() const { return stale_; }
  // A fresh cursor over order n (1-based), for checks that walk a whole tag.
  std::unique_ptr<OrderCursor> orderCursor(int n) { return tags_.at(size_t(n - 1)).tag->cursor(); }

  // RecordListener
  void beforeChange(DbfTable& table) override;
  void afterWrite(DbfTable& table, bool appended) override;
  void afterRestructure(DbfTable& table) override;
  bool toleratesInterruptedWrite(DbfTable& table) override;
  void writeInProgress(DbfTable& table, bool on) override;
  bool lockIndexes(DbfTable& table) override;
  void unlockIndexes(DbfTable& table) noexcept override;
  bool indexesChange(DbfTable& table) override;
  bool indexLocksGuardMark(DbfTable& table) override;
  bool writeWitnessed(DbfTable& table) override;

 private:
  struct Relation {
    WorkArea* child;
    Value block;
    std::string text;
  };
  template <class F>
  auto selected(F&& body) -> decltype(body());
  // A condition block evaluated with this area selected: only a logical .T. holds.
  bool holds(const Value& condition);
  // The tag of the controlling order; only while order_ > 0.
  OpenTag& controllingTag() { return tags_[size_t(order_ - 1)]; }
  const OpenTag& controllingTag() const { return tags_[size_t(order_ - 1)]; }
  bool visible();
  void settle();
  void atEof();
  bool stepRaw(bool forward);
  bool landCursor(bool ok);
  bool positionFirst(bool forward);
  // The first visible record from the top or the bottom; false (at the phantom, BOF and EOF)
  // when there is none.
  bool firstVisible(bool top);
  void syncCursor();
  bool keyInScope(std::string_view key);
  std::string scopeKey(int which);
  std::string encodeValue(const Value& v, const TagInfo& info, bool prefix) const;
  std::string makeKey(OpenTag& t);
  bool included(OpenTag& t);
  OpenTag makeOpenTag(CdxBag* bag, CdxTag* tag);
  KeyRecipe recipeFor(const std::string& keyText);
  void loadBag(std::unique_ptr<CdxBag> bag);
  // The order list made again from the bags' tag lists; the controlling order and the old state
  // of a pending change follow their tags by name. False when the controlling tag is gone (the
  // area is then in natural order).
  bool rebuildTagList();
  uint64_t tagListsVersion() const;
  // After a refresh: follows a tag list another process changed. A controlling tag that went is
  // reported by the next index read (rt::Error "Order not found").
  void followTagLists();
  // Takes a record's entry out of a tag whose old key for it is not known.
  void removeRecord(OpenTag& t, uint32_t recno);
  // The structural bag's witness of a write in progress, seen at opening: whether a writer that
  // died left it on.
  bool witnessLeftByTheDead(CdxBag& structuralBag);
  // Every tag of every open bag built again from the records.
  void rebuildBags();
  // The structural index's bag (the one whose witness tells an interrupted write), if open.
  CdxBag* structuralBag() const;
  // Sets or clears the witness of every structural bag; durable syncs it.
  void setStructuralWitness(bool on, bool durable = false);
  // Before PACK and ZAP: the witness on the disk ahead of the new table's mark.
  void witnessDurably();
  void checkStale() const;
  void fillBatch(OpenTag& t, KeyBatch& batch, const std::function<void(uint64_t)>& progress, uint64_t every);
  KeyType probeType(const std::string& keyText, int& len);
  // The key type of a tag read from a bag. A key or FOR expression naming a field the table lacks,
  // or a key whose type, or whose fixed length (plain fields, numbers, dates, logicals), disagrees
  // with the tag's stored key length, is an index of another table: rt::Error(Corrupt) naming the
  // bag. A character expression's key may have any length: it is padded or cut to the stored one.
  KeyType storedTagType(const TagInfo& info, const std::string& bagPath);
  bool walkForward() const;
  void refreshShared();
  void freshBags();
  // Shared use: the bags' file locks, for writing (around a write's index changes) or for
  // reading (around one operation's index reads; see IndexRead).
  bool lockBags(bool forWriting);
  void unlockBags() noexcept;
  struct IndexRead;

  WorkAreas& owner_;
  int number_;
  std::string alias_;
  std::unique_ptr<DbfTable> table_;
  std::vector<std::unique_ptr<CdxBag>> bags_;
  std::vector<bool> structural_;
  std::vector<OpenTag> tags_;
  int order_ = 0;
  std::unique_ptr<OrderCursor> cursor_;
  bool cursorSynced_ = false;
  bool eof_ = false, bof_ = false, found_ = false;
  Value scope_[2];
  Value filter_;
  std::string filterText_;
  std::vector<Relation> relations_;
  Value locateCond_, locateWhile_;
  int indexWriteDepth_ = 0;  // lockIndexes calls not yet given back
  int indexReadDepth_ = 0;   // IndexRead scopes open
  bool stale_ = false;
  std::string staleBag_;
  uint64_t tagListsSeen_ = 0;
  // A controlling tag removed by another process, not reported yet, and its bag.
  std::string lostOrder_, lostOrderBag_;
  uint64_t keysIncluded_ = 0;
};

}  // namespace rt::db
