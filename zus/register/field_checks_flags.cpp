// The percentage check `OK_PROC`, the flag checks `OK_KOREKT`, `OK_WYPADEK` and `OK_100`, and
// the default sickness percentage by years of service `SZUK_PROC`.
//
// An accident or a benefit paid at 100% forces the percentage to 100: the flag checks set it and
// add a percentage entry to the running form so the user can still come back to it.
#include <string>

#include "runtime/core/std_dates.h"
#include "runtime/ui/get.h"
#include "runtime/ui/ui_functions.h"
#include "zus/register/field_checks.h"
#include "zus/register/form_support.h"
#include "zus/shell/kind_predicates.h"

namespace zus {
namespace {

using namespace form;

constexpr int kRehabilitationSlot = 7;

// The entry for `_proc` beside the label "Procent:", appended to the running form's list.
void addPercentEntry() {
  const int wier = int(number("wier", 6)), kol = int(number("kol", 1));
  const std::string label = display("Procent:");
  say(wier + 5, kol + 2, label);
  auto get = rt::ui::Get::onMemvar(wier + 5, kol + 2 + int(label.size()) + 1, "_proc", "999");
  get->valid = [] { return OK_PROC(); };
  get->display();
  rt::Value* list = vars().find("GETLIST");
  if (!list || !list->isArray()) return;
  // Answering the flag again does not add a second entry behind the first one.
  if (!list->arr().empty()) {
    rt::ui::GetPtr last = rt::ui::getFromValue(list->arr().back());
    if (last && last->name() == "_proc" && last->row() == get->row() && last->col() == get->col())
      return;
  }
  list->arr().push_back(rt::ui::getAsValue(get));
}

// The common steps of the accident and the 100% flag: `own` is the routine's flag, `other` the
// flag of the sibling routine.
bool forceHundred(const char* own, const char* other, const std::vector<std::string>& reminder) {
  const std::string value = text(own);
  if (value != "T" && value != "N") return false;
  if (value == "T") {
    set("old_proc", var("_proc"));
    set("_proc", num(100));
    message("Dla zasil`ku wprowadzono 100%", 5);
    addPercentEntry();
  } else if (text(other) == "N" && number("_proc") == 100) {
    message(reminder, 5);
  }
  return true;
}

}  // namespace

bool OK_PROC() {
  const double percent = number("_proc");
  if (percent < 0 || percent > 100) {
    message(std::vector<std::string>{"Wartos`c` spoza zakresu od 0 do 100 %!",
                                     "Wprowadz` poprawna` wartos`c`!"},
            9);
    return false;
  }
  if (text("_przy_pracy") == "T" && percent != 100)
    message(std::vector<std::string>{"Ustawiono wypadek na 'T' - procent ",
                                     "nie mox`e byc` mniejszy nix` 100%"},
            9);
  else if (text("_czy_100") == "T" && percent != 100)
    message(std::vector<std::string>{"Ustawiono 'Czy 100%?' na 'T'- procent ",
                                     "nie mox`e byc` mniejszy nix` 100%"},
            9);
  // A rehabilitation benefit whose right arose before 8 February 2005 is paid at 75%.
  if (kindOfSlot(kRehabilitationSlot) && text("_czy_100") == "N" && text("_przy_pracy") == "N" &&
      date("_data_prawa") < rt::stod("20050208"))
    set("_proc", num(75));
  return true;
}

bool OK_KOREKT() {
  const std::string correction = text("_czy_korekt");
  if (correction != "T" && correction != "N") return false;
  if (correction == "T" && text("_czy_zlicz") == "T") {
    set("old_zlicz", var("_czy_zlicz"));
    set("_czy_zlicz", txt("N"));
    message("Dla zasil`ku oznaczono brak uwzgle`dniania dni w sumowaniu", 5);
    sayIn(int(number("wier", 6)) + 5, int(number("kol", 1)) + 75, "N",
          call("K_SET_KOLOR", {num(0), num(38), num(5)}).strOr(""));
    callIfPresent("OK_ZLICZ", {}, flag(true));
  }
  return true;
}

bool OK_WYPADEK() {
  return forceHundred("_przy_pracy", "_czy_100",
                      {"Wro`c` do pola procent i zmien` jego wartos`c,` ",
                       "jes`li ma byc` mniejsza nix` 100%"});
}

bool OK_100() {
  return forceHundred("_czy_100", "_przy_pracy",
                      {"Wro`c` do pola procent i zmien` jego wartos`c`, ",
                       "jes`li ma byc` mniejsza nix` 100%"});
}

int percentForYears(double years) {
  if (years <= 3) return 75;
  if (years <= 8) return 80;
  return 100;
}

int SZUK_PROC(int32_t od) {
  if (!kindIs(KindFamily::CHOR_ALL, text("_zasilek"))) return 100;
  selectAlias("dane_we");
  rt::Value staz = num(0);
  rt::Args args;
  args.push(var("nr_pracusia"));
  args.push(var("staz_pracy"));
  args.push(staz, &staz);
  if (!rt::functions().has("WEZ_WE") || !rt::functions().call("WEZ_WE", args).logicalOr(false))
    staz = num(0);
  double years = staz.numOr(0);
  const rt::Value hired = aliasField("main", text("zusx_zatr"));
  if (hired.isDate() && hired.date() != 0) years += double(od - hired.date()) / 365.0;
  selectAlias("nieobec");
  return percentForYears(years);
}

}  // namespace zus
