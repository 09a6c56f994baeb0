// `_ZASILEK` and `_NETTO` on the current benefit record, and the archive value of the system
// pseudo-employee they compare with.
#include "zus/calc/value_current.h"

#include "runtime/core/context.h"
#include "zus/calc/run_tables.h"
#include "zus/calc/value_rounding.h"

namespace zus::calcrun {
namespace {

// The employee number under which the archive holds company-wide values.
constexpr const char* kPseudoEmployee = "    0";

rt::Value* visibleVariable(const char* name) { return rt::context().memvars.find(name); }

}  // namespace

BenefitFields readBenefit(rt::db::WorkArea& n) {
  BenefitFields r;
  r.kind = fieldText(n, "zasilek");
  r.percent = fieldNumber(n, "procent");
  r.full = fieldFlag(n, "czy_100");
  r.accident = fieldFlag(n, "przy_pracy");
  r.amountRate = fieldFlag(n, "czy_kwot");
  r.alcohol = fieldFlag(n, "czy_alk");
  r.firstDayUnpaid = fieldFlag(n, "czy_nie_pl");
  r.from = fieldDate(n, "od");
  r.to = fieldDate(n, "do");
  r.rightFrom = fieldDate(n, "data_prawa");
  r.payout = fieldDate(n, "dat_wyp");
  r.reductionDays = int(fieldNumber(n, "dni_obniz"));
  r.tax = fieldNumber(n, "podat");
  r.taxRelief = fieldNumber(n, "zalicz");
  r.days = int(fieldNumber(n, "l_dni"));
  r.average = fieldNumber(n, "suma");
  return r;
}

ValueSettings programValueSettings() {
  ValueSettings s;
  s.rateStep = numberVar("zusx_zaok1", 0.01);
  s.valueStep = numberVar("zusx_zaok2", 0.01);
  s.kind = textVar("zusx_rzaok", "M");
  s.averageKind = benefitKind(5);
  for (int slot : {3, 4, 8, 9})
    if (!benefitKind(slot).empty()) s.maternityKinds.push_back(benefitKind(slot));
  return s;
}

double pseudoEmployeeValue(const std::string& item) {
  if (item.empty() || !isOpen("archiw")) return 0;
  SelectedArea selected("archiw");
  rt::db::WorkArea& archive = areaOf("archiw");
  uint32_t keep = archive.recno();
  double value = 0;
  if (archive.seek(rt::Value::text(kPseudoEmployee + item), false)) {
    // The pseudo-employee's depth is the archive depth itself, not shifted by the run's months.
    value = rt::functions().has("Z_ARCH")
                ? callByName("Z_ARCH", {rt::Value::integer(0), rt::Value::logical(true)}).numOr(0)
                : callByName("POB_AR", {rt::Value::integer(0), rt::Value::logical(false)}).numOr(0);
  }
  archive.goTo(keep);
  return value;
}

double currentBenefitValue(const std::string& kind, int days, double basis) {
  rt::db::WorkArea& n = areaOf("nieobec");
  BenefitFields record = readBenefit(n);
  rt::Value* texts = visibleVariable("tekst_wysw");
  bool wantTexts = texts && texts->isArray();

  ValueHooks hooks;
  hooks.message = [](const std::vector<std::string>& lines) { message(lines, 5); };
  hooks.parentalAmount = [] {
    std::string item = dataItem(40);
    if (item.empty()) {
      rt::Value* reported = visibleVariable("kom_mac");
      if (!(reported && reported->logicalOr(false))) {
        message({"Nie podl`a`czone s`wiadczenie rodzicielskie do poro`wnania wartos`ci!",
                 "Nalex`y to zrobic` w opcji Narze`dzia\\Podl`a`czenia\\Przesyl`u ZUS/PL`ACE"},
                5);
        if (reported) *reported = rt::Value::logical(true);
      }
      return 0.0;
    }
    return pseudoEmployeeValue(item);
  };

  ValueOutcome out = benefitValue(record, kind, days, basis, programValueSettings(), wantTexts, hooks);
  if (out.rate) setVar("_stawka", rt::Value::number(*out.rate, 2));
  if (wantTexts && out.textsFilled) {
    rt::Value list = rt::Value::newArray(0);
    for (const std::string& t : out.texts) list.arr().push_back(rt::Value::text(t));
    *visibleVariable("tekst_wysw") = list;
  }
  if (out.parentalShortfall) {
    if (rt::Value* shortfall = visibleVariable("kwota_tmp"))
      *shortfall = rt::Value::number(*out.parentalShortfall, 2);
  }
  return out.value;
}

double currentNetAmount(double value) {
  rt::db::WorkArea& n = areaOf("nieobec");
  return netAmount(value, fieldNumber(n, "podat"), fieldNumber(n, "zalicz"), fieldDate(n, "dat_wyp"));
}

double minimumWageDailyRate() {
  double wage = numberVar("min_pl_br") * numberVar("wymiar_et");
  return round2((wage - wage * numberVar("zusx_sprsk") / 100) / 30);
}

bool confirmMinimumWageRate() {
  std::vector<std::string> lines{"Dla aktualnie przetwarzanego pracownika stawka dzienna",
                                 "jest mniejsza od stawki dziennej z minimalnej pl`acy krajowej."};
  // Over many employees the question covers the progress window, where the employee's name
  // stood: it names the employee itself.
  if (numberVar("zakr") != 3 && isOpen("main")) {
    rt::db::WorkArea& main = areaOf("main");
    auto trimmed = [&](const char* name) {
      std::string s = fieldText(main, name);
      size_t b = s.find_first_not_of(' ');
      return b == std::string::npos ? std::string() : s.substr(b, s.find_last_not_of(' ') - b + 1);
    };
    lines.push_back("Pracownik: " + trimmed("nr_prac") + " " + trimmed("nazwisko") + " " + trimmed("imie"));
  }
  return ask(true, "Czy zatwierdzasz stawke` dzienna` z pl`acy minimalnej ?", lines, 12, 0);
}

}  // namespace zus::calcrun
