// The payroll library's services the benefit program calls by name: the start-up check of the
// payroll data (`DANEPLAC` with its item lists `dplac_kod` and `dplac_skrot`), the library's
// initialisation (`INICJUJ`), the dictionary pickers and editor (`POBSLOWNIK`, `POBSLOWO`,
// `MODISLOW`), the payroll item picker (`SEL_SKL`) and the names the program requires
// (`ZAKR_T_D`, `PAR_UZYT`, `WYROZNIK`, `WYB_PRAC`, `PAR_PLAC`).
#pragma once

#include <string>
#include <vector>

namespace suite {

struct PayrollItem {
  std::string code;   // 4 characters
  std::string abbr;   // 11 characters
  std::string name;
  std::vector<int> selections;  // the DANEPLAC selections that list it
};

// The payroll items of the company (table SKLADNIK), in code order; empty when none.
std::vector<PayrollItem> payrollItems();

// Whether the payroll data are available: the employee table exists in the payroll directory.
bool payrollDataAvailable();

// `DANEPLAC`: fills the public arrays `dplac_kod` and `dplac_skrot` with the items of the
// selection and answers whether the payroll data are available.
bool DANEPLAC(int selection);

void registerPayrollFunctions();

}  // namespace suite
