// e2e_benefit_company DIR COUNT: the demo company in DIR (made when missing) with COUNT more
// calculated sick-pay records paid in the payroll month, spread over every employee, for the
// end-to-end tests of the transfer to payroll. Written through the table engine, so that the
// indexes hold the new records.
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <string>
#include <vector>

#include "runtime/core/core_functions.h"
#include "runtime/core/error.h"
#include "runtime/core/std_functions.h"
#include "runtime/db/table_functions.h"
#include "suite/demo/demo_calendar.h"
#include "suite/demo/demo_company.h"
#include "suite/register.h"
#include "suite/tables/table_ops.h"

namespace {

rt::Value txt(const std::string& s) { return rt::Value::text(s); }
rt::Value num(double v, int dec = 0) { return rt::Value::number(v, dec); }

void use(const std::string& path, const char* alias) {
  suite::call("DBUSEAREA", {rt::Value::logical(true), rt::Value(), txt(path), txt(alias), rt::Value::logical(false),
                            rt::Value::logical(false)});
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 3) {
    std::fprintf(stderr, "usage: e2e_benefit_company DIR COUNT\n");
    return 2;
  }
  const std::string dir = std::string(argv[1]) + "/";
  const int count = std::atoi(argv[2]);
  try {
    rt::registerCoreFunctions();
    rt::registerStandardFunctions();
    rt::db::registerTableFunctions();
    suite::registerSuiteFunctions();
    if (!suite::companyExists(dir)) suite::createDemoCompany(dir);

    std::vector<std::string> employees;
    use(dir + "MAIN.dbf", "main");
    for (suite::call("DBGOTOP"); !suite::call("EOF").logicalOr(true); suite::call("DBSKIP"))
      employees.push_back(suite::field("nr_prac").strOr(""));
    suite::call("DBCLOSEAREA");

    std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    suite::demo::Month payroll{local.tm_year + 1900, local.tm_mon + 1};
    suite::demo::Month last = suite::demo::monthsBack(payroll, 1);
    suite::demo::Random rnd{20261211};
    use(dir + "NIEOBEC.dbf", "nieobec");
    for (int i = 0; i < count; ++i) {
      int days = rnd.between(1, 14);
      int from = suite::dayNumber(last.year, last.month, 1) + rnd.between(0, 13);
      suite::appendRecord({{"nr_prac", txt(employees[size_t(i) % employees.size()])},
                           {"od", rt::Value::date(from)},
                           {"do", rt::Value::date(from + days - 1)},
                           {"l_dni", num(days)},
                           {"dni_rob", num(rnd.between(0, days / 3))},
                           {"zasilek", txt("Z10")},
                           {"procent", num(80)},
                           {"wartosc", num(rnd.between(5000, 300000) / 100.0, 2)},
                           {"dat_wyp", rt::Value::date(suite::dayNumber(payroll.year, payroll.month, 10))},
                           {"status", num(4)},
                           {"place", rt::Value::logical(false)}});
    }
    suite::call("DBCOMMIT");
    suite::call("DBCLOSEAREA");
    return 0;
  } catch (const rt::Error& e) {
    std::fprintf(stderr, "e2e_benefit_company: %s (%s)\n", e.what(), e.file().c_str());
    return 1;
  }
}
