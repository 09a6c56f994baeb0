// The rows of one employee: the benefit records by end date, each with a RESET absence code
// giving one row of the employee, the benefit and the basis history of its saved basis.
#include "zus/transfer/reset_export_employee.h"

#include "console/error_text.h"
#include "runtime/core/context.h"
#include "runtime/core/error.h"
#include "runtime/db/field_codec.h"
#include "zus/transfer/reset_export.h"
#include "zus/transfer/reset_mappings.h"
#include "zus/transfer/to_payroll_loop.h"

namespace zus::reset_export {
namespace {

using transfer_run::fieldOf;
using transfer_run::textOf;
using transfer_run::trimmed;

rt::Value txt(std::string s) { return rt::Value::text(std::move(s)); }
rt::Value num(double v, int dec = 0) { return rt::Value::number(v, dec); }
rt::Value yes(bool b) { return rt::Value::logical(b); }

std::string fieldText(rt::db::WorkArea& a, const char* name) { return textOf(a, name); }

// The width of a field of the export table.
uint32_t fieldWidth(rt::db::WorkArea& a, const char* name) {
  int i = a.fieldIndex(name);
  return i < 0 ? 0 : a.table().fields()[size_t(i)].len;
}

std::string dateText(const rt::Value& d) { return rt::functions().call("DTOC", {d}).strOr(""); }

// The fields of the row up to `proc_zas`, and after `rodz_proc`, from the employee and the record.
struct RowValues {
  FieldValues head, tail;
};

RowValues rowValues(ExportRun& run, const std::string& groupName, const std::string& absence, double fte) {
  rt::db::WorkArea& m = *run.main;
  rt::db::WorkArea& n = *run.benefits;
  RowValues r;
  r.head = {
      {"znacz1", txt("*PR")}, {"nazwisko", fieldOf(m, "nazwisko")}, {"imie", fieldOf(m, "imie")},
      {"nr_prac", fieldOf(m, "nr_prac")}, {"um_pr", yes(true)}, {"um_zl", yes(false)},
      {"um_dz", yes(false)}, {"um_org", yes(false)}, {"dzial", txt(groupName)}, {"uwagi", txt("")},
      {"data_zatru", fieldOf(m, "data_zatr")}, {"data_zwoln", rt::Value::date(0)}, {"oddzial", txt("")},
      {"zespol", txt("")}, {"grupa", txt("")},
  };
  for (int i = 1; i <= 8; ++i) r.head.push_back({"not" + std::to_string(i), txt("")});
  std::string letter4 = fieldText(n, "nr_l_4");
  r.head.insert(r.head.end(), {
      {"znacz2", txt("*ZH")}, {"data_od", fieldOf(n, "od")}, {"data_do", fieldOf(n, "do")},
      {"rodz_nb", txt(absence)},
      {"il_dni", rt::functions().call("STR", {fieldOf(n, "l_dni"), num(fieldWidth(*run.table, "il_dni"))})},
      {"kontyn", yes(fieldText(n, "nieobec") == "PBZ")}, {"proc_zas", fieldOf(n, "procent")},
  });
  r.tail = {
      {"kod_ch1", txt(letterCodeNumber(fieldText(n, "nr_stat")))}, {"kod_ch2", txt("")},
      {"naj_kr", num(0)}, {"pod_wym", fieldOf(n, "suma")}, {"zas_dz", fieldOf(n, "podst_zas")},
      {"zas_br", fieldOf(n, "wartosc")}, {"przyp_pd", num(0)}, {"zal_pdt", num(0)},
      {"zas_netto", fieldOf(n, "netto")}, {"wyp_lp", yes(false)}, {"x_i_l", txt("")},
      {"x_i_poz", txt("")}, {"x_i_poz1", txt("")}, {"x_il4", txt("")},
      {"seria", txt(letter4.substr(0, std::min<size_t>(2, letter4.size())))},
      {"nr", txt(letter4.size() > 2 ? letter4.substr(2) : "")}, {"x_kor", yes(false)},
      {"x_i_kor", txt("")}, {"x_i_kont", txt("")}, {"nie_pomn", yes(true)}, {"etat", num(fte, 3)},
      {"data_wpl", fieldOf(n, "data_dost")}, {"wsp_wal", num(0)}, {"data_prz", fieldOf(n, "data_dost")},
      {"nr_dec", txt("")}, {"nr_okr", txt("")}, {"data_wyst", fieldOf(n, "data_otrz")},
      {"il_m3", txt("")}, {"il_m6", txt("")}, {"il_m12", txt("")}, {"poz_l", txt("")},
      {"data_wyp", fieldOf(n, "dat_wyp")},
  };
  return r;
}

void put(rt::db::WorkArea& a, const FieldValues& values) {
  for (const auto& [name, v] : values) transfer_run::putField(a, name.c_str(), v);
}

// The first number of the row too wide for its field of the export table; "" when all fit.
std::string tooWide(rt::db::WorkArea& t, const std::vector<const FieldValues*>& parts) {
  for (const FieldValues* part : parts)
    for (const auto& [name, v] : *part) {
      int i = t.fieldIndex(name);
      if (i < 0 || !v.isNum()) continue;
      const auto& f = t.table().fields()[size_t(i)];
      std::string buf(f.len + 1, ' ');
      if (!rt::db::formatNumberField(v.num(), f.len, f.dec, buf.data())) return name;
    }
  return "";
}

// Appends and fills one row; false when it could not be appended or written (a row begun is
// deleted again, so that the table holds no half-written row).
bool writeRow(ExportRun& run, const RowValues& values, const std::string& mapped, const FieldValues& months) {
  rt::db::WorkArea& t = *run.table;
  // A value the template cannot hold stops the export before the row is begun.
  const std::string wide = tooWide(t, {&values.head, &values.tail, &months});
  if (!wide.empty()) {
    run.failure = "Wartos`c` pola " + wide + " nie mies`ci sie` w bazie ZAS_EXP.dbf (pracownik " +
                  trimmed(fieldText(*run.main, "nr_prac")) + " " + trimmed(fieldText(*run.main, "nazwisko")) + ").";
    return false;
  }
  const int caller = transfer_run::selectedArea();
  transfer_run::selectAreaNumber(t.number());
  const bool appended = rt::functions().call("_APPE_BLAN").logicalOr(false);
  transfer_run::selectAreaNumber(caller);
  if (!appended) {
    run.failure = "Nie mox`na dopisac` rekordu do bazy ZAS_EXP.dbf.";
    return false;
  }
  try {
    put(t, values.head);
    double percent = rt::functions().call("E_ROUND", {fieldOf(t, "proc_zas"), num(2)}).numOr(0);
    transfer_run::putField(t, "rodz_proc", txt(percentCodeFor(mapped, percent)));
    put(t, values.tail);
    put(t, months);
    t.unlockRecord(t.recno());
  } catch (const rt::Error& e) {
    t.deleteRecord();
    t.unlockRecord(t.recno());
    run.rowTakenBack = true;
    run.failure = "Bl`a`d zapisu do bazy ZAS_EXP.dbf: " + con::errorSummary(e);
    return false;
  }
  return true;
}

std::string problemLine(ExportRun& run, BasisReading reading) {
  rt::db::WorkArea& n = *run.benefits;
  return trimmed(fieldText(*run.main, "nr_prac")) + " " + trimmed(fieldText(*run.main, "nazwisko")) + " " +
         trimmed(fieldText(*run.main, "imie")) + ", " + dateText(fieldOf(n, "od")) + "-" +
         dateText(fieldOf(n, "do")) + (reading == BasisReading::Short ? ": zapis niepel`ny" : ": zapis bl`e`dny");
}

}  // namespace

double fullTimeEquivalent(rt::db::WorkArea& dictionary, const std::string& code) {
  const int order = dictionary.order();
  const uint32_t record = dictionary.recno();
  dictionary.setOrder(1);
  double fte = 0;
  if (dictionary.seek(txt(code), false))
    fte = double(rt::functions().call("BIN2L", {txt(textOf(dictionary, "wart"))}).intOr(0)) / 1000.0;
  dictionary.setOrder(order);
  dictionary.goTo(record);
  return fte;
}

std::string groupName(rt::db::WorkArea& dictionary, const std::string& key) {
  const int order = dictionary.order();
  dictionary.setOrder(1);
  std::string name;
  if (dictionary.seek(txt(key), false)) {
    const rt::Value* form = rt::context().memvars.tryGet("rs_naz_gr");
    name = textOf(dictionary, form && form->isNum() && form->num() == 2 ? "mnemo" : "nazwa");
  } else {
    name.assign(textOf(dictionary, "skrot").size() + textOf(dictionary, "nazwa").size() +
                    textOf(dictionary, "mnemo").size(), ' ');
  }
  dictionary.setOrder(order);
  return name;
}

bool exportEmployee(ExportRun& run, const std::string& groupName) {
  rt::db::WorkArea& n = *run.benefits;
  const rt::Value employee = fieldOf(*run.main, "nr_prac");
  double fte = 0;
  if (!run.fteField.empty() && run.main->fieldIndex(run.fteField) >= 0)
    fte = fullTimeEquivalent(*run.dictionary, textOf(*run.main, run.fteField.c_str()));

  BasisHistoryResult history;  // a record that re-uses the previous basis keeps this one
  if (!n.seek(employee, false)) return true;
  for (; !n.eof() && textOf(n, "nr_prac") == employee.str(); n.skip()) {
    if (textOf(n, "nieobec") != "PBZ") history = readBasisHistory(textOf(n, "zapis_pod"));
    const std::string kind = textOf(n, "zasilek");
    const std::string absence = reset_map::absenceCode(kind);
    if (absence.empty()) continue;
    RowValues values = rowValues(run, groupName, absence, fte);
    if (!writeRow(run, values, reset_map::percentCode(kind), monthGroups(history.history, fte))) return false;
    if (history.reading == BasisReading::Short || history.reading == BasisReading::Malformed)
      run.basisProblems.push_back(problemLine(run, history.reading));
  }
  return true;
}

}  // namespace zus::reset_export
