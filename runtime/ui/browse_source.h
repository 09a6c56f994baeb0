// What a browse moves over: rows reached by going to the top or bottom and skipping, as a work
// area offers them (honouring its scope, filter and hidden deleted records) or an array does.
//
// The source has a current row; column values are read while it stands on a row. skip(n) moves up
// to |n| rows and returns how many it moved (negative backwards), never leaving the source
// "off the end": after a skip the current row is a real row unless the source is empty.
#pragma once

#include <cstddef>
#include <cstdint>

namespace rt::db {
class WorkArea;
}

namespace rt::ui {

class BrowseSource {
 public:
  virtual ~BrowseSource() = default;
  virtual void goTop() = 0;
  virtual void goBottom() = 0;
  virtual long skip(long n) = 0;
  // No row at all (in the scope, past the filter).
  virtual bool empty() = 0;
  // The current row stands on nothing (past the end of a work area); empty sources always do.
  virtual bool offEnd() = 0;
  // A position to come back to (a record number, an index).
  virtual uint64_t bookmark() = 0;
  virtual void goTo(uint64_t mark) = 0;
};

// A source over the rows 0..count-1 of something the columns read by current().
class IndexSource : public BrowseSource {
 public:
  explicit IndexSource(size_t count) : count_(count) {}
  size_t current() const { return current_; }
  void setCount(size_t n) { count_ = n; if (current_ >= n) current_ = n ? n - 1 : 0; }

  void goTop() override { current_ = 0; }
  void goBottom() override { current_ = count_ ? count_ - 1 : 0; }
  long skip(long n) override;
  bool empty() override { return count_ == 0; }
  bool offEnd() override { return count_ == 0; }
  uint64_t bookmark() override { return current_; }
  void goTo(uint64_t mark) override { current_ = mark < count_ ? size_t(mark) : current_; }

 private:
  size_t count_;
  size_t current_ = 0;
};

// The selected table's visible records: skipping, top and bottom go through the work area, so
// its order, scope, filter and SET DELETED decide what the browse shows.
class WorkAreaSource : public BrowseSource {
 public:
  explicit WorkAreaSource(db::WorkArea& area) : area_(area) {}
  void goTop() override;
  void goBottom() override;
  long skip(long n) override;
  bool empty() override;
  bool offEnd() override;
  uint64_t bookmark() override;
  void goTo(uint64_t mark) override;

 private:
  db::WorkArea& area_;
};

}  // namespace rt::ui
