// The value rules on the current benefit record: `_ZASILEK`, `_NETTO`, `ZAP_PBZ` and their
// helpers, reading the record of `nieobec`, the employee of `main` and the program parameters.
//
// `_ZASILEK` hands back through the running calculation's variables: `_stawka` (daily rate),
// and, only while they are visible (the basis window declares them), `tekst_wysw` (the four
// display texts) and `kwota_tmp` (the parental shortfall). `kom_mac` remembers, per employee,
// that the missing parental link was reported.
#pragma once

#include "runtime/db/work_area.h"
#include "zus/calc/value_amounts.h"

namespace zus::calcrun {

BenefitFields readBenefit(rt::db::WorkArea& nieobec);
ValueSettings programValueSettings();

// `_ZASILEK` on the current record.
double currentBenefitValue(const std::string& kind, int days, double basis);
// `_NETTO` on the current record.
double currentNetAmount(double value);

// `ZAP_PBZ`: the current record's basis copied from the employee's earlier benefit; true when a
// source was found and written.
bool copyEarlierBasis();

// The minimum-wage daily rate: the minimum wage for the work-time fraction less the employee's
// contributions, per day of a 30-day month (`min_pl_br`, `wymiar_et`, `zusx_sprsk`).
double minimumWageDailyRate();
// Asks whether the minimum-wage daily rate replaces a lower one; in a run over many employees the
// question names the employee MAIN stands on.
bool confirmMinimumWageRate();

// The archive value at depth 0 of the system pseudo-employee's item, 0 when the item is empty or
// not archived; the selected area and the archive's record are kept.
double pseudoEmployeeValue(const std::string& item);

void registerValueFunctions();

}  // namespace zus::calcrun
