// The status table and the four status tests.
#include "zus/shell/status_codes.h"

#include <cmath>
#include <cstdio>
#include <initializer_list>

#include "suite/forms/display_text.h"

namespace zus {

const std::array<StatusRow, kStatusCount>& statusTable() {
  static const std::array<StatusRow, kStatusCount> table{{
      {0, "", " Zasil`ek niezdefiniowany             "},
      {1, "stat_const", " Stal`a wartos`c`                       "},
      {2, "stat_n_obl", " Nie obliczony                       "},
      {3, "stat_sav_c", " Stal`a wartos`c` / zapisany            "},
      {4, "stat_obl", " Obliczony                           "},
      {5, "stat_ar_d", " Bl`a`d-brak w archiwum (dni robocze)  "},
      {6, "stat_staz", " Bl`a`d-dane o stax`u niedoste`pne     "},
      {7, "stat_dwej", " Bl`a`d-zbyt dux`o danych wejs`ciowych "},
      {8, "stat_dost", " Bl`a`d doste`pu w sieci                "},
      {90, "", " Zasil`ek niezdefiniowany            "},
      {93, "", " Stal`a zapisana / ***                "},
      {94, "", " Obliczony / ***                     "},
      {95, "", " Brak w archiwum (dni robocze) / *** "},
      {96, "", " Dane o stax`u niedoste`pne / ***      "},
      {97, "", " Bl`a`d ilos`ci danych wejs`ciowych/***"},
      {98, "", " Bl`a`d doste`pu w sieci / ***          "},
      {9, "stat_ar_p", " Bl`a`d-brak w archiwum (do podstawy)  "},
      {99, "", " Brak w archiwum (do podstawy) / *** "},
  }};
  return table;
}

int statusPosition(double code) {
  const auto& table = statusTable();
  for (int i = 0; i < kStatusCount; ++i)
    if (double(table[size_t(i)].code) == code) return i + 1;
  return 0;
}

std::string statusMessage(double code) {
  int pos = statusPosition(code);
  if (pos > 0) return suite::displayText(statusTable()[size_t(pos - 1)].stored);
  char buf[64];
  std::snprintf(buf, sizeof buf, " Nieznany status %g", code);
  return buf;
}

namespace {

// The change mark comes off before a test: 93 to 99 read as 3 to 9; 90 stays 90.
double withoutChangeMark(double code) { return code > 90 ? code - 90 : code; }

bool statusIn(double code, std::initializer_list<int> codes) {
  double base = withoutChangeMark(code);
  for (int c : codes)
    if (base == double(c)) return true;
  return false;
}

}  // namespace

bool statusOk(double code) { return statusIn(code, {stat_const, stat_sav_c, stat_obl}); }
bool statusSaved(double code) { return statusIn(code, {stat_sav_c, stat_obl}); }
bool statusError(double code) {
  return statusIn(code, {stat_ar_d, stat_ar_p, stat_dwej, stat_staz, stat_dost});
}
bool statusConst(double code) { return statusIn(code, {stat_const, stat_sav_c}); }

}  // namespace zus
