// The transfers' small company with what the RESET entries read besides: the RESET settings file,
// the personnel module's parameters naming the full-time-equivalent dictionary, an employee
// table with that dictionary's field, a template table of RESET and the chosen groups.
#pragma once

#include "tests/zus/transfer/transfer_fixture.h"
#include "zus/transfer/reset_export.h"
#include "zus/transfer/reset_settings.h"

namespace reset_test {

using namespace transfer_test;

class ResetCompany : public TransferCompany {
 protected:
  void SetUp() override {
    TransferCompany::SetUp();
    // The employee table again, with the FTE dictionary's field "SL_ETAT".
    suite::TableDef main = *suite::findTable("MAIN");
    main.fields.push_back({"sl_etat", 'C', 3});
    const std::string path = suite::tablePath(main);
    for (const char* ext : {".dbf", ".cdx", ".DBF", ".CDX"}) fs::remove(path + ext);
    suite::createTable(path, main);
    add("MAIN", {{"nr_prac", text("    1")}, {"nazwisko", text("Kowalski")}, {"imie", text("Jan")},
                 {"status", num(1)}, {"sl_slow1", text("D01")}, {"sl_etat", text("E01")},
                 {"data_zatr", day(2020, 3, 1)}});
    add("MAIN", {{"nr_prac", text("    2")}, {"nazwisko", text("Nowak")}, {"imie", text("Anna")},
                 {"status", num(1)}, {"sl_slow1", text("D02")}});
    add("SLOWNIK", {{"kod", text("E01")}, {"skrot", text("3/4")}, {"wart", text(std::string("\xEE\x02\0\0", 4))}});
    add("SLOWNIK", {{"kod", text("D01")}, {"skrot", text("PROD")}, {"nazwa", text("Produkcja")},
                    {"mnemo", text("Dzial produkcji")}});
    add("SLOWNIK", {{"kod", text("D02")}, {"skrot", text("ADM")}, {"nazwa", text("Administracja")}});
    rt::Memvars& v = rt::context().memvars;
    v.declarePrivate("symbol_eta", text("ETAT "));
    suite::saveMemory("KADRY/kadry_pp" + suite::memoryFileExtension(), "symbol_eta");
    v.release("symbol_eta");
    fs::create_directories(dir / "WZR");
    fs::create_directories(dir / "EXP");
    makeTemplate(dir / "WZR" / "ZAS_WZR");
    saveSettings("WZR\\", "EXP\\", "Z01,,,,31////Z10,,,,33", "Z01,,,,6 ", 1, 0);
    chooseGroups({"D01"});
  }

  // A RESET template with every field the export fills (without the ones named in `leaveOut`).
  // `narrow` names a numeric field made 3 wide without decimals.
  static void makeTemplate(const fs::path& path, const std::vector<std::string>& leaveOut = {},
                           const std::string& narrow = "") {
    suite::TableDef t{"ZAS_WZR", "zas_wzr", suite::CompanyDir::Payroll, {}, {}};
    for (const auto& [name, type] : zus::reset_export::requiredFields()) {
      if (std::find(leaveOut.begin(), leaveOut.end(), name) != leaveOut.end()) continue;
      int len = type == 'D' ? 8 : type == 'L' ? 1 : type == 'N' ? 12 : 10;
      if (name == "nazwisko" || name == "dzial") len = 30;
      if (name == "il_dni") len = 3;
      if (name == narrow) {
        t.fields.push_back({name, type, 3, 0});
        continue;
      }
      t.fields.push_back({name, type, len, type == 'N' ? 2 : 0});
    }
    suite::createTable(path.string(), t);
  }

  static void saveSettings(const std::string& wzr, const std::string& exp, const std::string& nb,
                           const std::string& pr, int nazGr, int nrInd) {
    rt::Memvars& v = rt::context().memvars;
    v.declarePublic("rs_kat_wzr", text(wzr));
    v.declarePublic("rs_kat_exp", text(exp));
    v.declarePublic("rs_rodz_nb", text(nb));
    v.declarePublic("rs_rodz_pr", text(pr));
    v.declarePublic("rs_naz_gr", num(nazGr));
    v.declarePublic("rs_nr_ind", num(nrInd));
    zus::saveResetSettings();
    zus::RS_DESTROY();
  }

  static void chooseGroups(const std::vector<std::string>& keys) {
    rt::Memvars& v = rt::context().memvars;
    rt::Value a = rt::Value::newArray(0);
    for (const std::string& k : keys) a.arr().push_back(text(k));
    v.declarePublic("ky_grupy", a);
    v.declarePublic("ky_zakres", num(2));
    v.declarePublic("ky_tab", text("ky_grupy"));
    v.declarePublic("ky_index", text("SL_SLOW1"));
  }

  // The settings as "rs_param" keeps them (read through a set-up and release of their own).
  static rt::Value savedSetting(const char* name) {
    zus::ResetSettingsScope scope;
    return *rt::context().memvars.tryGet(name);
  }

  std::vector<std::map<std::string, rt::Value>> exported() {
    rt::Value area = call("SELECT");
    call("DBUSEAREA", {yes(), rt::Value(), text("EXP/ZAS_EXP.dbf"), text("check"), yes(), yes()});
    std::vector<std::map<std::string, rt::Value>> out;
    int fields = int(call("FCOUNT").intOr(0));
    for (call("DBGOTOP"); !call("EOF").logicalOr(true); call("DBSKIP")) {
      std::map<std::string, rt::Value> row;
      for (int i = 1; i <= fields; ++i) row[call("FIELDNAME", {num(i)}).strOr("")] = call("FIELDGET", {num(i)});
      out.push_back(row);
    }
    call("DBCLOSEAREA");
    if (area.intOr(0) > 0) call("DBSELECTAREA", {area});
    return out;
  }
};

// A saved basis record as the calculation writes it: eleven lines, values joined by TAB.
inline std::string savedBasis(const std::vector<std::vector<std::string>>& lines) {
  std::string out;
  for (size_t l = 0; l < lines.size(); ++l) {
    if (l) out += "\r\n";
    for (size_t i = 0; i < lines[l].size(); ++i) out += (i ? "\t" : "") + lines[l][i];
  }
  return out;
}

// Twelve values: `first`, `first + step`, ...
inline std::vector<std::string> series(double first, double step, size_t n = 12) {
  std::vector<std::string> v;
  for (size_t i = 0; i < n; ++i) {
    char buf[32];
    std::snprintf(buf, sizeof buf, "%g", first + step * double(i));
    v.push_back(buf);
  }
  return v;
}

// A complete record: months 1..12 of 2025, basis 3000, 3010..., days worked 20, working days 21.
inline std::vector<std::vector<std::string>> completeBasis() {
  return {{"20200301", "KIND", "1", "2025", "12", "0", "100"},
          series(1, 1), series(2025, 0), series(2900, 10), std::vector<std::string>(12, "T"),
          series(3000, 10), series(20, 0), series(21, 0), series(31, 0),
          {"80%", "100.00", "10", "1000.00"}, {""}};
}

}  // namespace reset_test
