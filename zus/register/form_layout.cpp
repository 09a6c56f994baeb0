// The edit form's entries and displays for a benefit kind (see form_layout.h).
#include "zus/register/form_layout.h"

#include "runtime/core/std_dates.h"
#include "runtime/ui/ui_functions.h"
#include "zus/register/field_checks.h"
#include "zus/register/form_copies.h"
#include "zus/register/form_payout.h"
#include "zus/register/form_support.h"
#include "zus/shell/kind_predicates.h"

namespace zus {
namespace {

using namespace form;

// Benefit slots the form's choices name.
constexpr int kAverageBasisSlot = 5;   // average basis of child-raising leave: the value alone
constexpr int kRehabilitationSlot = 7;
constexpr int kAccidentSlots[] = {27, 28, 20};

bool is(KindFamily family) { return kindIs(family, text("_zasilek")); }

// A check routine of another part of the register, by name; accepted while it is not there.
std::function<bool()> byName(const char* routine, std::function<std::vector<rt::Value>()> args = {}) {
  return [routine, args] {
    return callIfPresent(routine, args ? args() : std::vector<rt::Value>{}, flag(true))
        .logicalOr(true);
  };
}

bool flagAnswered(const char* variable) {
  const std::string v = text(variable);
  return v == "T" || v == "N";
}

std::string picture(char c, int width) { return std::string(size_t(width), c); }

}  // namespace

rt::ui::GetPtr addEntry(int row, int col, const std::string& label, const std::string& variable,
                        const std::string& pictureText, std::function<bool()> check,
                        int valueCol) {
  const std::string shown = display(label);
  say(row, col, shown);
  const int at = valueCol >= 0 ? valueCol : col + int(shown.size()) + 1;
  auto get = rt::ui::Get::onMemvar(row, at, variable, pictureText);
  if (check) get->valid = std::move(check);
  get->display();
  if (rt::Value* list = vars().find("getList"); list && list->isArray())
    list->arr().push_back(rt::ui::getAsValue(get));
  return get;
}

rt::ui::GetPtr addKindEntry() {
  const int wier = int(number("wier", kFormTop)), kol = int(number("kol", kFormLeft));
  auto get = rt::ui::Get::onMemvar(wier + 1, kol + 18, "skr_zas",
                                   picture('!', int(number("len_slow", 10))));
  get->valid = [wier, kol] { return OK_ZAS(wier + 1, kol + 29); };
  get->display();
  if (rt::Value* list = vars().find("getList"); list && list->isArray())
    list->arr().push_back(rt::ui::getAsValue(get));
  return get;
}

void buildKindEntries() {
  const bool obli = is(KindFamily::OBLI);
  const std::string averageKind = slotKind(kAverageBasisSlot);
  const bool averageBasis = kindOfSlot(kAverageBasisSlot);
  // "!=" of the expression syntax against the slot: false also while the slot is unlinked.
  const bool notAverageLoose = !looseEquals(text("_zasilek"), averageKind);
  bool accidentKind = false;
  for (int slot : kAccidentSlots) accidentKind = accidentKind || kindOfSlot(slot);
  const bool slot27or20 = kindOfSlot(27) || kindOfSlot(20);

  addEntry(9, 3, "Data od:", "_od", "",
           byName("OK_OD", [] { return std::vector<rt::Value>{var("_od"), var("czy_new")}; }));
  addEntry(9, 31, "Data do:", "_do", "", byName("OK_DO"));
  auto days = addEntry(9, 58, "Liczba dni:", "_l_dni", "999");
  days->when = [averageKind] { return !looseEquals(text("_zasilek"), averageKind); };

  if (obli) {
    addEntry(10, 3, "Data powstania prawa do zas.:", "_data_prawa", "", byName("OK_DAT_PRA"));
    addEntry(11, 3, "Procent:", "_proc", "999", [] { return OK_PROC(); });
  }
  addEntry(11, 16, "Data wypl`aty:", "_dat_wyp", "", [] { return DAJ_DATKI(); });

  if (averageBasis) {
    set("old_zlicz", var("_czy_zlicz"));
    set("_czy_zlicz", txt("N"));
  } else if (obli) {
    set("old_zlicz", var("_czy_zlicz"));
    addEntry(11, 42, "Czy uwzgle`dniac` dni w sumowaniu ?", "_czy_zlicz", "!", byName("OK_ZLICZ"));
  }

  if (obli && date("_data_prawa") >= rt::makeDate(1999, 9, 1)) {
    addEntry(12, 3, "Data otrz.L-4:", "_data_otrz", "");
    addEntry(12, 29, "Data dostarcz.L-4:", "_data_dost", "", byName("OK_L4"));
    addEntry(12, 60, "Dni obnix`ki:", "_dni_obniz", "999");
  }

  const bool monthsAsked = obli || averageBasis;
  if (monthsAsked) {
    callIfPresent("OK_MIES", {num(13), num(38), num(78), flag(false)}, flag(true));
    addEntry(13, 3, "Czy wskazac` miesia`ce do podst.?", "_czy_wsk", "!",
             byName("OK_MIES", [] { return std::vector<rt::Value>{num(13), num(38), num(78)}; }));
  }
  if (monthsAsked && (notAverageLoose || averageKind.empty())) {
    addEntry(14, 3, "Kod liter.:", "_nr_stat", text("pict_chor").empty() ? "XXXX" : text("pict_chor"),
             byName("OK_LITER"));
    const std::string l4 = text("pict_l_4").empty() ? picture('X', 14) : text("pict_l_4");
    addEntry(14, 23, "Nr L-4:", "_nr_l_4", l4, [] {
      return !callIfPresent("CZY_JEST_L_4", {var("_nr_l_4"), flag(false), var("czy_new")},
                            flag(false))
                  .logicalOr(false);
    });
    addEntry(14, 48, "Nr pop.L-4:", "_poprz_l_4", l4, [] {
      return callIfPresent("CZY_JEST_L_4", {var("_poprz_l_4"), flag(true), var("czy_new")},
                           flag(true))
          .logicalOr(false);
    });
  }

  if (is(KindFamily::CHOR_ALL) || is(KindFamily::REHAB)) {
    if (accidentKind) {
      set("_przy_pracy", txt("T"));
      addEntry(15, 3, "Czy wypadek przy pracy ?", "_przy_pracy", "!",
               [] { return flagAnswered("_przy_pracy"); });
    } else {
      addEntry(15, 3, "Czy wypadek poza praca` ?", "_przy_pracy", "!", [] { return OK_WYPADEK(); });
    }
  }
  if ((is(KindFamily::CHOR_ALL) || kindOfSlot(kRehabilitationSlot)) && !slot27or20)
    addEntry(15, 31, "Czy 100 % ?", "_czy_100", "!", [] { return OK_100(); });
  if (is(KindFamily::CHOR_ALL) && !slot27or20)
    addEntry(15, 46, "Czy nadux`ycie alkoholu ?", "_czy_alk", "!",
             [] { return flagAnswered("_czy_alk"); });
  if (is(KindFamily::OPIEK))
    addEntry(15, 3, "Czy op. nad dzieckiem ?", "_pom_dz", "!", byName("OK_POM_DZ"));

  if (obli) {
    addEntry(16, 3, "Czy korekta?", "_czy_korekt", "!", [] { return OK_KOREKT(); });
    addEntry(16, 21, "% zal.na pdt.:", "_podatek", "999999999.99");
    addEntry(16, 50, "Obnix`ka pdt.:", "_zaliczka", "99999999.99");
    addEntry(18, 3, "Stawka dzienna:", "_kw_podst", "9999999999.99",
             byName("OK_PODST", [] { return std::vector<rt::Value>{var("_old_pd")}; }));
  }
  const std::string longPicture =
      text("pict_long").empty() ? "99 999 999 999.99" : text("pict_long");
  addEntry(18, 35, "Wartos`c`: ", "_wartosc", longPicture, [] { return OK_WARTOSC(); }, 44);

  // Displays, redrawn by the checks that change them.
  if (is(KindFamily::CH_ZK) && date("_od") <= rt::makeDate(2003, 12, 31)) {
    say(10, 45, display("Czy pierwszy dzien` niepl`atny?"));
    sayBold(10, 75, yesNo(text("_czy_nie_pl") == "T"));
  }
  if (obli) {
    say(17, 3, display("Czy podstawa wczytana z poprzedniego zasil`ku ?"));
    sayBold(17, 50, yesNo(text("_nieobec") == "PBZ"));
    if (is(KindFamily::REHAB)) {
      say(17, 54, display("Czy waloryz.s`w.reh.?"));
      sayBold(17, 75, yesNo(logical("_rehab")));
    }
  }
  say(19, 3, "Status: ");
  showFormStatus();
  say(19, 31, "Stawka dzienna kwotowo: ");
  sayBold(19, 56, yesNo(logical("_czy_kwot")));
  if (obli) {
    const std::string since =
        rt::dtoc(hasSickPayStart() ? sickPayStart() : date("lum_data"));
    say(20, 3, display("Suma dni wynagrodzenia za chorobe` od dnia ") + since + ":");
    rt::Value days = callIfPresent("ZLICZ_CHOR", {var("nr_pracusia"), flag(false)}, num(0));
    sayBold(20, 61, call("STR", {days, num(3)}).strOr("  0"));
  }
}

}  // namespace zus
