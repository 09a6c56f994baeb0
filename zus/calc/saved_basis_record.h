// The saved basis record: the month-by-month data behind a calculated basis, kept as text in the
// benefit record's memo `zapis_pod` so that the register can show and print it later and the
// RESET export can read it.
//
// Eleven lines joined by CR LF, fields joined by TAB, nothing after the last line or field:
//   1  insurance start (DTOS), kind name as held, start month, start year, month count,
//      auxiliary basis, daily basis
//   2  the twelve places of the month list ("NIL" for an unset place)
//   3  the twelve places of the year list ("NIL" likewise)
//   4  archive basis per month        5  "T" counts / "F" dropped out per month
//   6  filled-up basis per month      7  days worked per month
//   8  working days per month         9  calendar days per month
//   10 the four display texts as they are     11 the remark, trimmed
// A number is written as the runtime's number-to-text conversion shows it, trimmed, so it keeps
// its own decimals ("1234.56", "21", "0"); readers take it back with VAL.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace zus::basis {

// A number with the decimals the runtime carries for it.
struct Num {
  double value = 0;
  int decimals = 0;
};

// ALLTRIM(STR(n)) of a number with its decimals.
std::string numberText(const Num& n);
// VAL of a text: the number and the decimals written.
Num numberOf(const std::string& text);

// The values behind one basis, as the writer, the window and the print use them.
struct BasisSet {
  int32_t insuranceStart = 0;  // `_data_puc`, a day number (0 empty)
  std::string kindName;        // `skr_zas`, padded as held
  Num startMonth, startYear;   // `akt_mies`, `akt_rok`
  Num monthCount;              // `max_hist`
  Num auxiliary;               // `_pod_pom`
  Num daily;                   // `podstawa`
  std::array<std::optional<Num>, 12> months;  // `_mies`: places after the count unset
  std::array<std::optional<Num>, 12> years;   // `_roczek`
  std::vector<Num> basis, filledUp, daysWorked, workingDays, calendarDays;
  std::vector<bool> counts;          // `wyp_mies`
  std::array<std::string, 4> texts;  // `tekst_wysw`: percent, daily rate, days, value
  std::string remark;

  int count() const { return int(monthCount.value); }
};

// `NZAP_DANE`'s text.
std::string savedRecordText(const BasisSet& b);

// Reads a saved record back; nullopt when it has fewer than 10 lines (no saved basis). A line
// with fewer fields than the month count announces leaves the missing months at 0.
std::optional<BasisSet> parseSavedRecord(const std::string& text);

}  // namespace zus::basis
