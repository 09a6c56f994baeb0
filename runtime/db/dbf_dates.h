// Dates as the tables store them: "YYYYMMDD" text and Julian day numbers (0 = empty date).
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace rt::db {

// Julian day number of a proleptic Gregorian date.
inline int32_t julianFromYmd(int y, int m, int d) {
  int a = (14 - m) / 12;
  int yy = y + 4800 - a;
  int mm = m + 12 * a - 3;
  return d + (153 * mm + 2) / 5 + 365 * yy + yy / 4 - yy / 100 + yy / 400 - 32045;
}

// As julianFromYmd, but 0 (the empty date) for a date that cannot exist.
inline int32_t julianFromYmdSafe(int y, int m, int d) {
  if (y < 1 || m < 1 || m > 12 || d < 1 || d > 31) return 0;
  return julianFromYmd(y, m, d);
}

inline void ymdFromJulian(int32_t jd, int& y, int& m, int& d) {
  int a = jd + 32044;
  int b = (4 * a + 3) / 146097;
  int c = a - 146097 * b / 4;
  int dd = (4 * c + 3) / 1461;
  int e = c - 1461 * dd / 4;
  int mm = (5 * e + 2) / 153;
  d = e - (153 * mm + 2) / 5 + 1;
  m = mm + 3 - 12 * (mm / 10);
  y = 100 * b + dd - 4800 + mm / 10;
}

// "YYYYMMDD" to a day number; blanks or anything unreadable give 0 (the empty date).
inline int32_t julianFromDtos(std::string_view s) {
  if (s.size() < 8) return 0;
  int v[8];
  for (int i = 0; i < 8; ++i) {
    if (s[i] < '0' || s[i] > '9') return 0;
    v[i] = s[i] - '0';
  }
  int y = v[0] * 1000 + v[1] * 100 + v[2] * 10 + v[3];
  int m = v[4] * 10 + v[5];
  int d = v[6] * 10 + v[7];
  if (y == 0 || m < 1 || m > 12 || d < 1 || d > 31) return 0;
  return julianFromYmd(y, m, d);
}

// Writes 8 bytes: "YYYYMMDD", or 8 blanks for the empty date.
inline void dtosInto(int32_t jd, char* out) {
  if (jd <= 0) {
    for (int i = 0; i < 8; ++i) out[i] = ' ';
    return;
  }
  int y, m, d;
  ymdFromJulian(jd, y, m, d);
  int v[8] = {y / 1000 % 10, y / 100 % 10, y / 10 % 10, y % 10, m / 10, m % 10, d / 10, d % 10};
  for (int i = 0; i < 8; ++i) out[i] = char('0' + v[i]);
}

inline std::string dtos(int32_t jd) {
  std::string s(8, ' ');
  dtosInto(jd, s.data());
  return s;
}

}  // namespace rt::db
