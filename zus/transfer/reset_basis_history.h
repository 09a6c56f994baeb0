// The basis history the RESET export writes for a benefit: five rows of twelve numbers (months,
// years, topped-up basis amounts, days worked, working days of the month) read from the benefit
// record's saved basis `zapis_pod` (lines joined by CR LF, values by TAB; lines 2, 3, 6, 7 and 8,
// the first twelve values of each).
//
// A part that cannot be read stays zero: fewer than 8 lines leave the whole history zero; fewer
// than 12 values in line 2, 3 or 6 end the reading there (the rows before stay); a short line 7
// or 8 leaves only its own row zero. A value
// that is not a number counts 0 ("NIL" is how the calculation writes a month it did not fill).
#pragma once

#include <array>
#include <string>

namespace zus::reset_export {

using HistoryRow = std::array<double, 12>;

struct BasisHistory {
  std::array<HistoryRow, 5> rows{};  // all zero
  const HistoryRow& months() const { return rows[0]; }
  const HistoryRow& years() const { return rows[1]; }
  const HistoryRow& basis() const { return rows[2]; }
  const HistoryRow& daysWorked() const { return rows[3]; }
  const HistoryRow& workingDays() const { return rows[4]; }
};

// How far a saved basis could be read.
enum class BasisReading {
  Empty,      // no saved basis: zeros, nothing to say
  Complete,   // every row read
  Short,      // too few lines or values: some rows (or all) left zero
  Malformed,  // a value that is neither a number nor "NIL" (counted 0)
};

struct BasisHistoryResult {
  BasisHistory history;
  BasisReading reading = BasisReading::Empty;
};

// `DAJ_ZHH` on the text of `zapis_pod`.
BasisHistoryResult readBasisHistory(const std::string& savedBasis);

}  // namespace zus::reset_export
