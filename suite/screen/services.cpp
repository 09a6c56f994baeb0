// Month arithmetic, rounding, text and process services of the suite.
#include "suite/screen/services.h"

#include <filesystem>
#include <string>
#include <unistd.h>

#include "runtime/core/context.h"
#include "runtime/core/cp852.h"
#include "runtime/core/rounding.h"
#include "runtime/core/std_dates.h"
#include "runtime/term/keys.h"
#include "runtime/term/terminal.h"
#include "suite/company/company.h"
#include "suite/tables/table_defs.h"

namespace suite {
namespace {

using rt::daysInMonth;

int32_t payrollDay() {
  const rt::Value* d = rt::context().memvars.tryGet("lum_data");
  return d && d->isDate() ? d->date() : 0;
}

// Year and month of the month n months before the payroll month.
void monthBack(int n, int& y, int& m) {
  int d;
  splitDayNumber(addMonths(payrollDay(), -n), y, m, d);
}

std::string tokenAt(const std::string& s, const std::string& sep, int n) {
  if (sep.empty()) return n == 1 ? s : "";
  size_t start = 0;
  for (int i = 1;; ++i) {
    size_t at = s.find(sep, start);
    if (i == n) return s.substr(start, at == std::string::npos ? std::string::npos : at - start);
    if (at == std::string::npos) return "";
    start = at + sep.size();
  }
}

rt::Value date(int32_t d) { return rt::Value::date(d); }

}  // namespace

int32_t addMonths(int32_t day, int months) {
  if (day == 0) return 0;
  int y, m, d;
  splitDayNumber(day, y, m, d);
  int index = y * 12 + (m - 1) + months;
  y = index / 12;
  m = index % 12 + 1;
  return dayNumber(y, m, std::min(d, daysInMonth(y, m)));
}

int32_t firstOfMonth(int32_t day) {
  if (day == 0) return 0;
  int y, m, d;
  splitDayNumber(day, y, m, d);
  return dayNumber(y, m, 1);
}

int32_t lastOfMonth(int32_t day) {
  if (day == 0) return 0;
  int y, m, d;
  splitDayNumber(day, y, m, d);
  return dayNumber(y, m, daysInMonth(y, m));
}

void registerServiceFunctions() {
  rt::Functions& f = rt::functions();
  f.add("DOD_MIES", [](rt::Args& a) {
    return date(a[0].isDate() ? addMonths(a[0].date(), int(a[1].intOr(0))) : 0);
  });
  f.add("BOM", [](rt::Args& a) { return date(a[0].isDate() ? firstOfMonth(a[0].date()) : 0); });
  f.add("EOM", [](rt::Args& a) { return date(a[0].isDate() ? lastOfMonth(a[0].date()) : 0); });
  f.add("_ROK", [](rt::Args& a) {
    int y, m;
    monthBack(int(a[0].intOr(0)), y, m);
    return rt::Value::integer(y);
  });
  f.add("_MIESIAC", [](rt::Args& a) {
    int y, m;
    monthBack(int(a[0].intOr(0)), y, m);
    return rt::Value::integer(m);
  });
  // A value rounded to a multiple of the step, halves away from zero.
  f.add("LICZ_ZAOKR", [](rt::Args& a) {
    double v = a[0].numOr(0), step = a[1].numOr(0.01);
    if (step <= 0) return rt::Value::number(v, 2);
    double r = rt::roundHalfAway(v / step, 0) * step;
    return rt::Value::number(rt::roundHalfAway(r, 6), 2);
  });
  f.add("E_ROUND", [](rt::Args& a) {
    int dec = int(a[1].intOr(2));
    return rt::Value::number(rt::roundHalfAway(a[0].numOr(0), dec), dec);
  });
  f.add("STRZER", [](rt::Args& a) {
    std::string digits = std::to_string(int64_t(a[0].numOr(0)));
    size_t width = size_t(std::max<int64_t>(0, a[1].intOr(int64_t(digits.size()))));
    if (digits.size() < width) digits.insert(0, width - digits.size(), '0');
    return rt::Value::text(digits);
  });
  f.add("Z_DUZEJ", [](rt::Args& a) {
    std::string s = a[0].strOr("");
    if (!s.empty()) s[0] = char(rt::toUpper852(static_cast<unsigned char>(s[0])));
    return rt::Value::text(s);
  });
  // Arrows as the screen shows them.
  f.add("UNICHR", [](rt::Args& a) {
    switch (a[0].intOr(0)) {
      // By Unicode code point, or by the code page's own arrow codes 24 to 27.
      case 24: case 8593: return rt::Value::text("\x18");
      case 25: case 8595: return rt::Value::text("\x19");
      case 26: case 8594: return rt::Value::text("\x1A");
      case 27: case 8592: return rt::Value::text("\x1B");
      default: return rt::Value::text(" ");
    }
  });
  f.add("TOKEN", [](rt::Args& a) {
    return rt::Value::text(tokenAt(a[0].strOr(""), a[1].strOr(","), int(a[2].intOr(1))));
  });
  f.add("NUMTOKEN", [](rt::Args& a) {
    std::string s = a[0].strOr(""), sep = a[1].strOr(",");
    if (s.empty()) return rt::Value::integer(0);
    int n = 1;
    for (size_t at = s.find(sep); !sep.empty() && at != std::string::npos; at = s.find(sep, at + sep.size())) ++n;
    return rt::Value::integer(n);
  });
  f.add("E_TRANSFOR", [](rt::Args& a) {
    return rt::functions().call("TRANSFORM", {a[0], a[1]});
  });
  // The break key of a run: Esc typed meanwhile, confirmed by the user.
  f.add("PRZERWANIE", [](rt::Args&) {
    int key = rt::term::keyboard().inkey();
    if (key != rt::term::K_ESC) return rt::Value::logical(false);
    if (!rt::functions().has("DECYZJA")) return rt::Value::logical(true);
    return rt::functions().call("DECYZJA", {rt::Value::logical(false),
                                            rt::Value::text("Czy przerwac` operacje` ?")});
  });
  f.add("NAZWA_PROCESU", [](rt::Args&) {
    return rt::Value::text("P" + std::to_string(::getpid() % 10000000));
  });
  f.add("_PATH_TO_EXE", [](rt::Args&) {
    std::error_code ec;
    std::filesystem::path exe = std::filesystem::read_symlink("/proc/self/exe", ec);
    std::string dir = ec ? std::string("./") : exe.parent_path().string() + "/";
    return rt::Value::text(dir);
  });
  f.add("_INDEX_NAME", [](rt::Args& a) {
    const TableDef* t = findTable(a[0].strOr(""));
    int64_t n = a[1].intOr(1);
    if (!t || n < 1 || size_t(n) > t->tags.size()) return rt::Value::text("");
    return rt::Value::text(t->tags[size_t(n - 1)].name);
  });
}

}  // namespace suite
