// Archive values, payroll input items and table functions of the payroll library.
#include "suite/payroll/payroll_values.h"

#include <climits>
#include <cmath>
#include <cstdlib>
#include <sstream>

#include "runtime/core/context.h"
#include "runtime/core/rounding.h"
#include "runtime/core/std_strings.h"
#include "runtime/db/work_areas.h"
#include "suite/payroll/work_fraction.h"
#include "suite/tables/table_defs.h"
#include "suite/tables/table_ops.h"

namespace suite {
namespace {

// Runs `body` with the alias selected, the previous area selected again afterwards; false when
// the alias is not open.
// (Selected directly, not by name: the archive reader runs it for every month of every item.)
template <typename Body>
bool inAlias(const char* alias, Body body) {
  rt::db::WorkAreas& areas = rt::db::workAreas();
  int area = areas.numberOf(alias);
  if (area <= 0) return false;
  int previous = areas.selectedNumber();
  areas.select(area);
  body();
  if (previous > 0) areas.select(previous);
  return true;
}

// The access check of the stand-in: every employee is shown except the numbers listed, separated
// by commas or blanks, in the environment variable ZEF_ODMOWA (a way to try a refused employee).
bool employeeRefused() {
  const char* listed = std::getenv("ZEF_ODMOWA");
  if (!listed || !*listed) return false;
  std::string stored;
  inAlias("main", [&] { stored = field("nr_prac").strOr(""); });
  const std::string_view employee = rt::trimBlanks(stored);
  if (employee.empty()) return false;
  std::string numbers(listed);
  for (char& c : numbers)
    if (c == ',') c = ' ';
  std::istringstream in(numbers);
  for (std::string n; in >> n;)
    if (n == employee) return true;
  return false;
}

// An input value in hundredths, when it fits the item's four bytes.
bool fitsItem(double hundredths) {
  return hundredths >= double(INT32_MIN) && hundredths <= double(INT32_MAX);
}

// SAV_SKL/DEL_SKL on the selected DANE_WE: 0 done, 1 access refused, 3 a value the item cannot
// hold (it is refused, never wrapped), 4 nothing to take back.
int changeInput(const std::string& code, const std::string& nr, double amount, bool add) {
  std::string key = nr + code;
  double change = rt::roundHalfAway(amount * 100, 0);
  if (!fitsItem(change)) return 3;
  if (call("DBSEEK", {rt::Value::text(key)}).logicalOr(false)) {
    if (!call("RLOCK").logicalOr(false)) return 1;
    double now = decodeInputValue(field("wartosc").strOr(""));
    double next = add ? now + change : now - change;
    if (!fitsItem(next)) return 3;
    setField("wartosc", rt::Value::text(encodeInputValue(int32_t(next))));
    call("DBCOMMIT");
    return 0;
  }
  if (!add) return 4;
  // The new item is written whole with its append: a kill leaves no blank item behind.
  if (!appendRecord({{"nr_prac", rt::Value::text(nr)},
                     {"kod", rt::Value::text(code)},
                     {"wartosc", rt::Value::text(encodeInputValue(int32_t(change)))}}))
    return 1;
  call("DBCOMMIT");
  return 0;
}

rt::Value numbers(std::initializer_list<double> values) {
  rt::Value a = rt::Value::newArray(0);
  for (double v : values) a.arr().push_back(rt::Value::number(v, 2));
  return a;
}

}  // namespace

int32_t decodeInputValue(const std::string& w) {
  uint32_t v = 0;
  for (size_t i = 0; i < 4; ++i)
    v |= uint32_t(i < w.size() ? static_cast<unsigned char>(w[i]) : 0) << (8 * i);
  return int32_t(v);
}

std::string encodeInputValue(int32_t hundredths) {
  uint32_t v = uint32_t(hundredths);
  std::string w(4, '\0');
  for (size_t i = 0; i < 4; ++i) w[i] = char((v >> (8 * i)) & 0xFF);
  return w;
}

std::optional<double> archiveValueAt(int depth) {
  std::optional<double> value;
  if (depth < 0 || depth >= kArchiveDepths) return value;
  inAlias("archiw", [&] {
    if (!call("EOF").logicalOr(true)) value = field(archiveField(depth)).numOr(0);
  });
  return value;
}

void registerPayrollValueFunctions() {
  rt::Functions& f = rt::functions();
  // The value of the positioned archive record `depth` months back from the payroll month; NIL
  // when the archive keeps no such month.
  f.add("POB_AR", [](rt::Args& a) {
    int64_t depth = a[0].intOr(0);
    if (depth < 0 || depth >= kArchiveDepths) return rt::Value();
    std::optional<double> value = archiveValueAt(int(depth));
    return value ? rt::Value::number(*value, 2) : rt::Value();
  });
  f.add("WEZ_WE", [](rt::Args& a) {
    std::string key = a[0].strOr("") + a[1].strOr("");
    if (!call("DBSEEK", {rt::Value::text(key)}).logicalOr(false)) return rt::Value::logical(false);
    a.assign(2, rt::Value::number(decodeInputValue(field("wartosc").strOr("")) / 100.0, 2));
    return rt::Value::logical(true);
  });
  f.add("SAV_SKL", [](rt::Args& a) {
    return rt::Value::integer(changeInput(a[0].strOr(""), a[2].strOr(""), a[3].numOr(0), true));
  });
  f.add("DEL_SKL", [](rt::Args& a) {
    return rt::Value::integer(changeInput(a[0].strOr(""), a[2].strOr(""), a[3].numOr(0), false));
  });
  f.add("WYM_ETAT", [](rt::Args&) { return rt::Value::number(workFraction(), 2); });
  f.add("SPRMAINUPR", [](rt::Args&) { return rt::Value::logical(!employeeRefused()); });
  // The table function of the demo payroll: the percentage of a benefit by years of service,
  // code "F001" (its variables end in "1").
  f.add("INIT_FUN_TABL", [](rt::Args&) {
    rt::Memvars& v = rt::context().memvars;
    v.declarePublic("ft_il_p1", rt::Value::integer(3));
    v.declarePublic("ft_pocz_1", numbers({0, 5, 10, 60}));
    v.declarePublic("ft_st1_1", numbers({80, 90, 100}));
    v.declarePublic("ft_st2_1", numbers({0, 0, 0}));
    return rt::Value();
  });
}

}  // namespace suite
