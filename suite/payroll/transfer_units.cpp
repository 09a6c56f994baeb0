// The payroll library's amount units: `czy_w_nowych` and `maxlong`.
#include "suite/payroll/transfer_units.h"

#include "runtime/core/context.h"

namespace suite {
namespace {

constexpr double kLargestStoredInteger = 2147483647.0;

rt::Memvars& vars() { return rt::context().memvars; }

}  // namespace

void declarePayrollUnits() {
  const rt::Value* current = vars().tryGet("czy_w_nowych");
  if (!current || !current->isLogical()) vars().declarePublic("czy_w_nowych", rt::Value::logical(true));
  const rt::Value* limit = vars().tryGet("maxlong");
  if (!limit || !limit->isNum()) vars().declarePublic("maxlong", rt::Value::number(kLargestStoredInteger));
}

double payrollAmountDivisor() {
  const rt::Value* current = vars().tryGet("czy_w_nowych");
  return !current || current->logicalOr(true) ? 100.0 : 10000.0;
}

double payrollOldAmountLimit() {
  const rt::Value* limit = vars().tryGet("maxlong");
  return limit ? limit->numOr(kLargestStoredInteger) : kLargestStoredInteger;
}

}  // namespace suite
