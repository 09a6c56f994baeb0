// The payroll library's amount units, as the transfer to payroll reads them.
//
// Payroll input amounts were once stored in ten-thousandths and are now stored in hundredths; the
// library's public `czy_w_nowych` says which units are in force and `maxlong` is the limit above
// which an amount remembered by a benefit record must still be in the old form. The library
// declares both when it starts; `declarePayrollUnits` gives them their values for a company whose
// library set-up did not (current units, the largest stored integer).
#pragma once

namespace suite {

void declarePayrollUnits();

// 100 when the current units are in force, else 10000.
double payrollAmountDivisor();
// `maxlong`.
double payrollOldAmountLimit();

}  // namespace suite
