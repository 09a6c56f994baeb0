// Months of the basis: the month code string, its fill-up flags and the twelve-month window.
//
// The code string (`te_mies`) holds two-digit month numbers "01".."12" in the order the user
// marked them, each month at most once; the flags (`mies_dop`) hold one fill-up flag per code in
// the same order. A code names a month of the window, whose year follows from the window end
// (`od_dat`): with the parameter `zusx_biez` 1 the window ends with the month before the end's
// month, otherwise with that month itself. BasisMonthMarks keeps codes and flags in step: every
// mark appends one code and one flag, every unmark removes both at the same position.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

namespace zus {

// "03,02,01" for the codes 03, 02, 01 (the trimmed string, two characters at a time).
std::string basisMonthsDisplayList(const std::string& codes);

// The twelve months of the month editor.
struct BasisMonthWindow {
  int endMonth = 1, endYear = 0;
  int biez = 1;

  static BasisMonthWindow ending(int32_t windowEnd, int biez);
  // Year of calendar month i (1..12) in the window.
  int yearOf(int month) const;
  // The window's latest month.
  int latestMonth() const;
  // The months from the oldest to the latest.
  std::vector<int> oldestFirst() const;
  // The entry text of month i: its stored name, its year and blanks (24 characters shown).
  std::string entryText(int month) const;
};

// The month names as stored, 12 characters each on screen.
const std::array<const char*, 12>& basisMonthNames();

class BasisMonthMarks {
 public:
  // Marks from a code string and its flags; a missing flag reads as not filled up, flags beyond
  // the codes are dropped, codes that name no month are ignored.
  BasisMonthMarks(const std::string& codes, const std::vector<bool>& flags);

  bool marked(int month) const { return marked_[size_t(month - 1)]; }
  bool filledUp(int month) const { return filled_[size_t(month - 1)]; }
  const std::string& codes() const { return codes_; }
  const std::vector<bool>& flags() const { return flags_; }

  void mark(int month);
  void markFilledUp(int month);
  void unmark(int month);
  // Cuts the codes to 24 characters, then marks every unmarked month in month order.
  void markAll();
  void clear();

  // The marks form at most one unbroken run of months in window order.
  bool oneRun(const BasisMonthWindow& window) const;

 private:
  void append(int month, bool filled);
  std::array<bool, 12> marked_{}, filled_{};
  std::string codes_;
  std::vector<bool> flags_;
};

// What a key does in the month list (the key routine of the list choice): 0 ends the choice,
// 1 ends it with the current month, 2 lets the list handle the key. `escaped` is set by Esc.
struct BasisMonthKeys {
  int ins = 22, enter = 13, esc = 27;
};
int applyBasisMonthKey(BasisMonthMarks& marks, const BasisMonthKeys& keys, int key, int month,
                       bool& escaped);

// Text shown in the list for month i with its marks.
std::string basisMonthShownText(const BasisMonthWindow& window, const BasisMonthMarks& marks,
                                int month);

}  // namespace zus
