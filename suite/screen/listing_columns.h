// Columns of the listing generator's catalogue: the type string that describes a column, and the
// text a value shows in its column.
//
// A type string reads: level flag ("1" a column of the main rows, "0" of the detail rows), type
// letter (n numeric, c character, d date, L logical, s/S a code shown through a choice list),
// size digits, up to two blanks, ";", an optional picker expression, and an optional final "$"
// for a column whose values are not totalled. Numeric sizes of three digits are a two-digit width
// and one digit of decimals ("132": 13 wide, 2 decimals); for s and S the digits name the choice
// list. Every text a column shows is exactly the column's width, in display form.
#pragma once

#include <string>
#include <vector>

#include "runtime/core/value.h"

namespace suite {

struct ListingColumnType {
  bool master = true;    // level flag "1"
  char letter = 'c';     // n c d L s S
  int width = 10;        // n c L: as written; d and s/S: computed when shown
  int decimals = 0;      // n only
  int list = 0;          // s/S: 1-based number of the choice list
  std::string picker;    // expression text; empty when the column has none
  bool totalled = true;  // false when the type string ends with "$"
  bool numeric() const { return letter == 'n' || letter == 'N'; }
};

ListingColumnType parseListingType(const std::string& type);

struct ListingColumn {
  rt::Value value;  // code block, or expression text
  ListingColumnType type;
  std::string heading;  // stored text
};

// The catalogue from its three parallel arrays; a short array leaves the rest of a column empty.
std::vector<ListingColumn> catalogueFrom(const rt::Value& values, const rt::Value& types,
                                         const rt::Value& headings);

// The value of a column for the current record.
rt::Value columnValue(const ListingColumn& column);

// Width a column takes on the page; `choiceLists` is the generator's `t_glob`.
int columnWidth(const ListingColumnType& type, const rt::Value& choiceLists);
// A value as its column shows it: exactly columnWidth() characters, display form.
std::string columnText(const ListingColumnType& type, const rt::Value& v, const rt::Value& choiceLists);
// A condition's wanted value against a record's value, in the column's terms: texts compare
// without trailing blanks, numbers and dates by value, codes by their trimmed code.
bool sameColumnValue(const ListingColumnType& type, const rt::Value& a, const rt::Value& b);

}  // namespace suite
