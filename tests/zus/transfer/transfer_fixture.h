// A small company for the transfers' tests, built in code in a temporary directory: two
// employees, a benefit dictionary linked to a few benefit slots, empty payroll input and day
// records. The outside library's dialogs that pick the range and the month are scripted; messages
// and the closing summary are recorded; other dialogs run headless on scripted keys.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <initializer_list>
#include <map>
#include <string>
#include <utility>
#include <vector>

#include "runtime/core/context.h"
#include "runtime/core/std_dates.h"
#include "runtime/db/file.h"
#include "runtime/term/headless.h"
#include "runtime/term/keys.h"
#include "suite/company/company.h"
#include "suite/company/memory_store.h"
#include "suite/payroll/payroll_values.h"
#include "suite/tables/table_defs.h"
#include "suite/tables/table_ops.h"
#include "tests/zus/company_fixture.h"
#include "zus/register/field_checks.h"
#include "zus/shell/startup.h"
#include "zus/shell/status_codes.h"
#include "zus/transfer/by_name.h"

namespace transfer_test {

namespace fs = std::filesystem;

inline rt::Value call(const char* name, std::vector<rt::Value> args = {}) {
  return rt::functions().call(name, std::move(args));
}
inline rt::Value text(const std::string& s) { return rt::Value::text(s); }
using company_test::Fields;
using company_test::num;
using company_test::day;
using company_test::yes;

// Kinds of the benefit dictionary and the slots they are linked to.
inline constexpr const char* kSickness = "Z01";  // slot 1: sickness benefit, days counted
inline constexpr const char* kSickness2 = "Z10"; // slot 10: another sickness kind
inline constexpr const char* kOther = "Z11";     // slot 11: not a calculated kind
inline constexpr const char* kUnlinked = "Z99";  // in no slot

class TransferCompany : public ::testing::Test {
 protected:
  void SetUp() override {
    dir = company_test::enterTestDirectory("zus_transfer", previous);
    fs::create_directories(dir / "KADRY");
    rt::context().memvars.clearAll();
    rt::context().settings.deleted = true;
    company_test::registerLayers();
    zus::registerShellFunctions();
    zus::registerTransferFunctions();
    stubOutsideDialogs();
    suite::INI_FIRM();
    rt::context().memvars.assign("lum_data", day(2026, 2, 1));
    declareProgramState();
    createEmptyTables({"MAIN", "SLOWNIK", "DANE_WE", "ARCHIW", "STATUS", "NIEOBEC", "CZAS_P"});
    add("MAIN", {{"nr_prac", text("    1")}, {"nazwisko", text("Kowalski")}, {"imie", text("Jan")}, {"status", num(1)}, {"sl_slow1", text("D01")}});
    add("MAIN", {{"nr_prac", text("    2")}, {"nazwisko", text("Nowak")}, {"imie", text("Anna")}, {"status", num(1)}, {"sl_slow1", text("D02")}});
    for (const char* k : {kSickness, kSickness2, kOther, kUnlinked})
      add("SLOWNIK", {{"kod", text(k)}, {"skrot", text(std::string("KIND") + k)}});
  }

  void TearDown() override {
    call("DBCLOSEALL");
    company_test::leaveTestDirectory(previous, dir);
  }

  // Creates the company's tables anew, empty (they must be closed).
  static void createEmptyTables(std::initializer_list<const char*> names) {
    for (const char* t : names) {
      const suite::TableDef* def = suite::findTable(t);
      suite::createTable(suite::tableDirectory(*def) + def->name, *def);
    }
  }

  // The state of the program the transfers read: link, statuses, parameters.
  void declareProgramState() {
    rt::Memvars& v = rt::context().memvars;
    v.declarePublic("czy_jest_mem", yes());
    rt::Value zus = rt::Value::newArray(33), place = rt::Value::newArray(33), dni = rt::Value::newArray(33);
    for (size_t i = 0; i < 33; ++i) zus.arr()[i] = place.arr()[i] = dni.arr()[i] = text("");
    zus.arr()[0] = text(kSickness);
    place.arr()[0] = text("P001");
    zus.arr()[9] = text(kSickness2);
    place.arr()[9] = text("P010");
    zus.arr()[10] = text(kOther);
    place.arr()[10] = text("P011");
    dni.arr()[0] = text("D001");   // current days of slot 1
    dni.arr()[4] = text("D005");   // arrears days of slots 1, 7, 15...
    dni.arr()[9] = text("D010");   // current days of slot 10
    v.declarePublic("zas_zus", zus);
    v.declarePublic("zas_place", place);
    v.declarePublic("zas_dni", dni);
    v.declarePublic("zusx_plc", num(1));
    v.declarePublic("lum_zestaw", num(32));
    zus::ZAS_STAT();
  }

