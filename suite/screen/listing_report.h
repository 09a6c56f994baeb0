// The body of a generated listing: the chosen catalogue columns over the records of the selected
// work area, with conditions, the per-record callback, totals and, for a listing of two levels,
// the detail rows of each main row.
//
// One level: every record of the selected area from its first, in its controlling order, is
// offered to the callback (before any column is read, since columns may read what the callback
// sets); a record for which it answers "T" is left out; the others that meet every condition
// become one line. Two levels: the selected area gives the main rows the same way; before the
// details of a main row are read the detail-order block runs; the detail rows are the records of
// the detail area whose detail key equals the main row's key, in the detail area's controlling
// order, each indented under its main row. A condition on a detail column keeps only the main
// rows that have a detail row meeting it.
//
// Numeric columns not marked "$" are totalled at the end. Lines are in display form.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "runtime/core/value.h"
#include "suite/screen/listing_columns.h"

namespace suite {

struct ListingCondition {
  size_t column;  // 0-based catalogue index
  rt::Value wanted;
};

struct ListingRequest {
  std::vector<ListingColumn> catalogue;
  std::vector<size_t> chosen;  // catalogue indices, in the order the columns are shown
  std::vector<ListingCondition> conditions;
  rt::Value callback;     // block: .F. lists the record, "T" leaves it out; NIL lists all
  rt::Value choiceLists;  // `t_glob`
  // A listing of two levels: the detail area's alias and the blocks of the detail and main keys
  // and of the detail order. Empty alias: one level.
  std::string detailAlias;
  rt::Value detailKey, mainKey, detailOrder;
};

class ListingReport {
 public:
  explicit ListingReport(ListingRequest request);

  bool twoLevels() const { return !request_.detailAlias.empty(); }
  // The column headings, word-wrapped into their widths (main columns, then detail columns).
  std::vector<std::string> headingLines() const;
  // Width of the widest line the listing prints.
  size_t lineWidth() const;
  // Walks the selected work area and hands each line to `line`; the totals come last. Returns
  // the number of rows listed (main rows for two levels). `keepGoing` is asked before each
  // record; false stops the walk.
  size_t run(const std::function<void(const std::string&)>& line,
             const std::function<bool()>& keepGoing = {});

 private:
  struct Shown {
    size_t index;  // catalogue index
    int width;
  };
  std::string lineOf(const std::vector<Shown>& columns, std::vector<double>& totals, int indent);
  // The totals of the columns' totalled numbers; the label "Razem:" goes into the first other
  // column wide enough unless `labelled` says it stands already. "" when nothing is totalled.
  std::string totalsLine(const std::vector<Shown>& columns, const std::vector<double>& totals, int indent,
                         bool& labelled) const;
  bool meets(bool master);
  bool offeredToCallback();

  ListingRequest request_;
  std::vector<Shown> mainColumns_, detailColumns_;
};

inline constexpr int kDetailIndent = 4;

}  // namespace suite
