// The payroll library's values by name: archive values by depth (`POB_AR`), payroll input items
// read (`WEZ_WE`), written (`SAV_SKL`) and taken back (`DEL_SKL`), the work-time fraction
// (`WYM_ETAT`), the access check (`SPRMAINUPR`: the employee MAIN stands on may be shown unless
// the environment variable ZEF_ODMOWA lists the number) and the tables of the table functions
// (`INIT_FUN_TABL`).
//
// An input item's value is a signed 32-bit little-endian integer in the first four bytes of
// `DANE_WE->wartosc`, in hundredths; `SAV_SKL` adds to the item (creating it when missing) and
// `DEL_SKL` takes the value back, so a repeated transfer first takes back what it sent.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace suite {

int32_t decodeInputValue(const std::string& wartosc);
std::string encodeInputValue(int32_t hundredths);

// The value of the archive record `archiw` stands on, `depth` months back from the payroll month;
// none when the archive keeps no such month (a depth outside the months it holds) or `archiw`
// stands on no record. A month the archive holds with nothing in it is 0. `POB_AR` by name
// gives NIL for none.
std::optional<double> archiveValueAt(int depth);

void registerPayrollValueFunctions();

}  // namespace suite
