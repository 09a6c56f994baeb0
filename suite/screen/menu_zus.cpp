// The benefit program's menu "zus": every entry function of the program, grouped by the work a
// payroll clerk does - the register and the calculation, the hand-over to payroll, personnel and
// RESET, the prints, and the settings and yearly resets under the tools.
#include <algorithm>
#include <cctype>

#include "suite/screen/menu_defs.h"

namespace suite {
namespace {

rt::Value num(int n) { return rt::Value::integer(n); }

MenuDef zusMenu() {
  MenuDef m;
  m.name = "zus";
  m.title = "System ZEFIRON - program ZUS";
  m.groups = {
      {"ZASIL`KI",
       {
           {"Rejestr zasil`ko`w", "WPROW_NB", {}, "Przegla`danie i wprowadzanie zasil`ko`w pracownika"},
           {"Obliczanie zasil`ko`w", "OBL_ZAS", {}, "Obliczanie zasil`ko`w za wybrany miesia`c"},
       }},
      {"PRZEKAZANIE",
       {
           {"Przekazanie do pl`ac", "TO_WRITE", {}, "Przekazanie obliczonych zasil`ko`w do pl`ac"},
           {"Przekazanie do kadr", "GOTO_KADRY", {}, "Przekazanie dni nieobecnos`ci do kadr"},
       }},
      {"WYDRUKI",
       {
           {"Karty zasil`kowe", "DRUK_ZAS", {num(1)}, "Wydruk kart zasil`kowych"},
           {"Rozliczenie zasil`ko`w", "DRUK_ZAS", {num(2)}, "Rozliczenie zasil`ko`w wg rodzajo`w"},
           {"Zestawienie zasil`ko`w", "G_WYDR_ZAS", {}, "Zestawienie zasil`ko`w - definiowane"},
           {"Zestawienie z kartoteka`", "G_WYDRZAS2", {}, "Zestawienie zasil`ko`w z danymi pracownika"},
           {"Zakres pracowniko`w", "ZAKRES_WYDR", {}, "Wybo`r pracowniko`w do kart i rozliczenia zasil`ko`w"},
       }},
      {"RESET",
       {
           {"Parametry eksportu", "RS_PARAM", {}, "Parametry eksportu do programu RESET"},
           {"Rodzaje zasil`ko`w", "RS_RODZ_NB", {}, "Przyporza`dkowanie rodzajo`w zasil`ko`w"},
           {"Eksport zasil`ko`w", "RS_EKSP", {}, "Eksport zasil`ko`w do programu RESET"},
       }},
      {"NARZE`DZIA",
       {
           {"Pol`a`czenie", "LOAD_ZUS", {}, "Pol`a`czenie modul`o`w ZUS i PL`ACE"},
           {"Parametry programu", "ED_ZAOK", {num(1)}, "Parametry obliczania zasil`ko`w"},
           {"Daty wypl`at", "ED_ZAOK", {num(2)}, "Podpowiadane daty wypl`at"},
           {"Parametry wydruku", "ZUS_PARA", {}, "Parametry wydruku kart zasil`kowych"},
           {"Sl`ownik dopel`niania", "_EDITSLOW", {num(1)}, "Sl`ownik parametru dopel`niania podstawy"},
           {"Sl`ownik obliczania", "_EDITSLOW", {num(2)}, "Sl`ownik parametru obliczania zasil`ko`w ZUS"},
           {"Data ubezpieczenia", "Z_KADRAMI", {num(1)}, "Dana kadrowa z data` obje`cia ubezpieczeniem"},
           {"Dowo`d osobisty", "Z_KADRAMI", {num(2)}, "Dana kadrowa z numerem dowodu"},
           {"Wskazanie funkcji tabl.", "WSKAZ_FUN", {}, "Wskazanie funkcji tablicowej"},
           {"Odl`a`czenie funkcji tabl.", "ODLACZ_FUN", {}, "Odl`a`czenie funkcji tablicowej"},
           {"Zerowanie dni opieki", "ZER_DNI", {}, "Zerowanie licznika dni opieki - nowy rok"},
           {"Pocza`tek roku kontrolnego", "ZER_DAT", {}, "Ustawienie pocza`tku roku kontrolnego"},
       }},
  };
  return m;
}

}  // namespace

const MenuDef* findMenu(const std::string& name) {
  static const std::vector<MenuDef> menus{zusMenu()};
  std::string lower = name;
  std::transform(lower.begin(), lower.end(), lower.begin(),
                 [](unsigned char c) { return char(std::tolower(c)); });
  for (const MenuDef& m : menus)
    if (m.name == lower) return &m;
  return nullptr;
}

}  // namespace suite
