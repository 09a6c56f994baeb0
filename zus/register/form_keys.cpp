// The form's key actions: F5 copies from the neighbouring record, F7 detaches a taken-over basis,
// Ctrl+F2 edits the day counters, Ctrl+F3 marks the record for a new transfer to payroll.
#include "zus/register/form_keys.h"

#include <string>

#include "runtime/core/expr.h"
#include "runtime/db/work_areas.h"
#include "runtime/term/screen.h"
#include "runtime/term/terminal.h"
#include "zus/register/field_checks.h"
#include "zus/register/form_support.h"

namespace zus {
namespace {

using namespace form;

uint32_t edited = 0;

constexpr int kBoundKeys[4] = {kKeyF5, kKeyF7, kKeyCtrlF3, kKeyCtrlF2};
constexpr const char* kKeyRoutines[4] = {"daj_f5", "daj_f7", "daj_ct_f3", "daj_ct_f2"};

rt::term::HotKey blockKey(const char* routine) { return {{}, formKeyBlock(routine)}; }

rt::db::WorkArea* registerTable() { return rt::db::workAreas().byAlias("nieobec"); }

// The register table selected and on the record being edited, when the form knows it.
rt::db::WorkArea* onEditedRecord() {
  rt::db::WorkArea* area = registerTable();
  if (!area) return nullptr;
  rt::db::workAreas().select(area->number());
  if (edited != 0 && area->recno() != edited) area->goTo(edited);
  return area;
}

}  // namespace

rt::Value formKeyBlock(const char* routine) {
  return rt::evalText(std::string("{|pn,pl,vn,obj| ") + routine + "(pn,pl,vn,obj)}");
}

FormKeys::FormKeys() {
  for (int i = 0; i < 4; ++i)
    previous_[i] = rt::term::keyboard().setKey(kBoundKeys[i], blockKey(kKeyRoutines[i]));
}

void FormKeys::release() {
  if (!bound_) return;
  for (int i = 0; i < 4; ++i) rt::term::keyboard().setKey(kBoundKeys[i], previous_[i]);
  bound_ = false;
}

uint32_t editedRecord() { return edited; }
EditedRecord::EditedRecord(uint32_t recno) : previous_(edited) { edited = recno; }
EditedRecord::~EditedRecord() { edited = previous_; }

void DAJ_F5(const std::string& activeVar) {
  const char* source = activeVar == "_KW_PODST"    ? "podst_zas"
                       : activeVar == "_NR_STAT"   ? "nr_stat"
                       : activeVar == "_POPRZ_L_4" ? "nr_l_4"
                                                   : nullptr;
  if (!source) return;
  rt::db::WorkArea* area = registerTable();
  if (!area) return;
  rt::db::workAreas().select(area->number());
  const uint32_t kept = area->recno();
  if (logical("czy_new")) {
    area->goBottom();
  } else {
    if (edited != 0) area->goTo(edited);
    area->skip(-1);
  }
  if (!area->bof() && !area->eof()) {
    rt::Value v = aliasField("nieobec", source);
    if (activeVar == "_KW_PODST") set("_kw_podst", v);
    else if (activeVar == "_NR_STAT") set("_nr_stat", v);
    else set("_poprz_l_4", v);
  }
  area->goTo(kept);
}

void DAJ_F7() {
  if (text("_nieobec") != "PBZ") {
    message("Nie wczytywano podstawy z poprzedniego zasil`ku.", 3);
    return;
  }
  if (!decide(true, "Czy odl`a`czyc` wczytana` podstawe` z poprzedniego zasil`ku ?")) return;
  set("_fakt_mies", txt(""));
  set("_ten_tekst", txt(""));
  set("_nieobec", txt(""));
  set("_suma", num(0));
  set("_druk_podst", num(0));
  // The fill-up flags belong to the months of the cleared string: one flag per month.
  set("_mies_dop", rt::Value::newArray(0));
  sayBold(int(number("wier", 6)) + 11, int(number("kol", 1)) + 49,
          yesNo(text("_nieobec") == "PBZ"));
}

void DAJ_CT_F2() {
  rt::term::keyboard().setKey(kKeyCtrlF2, std::nullopt);
  {
    rt::Value saved = call("SAVEGETS");
    struct GiveBack {
      rt::Value& saved;
      ~GiveBack() { call("RESTGETS", {saved}); }
    } giveBack{saved};
    callIfPresent("DNI_GORNE", {}, {});
  }
  rt::term::screen().setCursorShape(rt::term::CursorShape::Normal);
  rt::term::keyboard().setKey(kKeyCtrlF2, blockKey("daj_ct_f2"));
}

void DAJ_CT_F3() {
  if (logical("czy_new")) return;
  if (!decide(true, "Czy oznaczyc` zasil`ek do bezwarunkowego przepisania do PL`AC ?")) return;
  KeepSelectedArea keep;
  if (!onEditedRecord()) return;
  if (!call("_REC_LOCK").logicalOr(false)) {
    message("Zapis jest ux`ywany na innym stanowisku - oznaczenie nie nasta`pi !", 3);
    return;
  }
  // Payroll adds what it is sent: what it holds of the record goes back before the marks go.
  std::string failure = callIfPresent("ZWROT_PLAC", {}, txt("")).strOr("");
  if (!failure.empty()) {
    message(std::vector<std::string>{"Nie cofnie`to zasil`ku z PL`AC: " + failure + ".",
                                     "Zasil`ek nie zostal` oznaczony do ponownego przepisania."},
            3);
    return;
  }
  rt::FieldResolver& fields = *rt::context().fields;
  fields.writeAliasField("nieobec", "place", flag(false));
  fields.writeAliasField("nieobec", "old_zas", txt("   "));
  fields.writeAliasField("nieobec", "old_dni", num(0));
  fields.writeAliasField("nieobec", "old_wart", num(0));
  fields.writeAliasField("nieobec", "old_nr", txt(""));
  call("DBCOMMIT");
}

}  // namespace zus
