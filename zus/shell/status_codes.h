// Benefit status codes: the 18 codes a benefit record can hold, their texts and the four tests.
//
// A status says how the record's value came about. 90 is added to a code (other than 1 and 2) when
// the record is edited after the status was set, so 91 and 92 never occur. The table order is
// fixed: code 9 stands at position 17, after the codes above 90, and the named codes are taken from
// their positions. `stat_err` and `stat_mess` are this table as public arrays.
#pragma once

#include <array>
#include <string>
#include <string_view>

namespace zus {

struct StatusRow {
  int code;
  const char* name;    // the public variable of a named code, or "" for the changed marks
  const char* stored;  // the message as stored (backtick coding), with its blanks
};

inline constexpr int kStatusCount = 18;
const std::array<StatusRow, kStatusCount>& statusTable();

// The named codes.
inline constexpr int stat_const = 1;
inline constexpr int stat_n_obl = 2;
inline constexpr int stat_sav_c = 3;
inline constexpr int stat_obl = 4;
inline constexpr int stat_ar_d = 5;
inline constexpr int stat_staz = 6;
inline constexpr int stat_dwej = 7;
inline constexpr int stat_dost = 8;
inline constexpr int stat_ar_p = 9;

// 1-based position of a code in the table (the first match), 0 when the code has no row.
int statusPosition(double code);

// Display form of a code's message; a code without a row gives a safe text naming the code
// rather than reading outside the table.
std::string statusMessage(double code);

// The four tests. Each takes 90 off a code above 90 (90 itself stays), then compares.
bool statusOk(double code);     // `_ST_OK`: 1, 3, 4 - the record holds a usable value
bool statusSaved(double code);  // `_ST_SAV`: 3, 4
bool statusError(double code);  // `_ST_BLAD`: 5 to 9
bool statusConst(double code);  // `_ST_CONST`: 1, 3

// `ZAS_STAT`: declares and fills the public arrays `stat_err`, `stat_mess` (display form, built
// afresh from the stored texts on every call) and the nine named codes.
void ZAS_STAT();

// Registers ZAS_STAT, _ST_OK, _ST_SAV, _ST_BLAD, _ST_CONST for calls by name.
void registerStatusFunctions();

}  // namespace zus
