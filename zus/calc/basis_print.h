// `DRUK_DPODST`: the print of one benefit's basis table through the suite's print layer. Every
// line is 104 characters: a border, 102 characters, a border. The line characters are those of
// code page 852 when the print layer's `p_graf` is on, plain ASCII otherwise.
#pragma once

#include <array>
#include <string>

#include "zus/calc/saved_basis_record.h"

namespace zus::basis {

struct PrintSubject {
  std::string firstName, surname, number;
  int32_t from = 0, to = 0;  // nieobec->od, nieobec->do
  bool averageKind = false;
  int auxiliaryFrom = 0, auxiliaryTo = 0;  // `zusx_pom_od`, `zusx_pom_do`
  // Value texts of the record for blank display texts: STR(procent, 3), STR(podst_zas, 6, 2),
  // STR(l_dni, 3), STR(wartosc, 8, 2).
  std::array<std::string, 4> recordTexts;
};

// The lines of the print: the page title (7 lines), the month rows and the closing block
// (8 lines), in the order printed; the page foot is separate.
struct PrintLines {
  std::vector<std::string> title, rows, closing, foot;
};
PrintLines basisPrintLines(const BasisSet& b, const PrintSubject& s, bool graphic,
                           const std::string& boldOn, const std::string& boldOff);

// Chooses the device and prints; the device is closed on every way out.
void printBasis(const BasisSet& b, const PrintSubject& s);

}  // namespace zus::basis
