// Dates: day numbers, text forms after SET DATE FORMAT and SET EPOCH, and the clock.
//
// A date is its Julian day number (2460341 is 31.01.2024); 0 is the empty date. Text forms follow
// the date format in force (runtime settings); two-digit years are placed by the epoch (with 1960:
// "95" is 1995, "09" is 2009).
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

namespace rt {

// The day number of a calendar date, or 0 when there is no such date.
int32_t makeDate(int year, int month, int day);
// The calendar date of a day number; the empty date gives 0, 0, 0.
void splitDate(int32_t day, int& year, int& month, int& dayOfMonth);
int daysInMonth(int year, int month);
// 1 = Sunday ... 7 = Saturday; 0 for the empty date.
int dayOfWeek(int32_t day);

// DTOC / CTOD with the date format and epoch in force.
std::string dtoc(int32_t day);
// Day, month and year in the format's order; any non-digit separates the parts, so a blank may
// stand for a leading zero; text after the year is ignored. An impossible or unreadable text
// gives the empty date.
int32_t ctod(std::string_view text);
// DTOS: "yyyymmdd", eight blanks for the empty date.
std::string dtos(int32_t day);
// The same eight bytes written at out (a record's date field, a key buffer).
void dtosInto(int32_t day, char* out);
// STOD: exactly eight digits "yyyymmdd", no epoch; anything else gives the empty date.
int32_t stod(std::string_view text);

// A two-digit year placed by the epoch in force.
int applyEpoch(int twoDigitYear);

// The clock: today's day number and the seconds since midnight. Tests and the headless terminal
// replace it with a controllable one; setClock(nullptr) returns to the system clock.
struct ClockReading {
  int32_t day = 0;
  double secondsOfDay = 0;
};
using Clock = std::function<ClockReading()>;
void setClock(Clock clock);
ClockReading now();

}  // namespace rt
