// Typed view of what the entry rules read and write while the benefit edit form is open: the
// form's working copies (`_od`, `_do`, `_l_dni`...), the register's counters and birth date, the
// program parameters and link arrays, and the chosen employee's fields of MAIN.
//
// The rules are plain functions over these structs. The by-name adapters load them from the
// memory variables and the employee record, run a rule, and write back only what the rule
// changed, so a variable the rule did not touch is never created or overwritten.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "runtime/core/value.h"

namespace zus {

// The edit form's working copies the rules use ("T"/"N" answers are one-character strings).
struct RuleFormCopies {
  int32_t od = 0, do_ = 0;
  int l_dni = 0;
  std::string zasilek;
  double proc = 0;
  int32_t data_prawa = 0;
  int32_t dat_zus = 0;
  // The form holds in `dat_zus` the start of the sick-pay count it opened with.
  bool dat_zus_held = false;
  std::string czy_zlicz = "T", old_zlicz;
  int32_t data_otrz = 0, data_dost = 0;
  int dni_obniz = 0;
  std::string nr_stat;
  int dni_zal = 0;
  std::string czy_nie_pl = "N";
  double kw_podst = 0;
  bool czy_kwot = false;
  double druk_podst = 0, suma = 0;
  std::string pom_dz = "T";
  int old_dni = 0;
  std::string old_pom = "T";
  bool czy_new = false;
  int wier = 6, kol = 1;
  int limit_ojc = 7;
  // continuity and basis re-use
  bool byl_kom = false;
  std::string nieobec, ten_tekst, fakt_mies, czy_wsk = "N";
  std::vector<bool> mies_dop;
  int32_t od_dat = 0;
  bool rehab = false;
};

// The register browse's state the rules use.
struct RuleRegisterState {
  std::string nr_pracusia;
  int suma_dni1 = 0, suma_dni2 = 0, suma_dni3 = 0;
  int32_t data_ur = 0;
  std::string kod_fun;
};

// Program parameters, link arrays and the working date.
struct RuleProgram {
  rt::Array zas_zus, zas_dni;
  double zusx_pr = 80;
  int zusx_chzk = 33, zusx_chz50 = 14;
  bool zusx_filtr = false;
  rt::Value zusx_rehab = rt::Value::number(0, 1);
  int zusx_biez = 1;
  int32_t lum_data = 0;

  // The kind linked to benefit slot n (1-based); "" when unlinked.
  std::string slot(int n) const;
  // Whether `kind` is the kind of slot n; an unlinked slot matches nothing.
  bool isSlot(const std::string& kind, int n) const;
  // Whether days slot n of `zas_dni` holds an item code.
  bool daysSlotLinked(int n) const;
};

// The chosen employee's record of MAIN as the rules see it.
struct RuleEmployee {
  std::string nr_prac;
  int dni_ch = 0, dni_op = 0, dni_rdz = 0;
  bool hasDataZus = false;  // MAIN has `data_zus` as a date field
  int32_t data_zus = 0;
  int32_t data_do = 0;
  int32_t data_zatr = 0;
  int status = 0;
  int32_t waitingDate = 0;     // the date field named by `zusx_pole`
  int32_t employmentDate = 0;  // the date field named by `zusx_zatr`
};

// Everything one rule call works on.
struct RuleContext {
  RuleFormCopies form;
  RuleRegisterState reg;
  RuleProgram program;
  RuleEmployee employee;
};

// Loads the context from the memory variables and the MAIN work area (missing ones keep their
// defaults).
RuleContext loadRuleContext();

// Writes back what differs between `before` and `after`: memory variables and MAIN fields.
void storeRuleContext(const RuleContext& before, const RuleContext& after);

// Date parts; the empty date gives 0.
int ruleYear(int32_t day);
int ruleMonth(int32_t day);
int ruleDay(int32_t day);

// The fixed dates of the rules.
int32_t ruleDate(int year, int month, int day);

}  // namespace zus
