// What the two benefit listings share: the run's memory variables, the facts about MAIN that
// shape the catalogue, the tax of a benefit as the listings show it, the transfer status text,
// and guards for the table set, the selected work area and the temporary index bag.
#pragma once

#include <string>
#include <vector>

#include "runtime/core/context.h"
#include "runtime/core/value.h"
#include "zus/register/benefit_record.h"
#include "zus/shell/settings_support.h"

namespace zus::listing {

using settings::call;
using settings::vars;
inline rt::Value num(double n) { return rt::Value::number(n, 0); }
inline rt::Value txt(std::string s) { return rt::Value::text(std::move(s)); }

// A visible memory variable, or `fallback`.
using settings::varOr;

// A block without parameters compiled from expression text.
rt::Value exprBlock(const std::string& text);
// A block that returns a constant.
rt::Value constantBlock(rt::Value v);

// ALLTRIM(STR(n)).
std::string digits(int n);

// What MAIN offers, read with the run's tables open.
struct MainFacts {
  bool dataZus = false;  // `czy_data_zus`: MAIN has the date field data_zus
  bool pseudo = false;   // `czy_pseudo`: MAIN has the order "NR_PSEUDO"
  int pseudoLen = 0;     // `dl_pseudo`
};
MainFacts readMainFacts();
// Sets `czy_data_zus`, the public `czy_pseudo` and `dl_pseudo` from the facts.
void publishMainFacts(const MainFacts& facts);
// The facts as the run's memory variables hold them.
MainFacts mainFactsFromVars();

// The declarations both entries begin with: `podatek`, `czy_data_zus`, `dl_pseudo`, `bufor`,
// `t_glob`, `kod` (in the caller's private frame).
void declareRunVariables();

// The tax of a benefit as the listings show it: below 100 `podat` is a rate, taken of the value
// rounded to whole units and rounded to tenths; from 100 on it is the tax amount itself.
double benefitTax(double value, double podat);
// `podatek` := the tax of the current NIEOBEC record.
void setTaxOfCurrentBenefit();
// The payroll library's access check for the current MAIN record (`bufor` by reference).
bool employeeVisible();

// `ZCZYT_STAT`: the payroll transfer status, 20 characters.
std::string transferStatus(bool transferred, const std::string& kind, const std::string& oldKind, double days,
                           double oldDays, double value, double oldValue);

// The calculation status of a record as its column shows it (40 characters): the text of its
// code in `stat_mess`, or the code itself when `stat_err` does not hold it.
std::string statusColumnText(double code);

// In the dictionary (selected), moves to the header row of the dictionary with this short name
// (compared without trailing blanks); at the end of the table when there is none. The header
// rows are found by their blank item code, whatever the dictionary's controlling order.
bool goToDictionaryHeader(const std::string& shortName);

// Selects a work area again when it goes out of scope.
using AreaGuard = reg::KeepArea;

// The dictionary (alias `sl`) selected in its order 2, by short name; its previous order and the
// selected work area are given back when the guard goes.
class DictionaryByShortName {
 public:
  DictionaryByShortName();
  ~DictionaryByShortName();
  DictionaryByShortName(const DictionaryByShortName&) = delete;
  DictionaryByShortName& operator=(const DictionaryByShortName&) = delete;

 private:
  AreaGuard area_;
  rt::Value order_;
};

// MAIN's controlling order and record, given back when the guard goes (nothing when MAIN is not
// open).
class MainPosition {
 public:
  MainPosition();
  ~MainPosition();
  MainPosition(const MainPosition&) = delete;
  MainPosition& operator=(const MainPosition&) = delete;

 private:
  bool open_;
  rt::Value order_, record_;
};

// `_OPEN_SET(names, modes)`; closed with `_CLOSE_SET(first name)` when it goes out of scope.
// With `sayWhy`, a set that cannot be opened is explained as the cards explain it: a missing
// table is named, and tables in use at another workstation get the suite's message, after which
// any key tries again and Esc gives up.
class TableSet {
 public:
  TableSet(const std::string& names, const std::string& modes, std::string firstName, bool sayWhy = false);
  ~TableSet();
  TableSet(const TableSet&) = delete;
  TableSet& operator=(const TableSet&) = delete;
  bool open() const { return open_; }

 private:
  std::string first_;
  bool open_;
};

}  // namespace zus::listing