  void stubOutsideDialogs() {
    rt::functions().add("KOM3", company_test::messageRecorder(messages));
    rt::functions().add("SKONCZYLEM", [this](rt::Args& a) {
      summary.clear();
      for (const rt::Value& l : a[0].arr()) summary.push_back(l.strOr(""));
      return rt::Value();
    });
    rt::functions().add("ZAKRES",
                        company_test::rangeAnswer(range, [this] { return oneEmployee; }, groups));
    rt::functions().add("WYB_OKRESU", [this](rt::Args& a) {
      if (monthsBack.empty()) return yes(false);
      a.assign(2, num(monthsBack[0]));
      if (a.byRef(3)) a.assign(3, num(monthsBack.size() > 1 ? monthsBack[1] : monthsBack[0]));
      return yes();
    });
    if (!rt::functions().has("WPISZ_STAT") || wpiszStatIsStandIn) {
      wpiszStatIsStandIn = true;
      // The employee's records from the current one on, paid before the month's end, get the
      // status unless they hold a constant value.
      rt::functions().add("WPISZ_STAT", [](rt::Args& a) {
        rt::Value area = call("SELECT");
        call("DBSELECTAREA", {text("nieobec")});
        std::string nr = call("FIELDGET", {call("FIELDPOS", {text("nr_prac")})}).strOr("");
        rt::Value end = call("DOD_MIES", {*rt::context().memvars.tryGet("_miesp"), num(1)});
        while (!call("EOF").logicalOr(true) && suite::field("nr_prac").strOr("") == nr &&
               suite::field("dat_wyp").date() < end.date()) {
          if (!zus::statusConst(suite::field("status").numOr(0)) && call("DBRLOCK", {call("RECNO")}).logicalOr(false))
            suite::setField("status", a[0]);
          call("DBSKIP");
        }
        call("DBSELECTAREA", {area});
        return rt::Value();
      });
    }
  }

  // Appends a record to a table through an opening of its own.
  void add(const char* table, const Fields& fields) {
    rt::Value area = call("SELECT");
    openOwn(table, "fixture");
    suite::appendRecord(fields);
    call("DBCOMMIT");
    call("DBCLOSEAREA");
    if (area.intOr(0) > 0) call("DBSELECTAREA", {area});
  }

  // A benefit record paid on the payout date given, with the fields given over the defaults.
  Fields benefit(const char* nr, const char* kind, double value, int days, rt::Value paid, Fields more = {}) {
    Fields f{{"nr_prac", text(nr)}, {"zasilek", text(kind)}, {"wartosc", num(value, 2)}, {"l_dni", num(days)},
             {"status", num(zus::stat_obl)}, {"dat_wyp", paid}, {"od", day(2026, 1, 10)},
             {"do", rt::Value::date(rt::makeDate(2026, 1, 10) + days - 1)}};
    for (auto& m : more) {
      auto it = std::find_if(f.begin(), f.end(), [&](auto& e) { return e.first == m.first; });
      if (it != f.end()) it->second = m.second;
      else f.push_back(m);
    }
    return f;
  }

  // Opens a table in an area of its own under an alias (another workstation's opening).
  void openOwn(const char* table, const char* alias) {
    const suite::TableDef* def = suite::findTable(table);
    call("DBUSEAREA", {yes(), rt::Value(), text(suite::tablePath(*def) + ".dbf"), text(alias), yes(), yes(false)});
  }

  // Every record of a table (deleted ones too) as name -> value maps.
  std::vector<std::map<std::string, rt::Value>> rows(const char* table, bool withDeleted = false) {
    rt::Value area = call("SELECT");
    bool hidden = rt::context().settings.deleted;
    rt::context().settings.deleted = !withDeleted;
    openOwn(table, "reader");
    call("DBSETORDER", {num(0)});
    std::vector<std::map<std::string, rt::Value>> out;
    int fields = int(call("FCOUNT").intOr(0));
    for (call("DBGOTOP"); !call("EOF").logicalOr(true); call("DBSKIP")) {
      std::map<std::string, rt::Value> row;
      for (int i = 1; i <= fields; ++i) row[call("FIELDNAME", {num(i)}).strOr("")] = call("FIELDGET", {num(i)});
      row["DELETED"] = call("DELETED");
      out.push_back(row);
    }
    call("DBCLOSEAREA");
    rt::context().settings.deleted = hidden;
    if (area.intOr(0) > 0) call("DBSELECTAREA", {area});
    return out;
  }

