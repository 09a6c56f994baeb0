// Month code string, fill-up flags and window of the basis months (see basis_months_codes.h).
#include "zus/register/basis_months_codes.h"

#include <cstdio>

#include "runtime/core/std_dates.h"
#include "runtime/core/std_strings.h"
#include "runtime/term/keys.h"

namespace zus {
namespace {

std::string code(int month) {
  char buf[4];
  std::snprintf(buf, sizeof buf, "%02d", month);
  return buf;
}

// The month a two-character code names, 0 for none.
int monthOfCode(const std::string& twoChars) {
  std::string t = rt::alltrim(twoChars);
  if (t.empty() || t.size() > 2) return 0;
  int m = 0;
  for (char ch : t) {
    if (ch < '0' || ch > '9') return 0;
    m = m * 10 + (ch - '0');
  }
  return m >= 1 && m <= 12 ? m : 0;
}

}  // namespace

std::string basisMonthsDisplayList(const std::string& codes) {
  std::string trimmed = rt::rtrim(codes), list;
  for (size_t i = 0; i < trimmed.size(); i += 2) {
    if (!list.empty()) list += ",";
    list += trimmed.substr(i, 2);
  }
  return list;
}

const std::array<const char*, 12>& basisMonthNames() {
  static const std::array<const char*, 12> names{" STYCZEN`    ", " LUTY       ",  " MARZEC     ",
                                                 " KWIECIEN`   ", " MAJ        ",  " CZERWIEC   ",
                                                 " LIPIEC     ",  " SIERPIEN`   ", " WRZESIEN`   ",
                                                 " PAZ`DZIERNIK", " LISTOPAD   ",  " GRUDZIEN`   "};
  return names;
}

BasisMonthWindow BasisMonthWindow::ending(int32_t windowEnd, int biez) {
  BasisMonthWindow w;
  int y, m, d;
  rt::splitDate(windowEnd, y, m, d);
  w.endMonth = m == 0 ? 1 : m;
  w.endYear = y;
  w.biez = biez;
  return w;
}

int BasisMonthWindow::yearOf(int month) const {
  bool thisYear = biez == 1 ? month < endMonth : month <= endMonth;
  return thisYear ? endYear : endYear - 1;
}

int BasisMonthWindow::latestMonth() const {
  if (biez != 1) return endMonth;
  return endMonth == 1 ? 12 : endMonth - 1;
}

std::vector<int> BasisMonthWindow::oldestFirst() const {
  std::vector<int> months;
  int latest = latestMonth();
  for (int i = latest + 1; i <= 12; ++i) months.push_back(i);
  for (int i = 1; i <= latest; ++i) months.push_back(i);
  return months;
}

std::string BasisMonthWindow::entryText(int month) const {
  char year[16];
  std::snprintf(year, sizeof year, "%04d", yearOf(month) < 0 ? 0 : yearOf(month));
  return std::string(basisMonthNames()[size_t(month - 1)]) + " " + year + "       ";
}

BasisMonthMarks::BasisMonthMarks(const std::string& codes, const std::vector<bool>& flags) {
  std::string trimmed = rt::rtrim(codes);
  for (size_t i = 0, k = 0; i < trimmed.size(); i += 2, ++k) {
    int month = monthOfCode(trimmed.substr(i, 2));
    if (month == 0 || marked(month)) continue;  // a code that names no month, or twice
    append(month, k < flags.size() && flags[k]);
  }
}

void BasisMonthMarks::append(int month, bool filled) {
  marked_[size_t(month - 1)] = true;
  filled_[size_t(month - 1)] = filled;
  codes_ = rt::rtrim(codes_) + code(month);
  flags_.push_back(filled);
}

void BasisMonthMarks::mark(int month) {
  if (!marked(month)) append(month, false);
}

void BasisMonthMarks::markFilledUp(int month) {
  if (!marked(month)) append(month, true);
}

void BasisMonthMarks::unmark(int month) {
  marked_[size_t(month - 1)] = filled_[size_t(month - 1)] = false;
  std::string trimmed = rt::rtrim(codes_);
  for (size_t i = 0; i < trimmed.size(); i += 2) {
    if (trimmed.substr(i, 2) != code(month)) continue;
    trimmed.erase(i, 2);
    if (i / 2 < flags_.size()) flags_.erase(flags_.begin() + long(i / 2));
    break;
  }
  codes_ = trimmed;
}

void BasisMonthMarks::markAll() {
  if (codes_.size() > 24) codes_.resize(24);
  for (int month = 1; month <= 12; ++month) mark(month);
}

void BasisMonthMarks::clear() {
  codes_.clear();
  flags_.clear();
  marked_.fill(false);
  filled_.fill(false);
}

bool BasisMonthMarks::oneRun(const BasisMonthWindow& window) const {
  int runs = 0;
  bool inRun = false;
  for (int month : window.oldestFirst()) {
    if (marked(month) && !inRun) ++runs;
    inRun = marked(month);
  }
  return runs <= 1;
}

int applyBasisMonthKey(BasisMonthMarks& marks, const BasisMonthKeys& keys, int key, int month,
                       bool& escaped) {
  bool valid = month >= 1 && month <= 12;
  if (key == keys.enter) return 0;
  if (key == keys.esc) {
    escaped = true;
    return 0;
  }
  if (key == keys.ins) {
    if (valid && !marks.marked(month))
      marks.mark(month);
    else if (valid && !marks.filledUp(month))
      marks.unmark(month);
    return 1;
  }
  if (key == rt::term::K_CTRL_INS) {
    marks.markAll();
    return 1;
  }
  if (key == rt::term::K_CTRL_D) {
    if (valid && !marks.marked(month))
      marks.markFilledUp(month);
    else if (valid && marks.filledUp(month))
      marks.unmark(month);
    return 1;
  }
  if (key == rt::term::K_CTRL_DEL) {
    marks.clear();
    return 1;
  }
  return 2;
}

std::string basisMonthShownText(const BasisMonthWindow& window, const BasisMonthMarks& marks,
                                int month) {
  std::string entry = window.entryText(month);
  if (!marks.marked(month)) return entry;
  if (!marks.filledUp(month)) return "\x10" + entry.substr(1) + "\x11";
  return "\x10" + rt::alltrim(entry) + "  DOP  " + "\x11";
}

}  // namespace zus
