// The field lists and index tags of the suite's tables.
#include "suite/tables/table_defs.h"

#include <algorithm>
#include <cctype>
#include <cstdio>

namespace suite {
namespace {

// The benefit register: one record per benefit item of one employee.
TableDef nieobec() {
  return {"NIEOBEC", "nieobec", CompanyDir::Payroll,
          {
              {"nr_prac", 'C', 5},     {"od", 'D', 8},           {"do", 'D', 8},
              {"l_dni", 'N', 4},       {"zasilek", 'C', 3},      {"procent", 'N', 3},
              {"podst_zas", 'N', 13, 2}, {"wartosc", 'N', 14, 2}, {"netto", 'N', 14, 2},
              {"status", 'N', 2},      {"dat_wyp", 'D', 8},      {"data_prawa", 'D', 8},
              {"dni_rob", 'N', 4},     {"podat", 'N', 12, 2},    {"zalicz", 'N', 11, 2},
              {"nr_stat", 'C', 4},     {"nr_l_4", 'C', 14},      {"poprz_l_4", 'C', 14},
              {"czy_100", 'L', 1},     {"przy_pracy", 'L', 1},   {"czy_alk", 'L', 1},
              {"czy_dz", 'L', 1},      {"czy_kwot", 'L', 1},     {"czy_nie_pl", 'L', 1},
              {"czy_korekt", 'L', 1},  {"rehab", 'L', 1},        {"o_zlicz", 'L', 1},
              {"te_mies", 'C', 24},    {"fakt_mies", 'C', 24},   {"mies_dop", 'C', 12},
              {"od_dat", 'D', 8},      {"suma", 'N', 13, 2},     {"druk_podst", 'N', 13, 2},
              {"nieobec", 'C', 3},     {"zapis_pod", 'M', 10},   {"uwagi", 'M', 10},
              {"place", 'L', 1},       {"old_zas", 'C', 3},      {"old_dni", 'N', 4},
              {"old_wart", 'N', 14, 2}, {"old_nr", 'C', 6},      {"kod_wew", 'C', 6},
              {"data_otrz", 'D', 8},   {"data_dost", 'D', 8},    {"dni_obniz", 'N', 3},
              {"okr_zas", 'L', 1},
          },
          {
              {"NIEOB_DO", "nr_prac+DTOS(do)"},
              {"NIEOB_L4", "nr_l_4"},
              {"NIEOB_WYP", "nr_prac+DTOS(dat_wyp)"},
              {"NIEOB_WEW", "nr_prac+kod_wew"},
              {"NIEOB_BR", "nr_prac+DTOS(dat_wyp)+DTOS(od)"},
          }};
}

// The payroll module's employee table, with the benefit program's day counters.
TableDef main() {
  return {"MAIN", "main", CompanyDir::Payroll,
          {
              {"nr_prac", 'C', 5},    {"nazwisko", 'C', 30},  {"imie", 'C', 20},
              {"nr_pseudo", 'C', 10}, {"status", 'N', 2},     {"data_zatr", 'D', 8},
              {"data_zwol", 'D', 8},  {"dni_ch", 'N', 3},     {"dni_op", 'N', 3},
              {"dni_rdz", 'N', 3},    {"dni_poza", 'N', 3},   {"data_zus", 'D', 8},
              {"data_do", 'D', 8},    {"pocz_obniz", 'D', 8}, {"rok_arc", 'N', 4},
              {"mies_arc", 'N', 2},   {"sl_slow1", 'C', 3},   {"sl_grupa", 'C', 3},
              {"stat_obl", 'N', 1},
          },
          {
              {"MAINPRAC", "nr_prac"},
              {"MAINALFA", "UPPER(nr_prac)"},
              {"MAINNAZW", "UPPER(nazwisko+imie)"},
              {"SL_SLOW1", "sl_slow1+nr_prac"},
              {"SL_GRUPA", "sl_grupa+nr_prac"},
          }};
}

// Personnel companion of MAIN: fixed data and the items the personnel module's users defined.
TableDef main2() {
  return {"MAIN_2", "main_2", CompanyDir::Payroll,
          {
              {"nr_prac", 'C', 5},   {"nr_pesel", 'C', 11}, {"data_ur", 'D', 8},
              {"kd_ubezp", 'D', 8},  {"kd_dowod", 'C', 12}, {"kd_telef", 'C', 15},
          },
          {{"MAIN2PRAC", "nr_prac"}}};
}

// The suite's dictionaries: "X  " is the header row of dictionary X, "Xnn" its entries.
TableDef slownik() {
  return {"SLOWNIK", "sl", CompanyDir::Payroll,
          {
              {"kod", 'C', 3},   {"skrot", 'C', kShortNameLen}, {"nazwa", 'C', 40},
              {"mnemo", 'C', 60}, {"wart", 'C', 8},             {"obl_zas", 'N', 1},
              {"dop_zus", 'N', 1},
          },
          {{"SLOWKOD", "kod"}, {"SLOWSKR", "LEFT(kod,1)+skrot"}}};
}

// Payroll archive: one record per employee and payroll item, 24 months of history.
TableDef archiw() {
  TableDef t{"ARCHIW", "archiw", CompanyDir::Payroll,
             {{"nr_prac", 'C', 5}, {"kod", 'C', kItemCodeLen}},
             {{"ARCHPRAC", "nr_prac+kod"}}};
  for (int d = 0; d < kArchiveDepths; ++d) t.fields.push_back({archiveField(d), 'N', 12, 2});
  return t;
}

// Payroll input items: the value is a signed 32-bit little-endian integer in the first four
// bytes of `wartosc` (hundredths of the amount).
TableDef daneWe() {
  return {"DANE_WE", "dane_we", CompanyDir::Payroll,
          {{"nr_prac", 'C', 5}, {"kod", 'C', kItemCodeLen}, {"wartosc", 'C', 4}},
          {{"DWEPRAC", "nr_prac+kod"}}};
}

// Names of the employee statuses of MAIN.
TableDef status() {
  return {"STATUS", "status", CompanyDir::Payroll,
          {{"kod_stat", 'N', 2}, {"nazwa_stat", 'C', 30}},
          {{"STATKOD", "STR(kod_stat,2)"}}};
}

// Table functions of the payroll module.
TableDef function() {
  return {"FUNCTION", "functions", CompanyDir::Payroll,
          {{"fun_code", 'C', 4}, {"fun_name", 'C', 40}},
          {{"FUNKOD", "fun_code"}}};
}

// The payroll module's catalogue of payroll data items; `wybor` lists the item selections of the
// payroll library that include the item, as numbers between blanks (" 1 15 ").
TableDef skladnik() {
  return {"SKLADNIK", "skladnik", CompanyDir::Payroll,
          {{"kod", 'C', kItemCodeLen}, {"skrot", 'C', 11}, {"nazwa", 'C', 40}, {"wybor", 'C', 20}},
          {{"SKLKOD", "kod"}}};
}

// The personnel module's day records.
TableDef czasP() {
  return {"CZAS_P", "czas_p", CompanyDir::Personnel,
          {
              {"nr_prac", 'C', 5},   {"data", 'D', 8},      {"kod", 'C', 3},
              {"kod_wew", 'C', 6},   {"godz_roz", 'N', 2},  {"min_roz", 'N', 2},
              {"godz_zak", 'N', 2},  {"min_zak", 'N', 2},
          },
          {
              {"CZASPRAC", "nr_prac+DTOS(data)"},
              {"CZASDATA", "DTOS(data)+nr_prac"},
              {"CZASWEW", "nr_prac+kod_wew"},
          }};
}

// The personnel module's definitions of its users' data items (fields of MAIN_2).
TableDef daneKd() {
  return {"DANE_KD", "dane_kd", CompanyDir::Personnel,
          {
              {"nazwa", 'C', 40},   {"kod_b", 'N', 2},     {"slownik", 'L', 1},
              {"typ", 'C', 1},      {"dlugosc", 'N', 2},   {"po_kropce", 'N', 1},
              {"atrybut", 'C', 10},
          },
          {
              {"KDNAZWA", "UPPER(nazwa)"},
              {"KDKODB", "STR(kod_b,2)+UPPER(nazwa)"},
              {"KDTYP", "typ+UPPER(nazwa)"},
              {"KDATRYB", "atrybut"},
          }};
}

}  // namespace

std::string archiveField(int depth) {
  static const std::vector<std::string> names = [] {
    std::vector<std::string> all;
    for (int d = 0; d < kArchiveDepths; ++d) {
      char buf[8];
      std::snprintf(buf, sizeof buf, "a%02d", d);
      all.push_back(buf);
    }
    return all;
  }();
  if (depth >= 0 && depth < kArchiveDepths) return names[size_t(depth)];
  char buf[16];
  std::snprintf(buf, sizeof buf, "a%02d", depth);
  return buf;
}

const std::vector<TableDef>& allTables() {
  static const std::vector<TableDef> tables{main(),   main2(),    slownik(), archiw(),
                                            daneWe(), status(),   function(), nieobec(),
                                            czasP(),  daneKd(),   skladnik()};
  return tables;
}

const TableDef* findTable(const std::string& name) {
  std::string upper = name;
  std::transform(upper.begin(), upper.end(), upper.begin(),
                 [](unsigned char c) { return char(std::toupper(c)); });
  for (const TableDef& t : allTables())
    if (t.name == upper) return &t;
  return nullptr;
}

}  // namespace suite
