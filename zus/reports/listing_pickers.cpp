// Pickers and small routines of the benefit listings, called by name from expression text.
#include "zus/reports/listing_pickers.h"

#include "runtime/core/expr.h"
#include "zus/reports/listing_support.h"
#include "zus/shell/settings_support.h"

namespace zus {
namespace {

using listing::call;
using listing::num;
using listing::txt;
using listing::varOr;
using listing::vars;

std::string ltrim(const std::string& s) {
  size_t b = s.find_first_not_of(' ');
  return b == std::string::npos ? std::string() : s.substr(b);
}

// A choice among texts in a framed window of colour set 36, the list in the rows inside the frame
// from column `left` + 2 to `listRight`; the chosen text or "".
std::string pickText(const rt::Value& texts, int top, int left, int bottom, int right, int listRight) {
  settings::ColourSet colours(36);
  settings::OpenWindow window(-2, top, left, bottom, right, "Wybierz", 36);
  int chosen =
      int(call("ACHOICE", {num(top + 1), num(left + 2), num(bottom - 1), num(listRight), texts}).intOr(0));
  if (chosen <= 0 || !texts.isArray() || size_t(chosen) > texts.arr().size()) return "";
  return texts.arr()[size_t(chosen - 1)].strOr("");
}

// MAIN's field of the employee the payroll library's chooser gives; MAIN's order and record
// and the selected work area are put back.
std::string chosenEmployeeField(const char* fieldName) {
  listing::AreaGuard area;
  listing::MainPosition position;  // the chooser may move MAIN too
  std::string number = call("WYB_PRAC", {txt(""), num(12)}).strOr("");
  if (number.find_first_not_of(' ') == std::string::npos) return "";
  if (call("SELECT", {txt("main")}).intOr(0) <= 0) return "";
  call("DBSELECTAREA", {txt("main")});
  if (call("FIELDPOS", {txt(fieldName)}).intOr(0) <= 0) return "";
  call("ORDSETFOCUS", {txt("MAINPRAC")});
  if (!call("DBSEEK", {txt(number)}).logicalOr(false)) return "";
  return rt::evalText(std::string("main->") + fieldName).strOr("");
}

}  // namespace

std::string WYBOR_STAT() {
  std::string chosen = pickText(varOr("stat_mess"), 10, 12, 20, 67, 66);
  if (chosen.empty()) return "";
  return call("ROWNAJ_L", {txt(ltrim(chosen)), num(40)}).strOr("");
}

std::string PRZEPIS_STAT() {
  rt::Value texts = rt::Value::newArray(0);
  texts.arr() = {txt("Przepisany"), txt("Nie przepisany"), txt("Przepisany-zmiany")};
  std::string chosen = pickText(texts, 6, 55, 10, 76, 74);
  if (chosen.empty()) return "";
  return call("ROWNAJ_L", {txt(chosen), num(20)}).strOr("");
}

std::string DAJ_KOD() {
  rt::Value column = varOr("___nr_k");
  if (!column.isNum()) column = varOr("g_wybor2");
  rt::Value headings = varOr("naglowki");
  if (!column.isNum() || !headings.isArray() || column.num() < 1 ||
      size_t(column.num()) > headings.arr().size())
    return "";
  vars().assign("___nr_k", column);
  std::string heading = headings.arr()[size_t(column.num()) - 1].strOr("");
  std::string shortName = ltrim(heading).substr(0, size_t(std::max<int64_t>(0, varOr("len_slow").intOr(10))));

  listing::DictionaryByShortName dictionary;
  listing::goToDictionaryHeader(shortName);
  return rt::evalText("sl->kod").strOr("");
}

std::string MY_WYB_PRAC() { return chosenEmployeeField("nazwisko"); }
std::string WYB_NR_PS() { return chosenEmployeeField("nr_pseudo"); }

void INI_ZN() {
  const bool graphic = varOr("p_graf").logicalOr(false);
  struct Box {
    const char* name;
    const char* plain;
    const char* graphic;
  };
  static const Box boxes[] = {
      {"zn_lg", "-", "\xD1"},       {"zn_ld", "-", "\xCF"},    {"zn_l1", "+", "\xC5"},
      {"zn_l2", "+", "\xD8"},       {"zn_poz2", "-", "\xCD"},  {"zn_poz1", "-", "\xC4"},
      {"zn_pion", " | ", " \xB3 "}, {"zn_rlg", "/", "\xC9"},   {"zn_rpg", "\\", "\xBB"},
      {"zn_rld", "\\", "\xC8"},     {"zn_rpd", "/", "\xBC"},   {"zn_pocz0", "|", "\xBA"},
      {"zn_pocz1", "|", "\xC7"},    {"zn_pocz2", "|", "\xCC"}, {"zn_kon1", "|", "\xB6"},
      {"zn_kon2", "|", "\xB9"},
  };
  for (const Box& b : boxes) vars().assign(b.name, txt(graphic ? b.graphic : b.plain));
}

void registerListingPickers() {
  rt::Functions& f = rt::functions();
  f.add("WYBOR_STAT", [](rt::Args&) { return txt(WYBOR_STAT()); });
  f.add("PRZEPIS_STAT", [](rt::Args&) { return txt(PRZEPIS_STAT()); });
  f.add("DAJ_KOD", [](rt::Args&) { return txt(DAJ_KOD()); });
  f.add("MY_WYB_PRAC", [](rt::Args&) { return txt(MY_WYB_PRAC()); });
  f.add("WYB_NR_PS", [](rt::Args&) { return txt(WYB_NR_PS()); });
  f.add("INI_ZN", [](rt::Args&) {
    INI_ZN();
    return rt::Value();
  });
  f.add("ZCZYT_STAT", [](rt::Args& a) {
    return txt(listing::transferStatus(a[0].logicalOr(false), a[1].strOr(""), a[2].strOr(""), a[3].numOr(0),
                                       a[4].numOr(0), a[5].numOr(0), a[6].numOr(0)));
  });
}

}  // namespace zus