  // The n-th record (1-based, natural order) of the benefit register, deleted ones counted.
  std::map<std::string, rt::Value> record(int n) { return rows("NIEOBEC", true).at(size_t(n - 1)); }

  // The payroll input item of an employee in hundredths; 0 when there is none.
  int inputItem(const std::string& nr, const std::string& code) {
    for (auto& r : rows("DANE_WE"))
      if (r["NR_PRAC"].strOr("") == nr && r["KOD"].strOr("") == code) return suite::decodeInputValue(r["WARTOSC"].strOr(""));
    return 0;
  }

  // Changes fields of the n-th record (1-based, natural order) of a table.
  void change(const char* table, int recno, const Fields& fields) {
    rt::Value area = call("SELECT");
    openOwn(table, "fixture");
    call("DBGOTO", {num(recno)});
    call("DBRLOCK", {num(recno)});
    for (auto& [n, v] : fields) suite::setField(n, v);
    call("DBCOMMIT");
    call("DBCLOSEAREA");
    if (area.intOr(0) > 0) call("DBSELECTAREA", {area});
  }
  void removeRecord(const char* table, int recno) {
    rt::Value area = call("SELECT");
    openOwn(table, "fixture");
    call("DBGOTO", {num(recno)});
    call("DBRLOCK", {num(recno)});
    call("DBDELETE");
    call("DBCOMMIT");
    call("DBCLOSEAREA");
    if (area.intOr(0) > 0) call("DBSELECTAREA", {area});
  }

  // Runs an entry with the confirmation answered by Enter (its default "Tak").
  void run(const char* entry, std::vector<int> keys = {rt::term::K_ENTER}) {
    for (int k : keys) h.keys({k});
    messages.clear();
    summary.clear();
    call(entry);
  }

  // Ctrl+F3 in the register's form on record 1, the question answered by Enter ("Tak"); with
  // `holdEmployee` the employee (MAIN record 1) is locked first, as the register holds it.
  void ctrlF3(bool holdEmployee = false) {
    ASSERT_TRUE(call("_OPEN_SET", {text("MAIN | SLOWNIK | DANE_WE | NIEOBEC"), text("SSSS")}).logicalOr(false));
    if (holdEmployee) {
      call("DBSELECTAREA", {text("main")});
      call("DBGOTO", {num(1)});
      ASSERT_TRUE(call("_REC_LOCK").logicalOr(false));
      call("DBSELECTAREA", {text("nieobec")});
    }
    rt::PrivateFrame frame(rt::context().memvars);
    rt::context().memvars.declarePrivate("czy_new", yes(false));
    call("DBGOTO", {num(1)});
    messages.clear();
    h.keys({rt::term::K_ENTER});
    zus::DAJ_CT_F3();
    call("_CLOSE_SET", {text("MAIN")});
  }

  bool said(const std::string& part) const { return company_test::anyContains(messages, part); }
  std::string summaryLine(size_t i) const { return i < summary.size() ? summary[i] : "<none>"; }
  static bool tableOpen(const char* alias) { return call("SELECT", {text(alias)}).intOr(0) > 0; }

  rt::term::Headless h;
  fs::path previous, dir;
  std::vector<std::string> messages, summary;
  int range = 1;
  std::string oneEmployee;
  std::vector<std::string> groups;  // department keys of range 2
  std::vector<int> monthsBack{0};
  static inline bool wpiszStatIsStandIn = false;
};

// Fails the first write of the benefit register after a payroll item was written: the transfer
// marks of that payroll call do not reach the disk.
struct MarksWriteFault {
  MarksWriteFault() {
    rt::db::File::setWriteFault([this](const std::string& path, uint64_t, size_t) {
      std::string name = fs::path(path).filename().string();
      std::transform(name.begin(), name.end(), name.begin(), [](unsigned char c) { return char(std::tolower(c)); });
      if (name == "dane_we.dbf" && !fired) armed = true;
      if (name == "nieobec.dbf" && armed) {
        armed = false;
        fired = true;
        return EIO;
      }
      return 0;
    });
  }
  ~MarksWriteFault() { rt::db::File::setWriteFault({}); }
  bool armed = false, fired = false;
};

}  // namespace transfer_test
