// Day numbers, date texts, the clock and the date functions DATE, TIME, YEAR, MONTH, DAY, DOW...
#include "runtime/core/std_dates.h"

#include <cctype>
#include <cstdlib>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <ctime>

#include "runtime/core/context.h"
#include "runtime/core/std_args.h"
#include "runtime/core/std_register.h"

namespace rt {
namespace {

using namespace stdargs;

bool isLeap(int y) { return (y % 4 == 0 && y % 100 != 0) || y % 400 == 0; }

ClockReading systemClock() {
  using namespace std::chrono;
  auto t = system_clock::now();
  std::time_t secs = system_clock::to_time_t(t);
  std::tm local{};
  localtime_r(&secs, &local);
  double fraction = double(duration_cast<milliseconds>(t.time_since_epoch()).count() % 1000) / 1000.0;
  ClockReading r;
  r.day = makeDate(local.tm_year + 1900, local.tm_mon + 1, local.tm_mday);
  r.secondsOfDay = local.tm_hour * 3600 + local.tm_min * 60 + local.tm_sec + fraction;
  return r;
}

Clock& clockHook() {
  static Clock c;
  return c;
}

// The order of day, month and year in a date format, and how many digits it gives the year.
struct DateLayout {
  char order[3] = {'D', 'M', 'Y'};
  int yearDigits = 4;
};

// How many characters from i repeat the letter at i, in either case ("dd" in "dd.mm.yyyy").
size_t runAt(const std::string& format, size_t i, char& upperLetter) {
  upperLetter = char(std::toupper(static_cast<unsigned char>(format[i])));
  size_t run = 1;
  while (i + run < format.size() && std::toupper(static_cast<unsigned char>(format[i + run])) == upperLetter) ++run;
  return run;
}

DateLayout layoutOf(const std::string& format) {
  DateLayout l;
  int found = 0;
  for (size_t i = 0; i < format.size() && found < 3;) {
    char c;
    size_t run = runAt(format, i, c);
    if (c == 'D' || c == 'M' || c == 'Y') {
      l.order[found++] = c;
      if (c == 'Y') l.yearDigits = int(run);
    }
    i += run;
  }
  return l;
}

std::string weekdayName(int dow) {
  static const char* names[] = {"Sunday", "Monday", "Tuesday", "Wednesday", "Thursday", "Friday", "Saturday"};
  return dow >= 1 && dow <= 7 ? names[dow - 1] : "";
}

std::string monthName(int m) {
  static const char* names[] = {"January", "February", "March",     "April",   "May",      "June",
                                "July",    "August",   "September", "October", "November", "December"};
  return m >= 1 && m <= 12 ? names[m - 1] : "";
}

int datePart(const Args& a, const char* fn, int which) {
  if (!a[0].isDate()) argumentError(fn);
  int y, m, d;
  splitDate(a[0].date(), y, m, d);
  return which == 0 ? y : which == 1 ? m : d;
}

}  // namespace

int daysInMonth(int year, int month) {
  static const int days[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  if (month < 1 || month > 12) return 0;
  return month == 2 && isLeap(year) ? 29 : days[month - 1];
}

int32_t makeDate(int year, int month, int day) {
  if (year < 1 || year > 9999 || month < 1 || month > 12 || day < 1 || day > daysInMonth(year, month)) return 0;
  int a = (14 - month) / 12;
  int y = year + 4800 - a;
  int m = month + 12 * a - 3;
  return day + (153 * m + 2) / 5 + 365 * y + y / 4 - y / 100 + y / 400 - 32045;
}

void splitDate(int32_t day, int& year, int& month, int& dayOfMonth) {
  if (day <= 0) {
    year = month = dayOfMonth = 0;
    return;
  }
  int64_t a = int64_t(day) + 32044;
  int64_t b = (4 * a + 3) / 146097;
  int64_t c = a - 146097 * b / 4;
  int64_t d = (4 * c + 3) / 1461;
  int64_t e = c - 1461 * d / 4;
  int64_t m = (5 * e + 2) / 153;
  dayOfMonth = int(e - (153 * m + 2) / 5 + 1);
  month = int(m + 3 - 12 * (m / 10));
  year = int(100 * b + d - 4800 + m / 10);
}

int dayOfWeek(int32_t day) { return day <= 0 ? 0 : int((int64_t(day) + 1) % 7) + 1; }

int applyEpoch(int twoDigitYear) {
  int epoch = context().settings.epoch;
  int year = (epoch / 100) * 100 + twoDigitYear;
  if (year < epoch) year += 100;
  return year;
}

std::string dtoc(int32_t day) {
  const std::string& format = context().settings.dateFormat;
  int y = 0, m = 0, d = 0;
  splitDate(day, y, m, d);
  std::string out;
  for (size_t i = 0; i < format.size();) {
    char c;
    size_t run = runAt(format, i, c);
    if (c == 'D' || c == 'M' || c == 'Y') {
      // A day number outside the years 1..9999 (only arithmetic makes one) prints its digits only.
      int value = std::abs(c == 'D' ? d : c == 'M' ? m : (run < 4 ? y % 100 : y));
      std::string digits(run, ' ');
      if (day > 0)
        for (size_t k = run; k-- > 0; value /= 10) digits[k] = char('0' + value % 10);
      out += digits;
    } else {
      out.append(run, format[i]);
    }
    i += run;
  }
  return out;
}

int32_t ctod(std::string_view text) {
  DateLayout layout = layoutOf(context().settings.dateFormat);
  int parts[3] = {-1, -1, -1};
  int digitsOfYear = 0;
  size_t i = 0;
  for (int p = 0; p < 3; ++p) {
    while (i < text.size() && !std::isdigit(static_cast<unsigned char>(text[i]))) ++i;
    if (i >= text.size()) break;
    int value = 0, count = 0;
    while (i < text.size() && std::isdigit(static_cast<unsigned char>(text[i])) && count < 9) {
      value = value * 10 + (text[i++] - '0');
      ++count;
    }
    parts[p] = value;
    if (layout.order[p] == 'Y') digitsOfYear = count;
  }
  int d = -1, m = -1, y = -1;
  for (int p = 0; p < 3; ++p) {
    if (layout.order[p] == 'D') d = parts[p];
    else if (layout.order[p] == 'M') m = parts[p];
    else y = parts[p];
  }
  if (d < 0 || m < 0 || y < 0) return 0;  // a missing part: no date
  if (digitsOfYear <= 2) y = applyEpoch(y);
  return makeDate(y, m, d);
}

void dtosInto(int32_t day, char* out) {
  if (day <= 0) {
    std::memset(out, ' ', 8);
    return;
  }
  int y, m, d;
  splitDate(day, y, m, d);
  // Digits written by hand: index keys such as nr_prac + DTOS(do) call this once per record.
  unsigned year = unsigned(std::abs(y)) % 10000;
  for (int i = 3; i >= 0; --i, year /= 10) out[i] = char('0' + year % 10);
  out[4] = char('0' + m / 10);
  out[5] = char('0' + m % 10);
  out[6] = char('0' + d / 10);
  out[7] = char('0' + d % 10);
}

std::string dtos(int32_t day) {
  std::string s(8, ' ');
  dtosInto(day, s.data());
  return s;
}

int32_t stod(std::string_view text) {
  if (text.size() != 8) return 0;
  for (char c : text)
    if (!std::isdigit(static_cast<unsigned char>(c))) return 0;
  auto num = [&](size_t from, size_t n) {
    int v = 0;
    for (size_t k = from; k < from + n; ++k) v = v * 10 + (text[k] - '0');
    return v;
  };
  return makeDate(num(0, 4), num(4, 2), num(6, 2));
}

void setClock(Clock clock) { clockHook() = std::move(clock); }

ClockReading now() {
  const Clock& c = clockHook();
  return c ? c() : systemClock();
}

namespace detail {

void registerDateFunctions(Functions& f) {
  f.add("DATE", [](Args&) { return Value::date(now().day); });
  f.add("TIME", [](Args&) {
    int s = int(now().secondsOfDay);
    char buf[16];
    std::snprintf(buf, sizeof buf, "%02d:%02d:%02d", (s / 3600) % 24, (s / 60) % 60, s % 60);
    return Value::text(buf);
  });
  f.add("SECONDS", [](Args&) { return Value::number(int64_t(now().secondsOfDay * 100) / 100.0, 2); });
  f.add("YEAR", [](Args& a) { return integer(datePart(a, "YEAR", 0), 5); });
  f.add("MONTH", [](Args& a) { return integer(datePart(a, "MONTH", 1), 3); });
  f.add("DAY", [](Args& a) { return integer(datePart(a, "DAY", 2), 3); });
  f.add("DOW", [](Args& a) {
    if (!a[0].isDate()) argumentError("DOW");
    return integer(dayOfWeek(a[0].date()), 3);
  });
  f.add("CDOW", [](Args& a) {
    if (!a[0].isDate()) argumentError("CDOW");
    return Value::text(weekdayName(dayOfWeek(a[0].date())));
  });
  f.add("CMONTH", [](Args& a) { return Value::text(monthName(datePart(a, "CMONTH", 1))); });
  f.add("DTOC", [](Args& a) {
    if (!a[0].isDate()) argumentError("DTOC");
    return Value::text(dtoc(a[0].date()));
  });
  f.add("CTOD", [](Args& a) { return Value::date(ctod(needStr(a, 0, "CTOD"))); });
  f.add("DTOS", [](Args& a) {
    if (!a[0].isDate()) argumentError("DTOS");
    return Value::text(dtos(a[0].date()));
  });
  f.add("STOD", [](Args& a) { return Value::date(a[0].isChar() ? rt::stod(a[0].str()) : 0); });
}

}  // namespace detail
}  // namespace rt
