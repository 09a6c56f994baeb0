// The parts of an export row that follow rules of their own: the template's fields, the
// percentage code, the sick-note letter's number and the twelve month groups.
#include <cmath>

#include "runtime/core/context.h"
#include "runtime/core/std_convert.h"
#include "zus/transfer/reset_export.h"

namespace zus::reset_export {
namespace {

rt::Value num(double v, int dec = 0) { return rt::Value::number(v, dec); }

// A month or year as text without blanks (a whole number of the given width).
std::string wholeText(double v, int width) {
  std::string s = rt::functions().call("STR", {num(v), num(width)}).strOr("");
  size_t b = s.find_first_not_of(' ');
  return b == std::string::npos ? "" : s.substr(b);
}

}  // namespace

const std::vector<std::pair<std::string, char>>& requiredFields() {
  static const std::vector<std::pair<std::string, char>> fields = [] {
    std::vector<std::pair<std::string, char>> f = {
        {"znacz1", 'C'},   {"nazwisko", 'C'}, {"imie", 'C'},     {"nr_prac", 'C'},  {"um_pr", 'L'},
        {"um_zl", 'L'},    {"um_dz", 'L'},    {"um_org", 'L'},   {"dzial", 'C'},    {"uwagi", 'C'},
        {"data_zatru", 'D'}, {"data_zwoln", 'D'}, {"oddzial", 'C'}, {"zespol", 'C'}, {"grupa", 'C'},
    };
    for (int i = 1; i <= 8; ++i) f.push_back({"not" + std::to_string(i), 'C'});
    const std::vector<std::pair<std::string, char>> rest = {
        {"znacz2", 'C'},   {"data_od", 'D'},  {"data_do", 'D'},  {"rodz_nb", 'C'},  {"il_dni", 'C'},
        {"kontyn", 'L'},   {"proc_zas", 'N'}, {"rodz_proc", 'C'}, {"kod_ch1", 'C'}, {"kod_ch2", 'C'},
        {"naj_kr", 'N'},   {"pod_wym", 'N'},  {"zas_dz", 'N'},   {"zas_br", 'N'},   {"przyp_pd", 'N'},
        {"zal_pdt", 'N'},  {"zas_netto", 'N'}, {"wyp_lp", 'L'},  {"x_i_l", 'C'},    {"x_i_poz", 'C'},
        {"x_i_poz1", 'C'}, {"x_il4", 'C'},    {"seria", 'C'},    {"nr", 'C'},       {"x_kor", 'L'},
        {"x_i_kor", 'C'},  {"x_i_kont", 'C'}, {"nie_pomn", 'L'}, {"etat", 'N'},     {"data_wpl", 'D'},
        {"wsp_wal", 'N'},  {"data_prz", 'D'}, {"nr_dec", 'C'},   {"nr_okr", 'C'},   {"data_wyst", 'D'},
        {"il_m3", 'C'},    {"il_m6", 'C'},    {"il_m12", 'C'},   {"poz_l", 'C'},    {"data_wyp", 'D'},
    };
    f.insert(f.end(), rest.begin(), rest.end());
    for (int i = 1; i <= 12; ++i) {
      const std::string n = std::to_string(i);
      f.push_back({"ZNACZ" + std::to_string(i + 2), 'C'});
      for (const char* c : {"MC", "ROK"}) f.push_back({c + n, 'C'});
      for (const char* p : {"DNOM", "DPR", "PCH", "PREM", "POL", "PCHR", "ETAT"}) f.push_back({p + n, 'N'});
    }
    return f;
  }();
  return fields;
}

std::string percentCodeFor(const std::string& mapped, double percent) {
  const double code = rt::valOf(mapped).numOr(0);
  if (code == 0 && percent == 100) return " 1";
  if (code == 3 && percent == 100) return " 4";
  if (code == 6 && percent == 75) return "13";
  if (code == 6 && percent == 100) return "14";
  return mapped;
}

std::string letterCodeNumber(const std::string& letterCode) {
  size_t b = letterCode.find_first_not_of(' ');
  if (b == std::string::npos) return "";
  std::string t = letterCode.substr(b, letterCode.find_last_not_of(' ') - b + 1);
  if (t.size() != 1 || t[0] < 'A' || t[0] > 'E') return "";
  return std::string(1, char('1' + (t[0] - 'A')));
}

FieldValues monthGroups(const BasisHistory& h, double fte) {
  FieldValues out;
  for (size_t i = 0; i < 12; ++i) {
    const std::string n = std::to_string(i + 1);
    out.push_back({"ZNACZ" + std::to_string(i + 3), rt::Value::text("*ZHH")});
    out.push_back({"MC" + n, rt::Value::text(wholeText(h.months()[i], 2))});
    out.push_back({"ROK" + n, rt::Value::text(wholeText(h.years()[i], 4))});
    out.push_back({"DNOM" + n, num(h.workingDays()[i])});
    out.push_back({"DPR" + n, num(h.daysWorked()[i])});
    out.push_back({"PCH" + n, num(h.basis()[i], 2)});
    out.push_back({"PREM" + n, num(0)});
    out.push_back({"POL" + n, num(0)});
    out.push_back({"PCHR" + n, num(0)});
    out.push_back({"ETAT" + n, num(fte, 3)});
  }
  return out;
}

}  // namespace zus::reset_export
