// The basis routines of the calculation in the by-name world: `PODST_OBL` over the run's working
// variables, the month table published under its names for the routines called while it runs,
// the saved basis writer `NZAP_DANE` and the register's viewer `NVIEW_DANE`.
#pragma once

#include <string>

#include "zus/calc/basis_months.h"
#include "zus/calc/saved_basis_record.h"

namespace zus::basis {

// `PODST_OBL`: the basis of the current NIEOBEC record from the payroll archive. False when the
// archive lacks what it needs (`tylko_stale` true, `ten_arch_stat` the status to store).
bool PODST_OBL(const std::string& basisItem);

// `NVIEW_DANE`: the saved basis of the current record in the basis window.
void NVIEW_DANE();

// The month table under its names (`historia`, `_mies`, `podst_cz`, ...), assigned to the
// visible variables; and read back from them.
void publishMonthTable(const MonthTable& t);
MonthTable monthTableFromVars();

// The basis set of a computed table.
struct BasisTotals {
  Num auxiliary;
  Num daily;
  std::string remark;
  int32_t insuranceStart = 0;
  std::string kindName;
  std::array<std::string, 4> texts;
};
BasisSet basisSetOf(const MonthTable& t, const BasisTotals& totals);

// `NZAP_DANE` into the current NIEOBEC record (positioned and locked by the caller).
void writeSavedRecord(const BasisSet& b);

// The by-name routines of the month table.
double KOREKTA_MC();

}  // namespace zus::basis
