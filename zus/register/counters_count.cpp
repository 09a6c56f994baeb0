// Sick-pay day counting and the care-day limit.
#include "zus/register/counters_count.h"

#include <algorithm>
#include <vector>

#include "zus/register/benefit_record.h"
#include "zus/shell/kind_predicates.h"

namespace zus {

using namespace reg;

namespace {

// Accident kinds (link slots 27, 28 and 20): their days never count towards the limit.
bool accidentKind(const std::string& kind) {
  for (int slot : {27, 28, 20})
    if (kind == elementText("zas_zus", slot)) return true;
  return false;
}

bool insuranceSickness(const std::string& kind) {
  return kindIs(KindFamily::CH_ZUS, kind) || kind == elementText("zas_zus", 7);
}

std::string dtoc(int32_t day) { return call("DTOC", {rt::Value::date(day)}).strOr(""); }

std::string two(double n) {
  char buf[16];
  std::snprintf(buf, sizeof buf, "%2d", int(n));
  return buf;
}

void message(const std::vector<std::string>& lines, int kind) {
  rt::Value a = rt::Value::newArray(0);
  for (const std::string& l : lines) a.arr().push_back(txt(l));
  call("KOM3", {a, num(0), num(0), num(kind)});
}

// The warning rows for a new entry: the first whose kind and condition hold is shown.
void warnAboutLimit(int n, int p, int32_t to) {
  const std::string kind = textVar("_zasilek");
  const bool late = dateVar("_data_prawa") >= dateOf(2009, 2, 1);
  const double limit = late && fiftyOrOver() ? numVar("zusx_chz50") : numVar("zusx_chzk");
  const std::string nn = two(limit);
  const std::string day = dtoc(to - n + int32_t(limit));
  const bool employerPay = kindIs(KindFamily::CH_ZK, kind);
  const bool insurance = insuranceSickness(kind);
  if (employerPay && n > limit && p < limit)
    message({"Liczba dni wynagrodzenia za chorobe` przekroczyl`a " + nn + " !",
             nn + " dzien przypada " + day + "r."},
            8);
  else if (insurance && n >= limit && p < limit)
    message({"Ostatni dzien` wynagrodzenia za chorobe` przypada na " + day + "r.",
             "Wpisz wynagrodzenie za chorobe` do tego dnia."},
            8);
  else if (employerPay && n > limit && p >= limit)
    message({"Liczba dni wynagrodzenia za chorobe` przekroczyl`a " + nn + " !",
             "Wprowadz` zasil`ek w cal`os`ci jako \"chorobowy ZUS\" !"},
            8);
  else if (insurance && !accidentKind(kind) && n < limit)
    message({"Liczba dni wynagrodzenia za chorobe` nie przekroczyl`a " + nn + " !",
             "Wprowadz` w cal`os`ci \"wynagrodzenie za chorobe`\" !"},
            8);
}

}  // namespace

bool fiftyOrOver() {
  int32_t born = dateVar("_data_ur");
  if (born == 0) return false;
  return yearOf(dateVar("_data_prawa")) - 1 - yearOf(born) >= 50;
}

int32_t WEZ_DATE() {
  if (fieldType("main", "data_zus") == "D") return fieldDate("main", "data_zus");
  return dateVar("lum_data");
}

int ZLICZ_CHOR(const std::string& employee, bool czyNew, std::optional<int32_t> od,
               std::optional<int32_t> to) {
  // An empty date of the form counts as no date: nothing typed yet.
  const int32_t formFrom = od.value_or(0), formTo = to.value_or(0);
  const bool haveFrom = formFrom != 0, haveTo = formTo != 0;
  KeepArea keepArea;
  const int32_t start = WEZ_DATE();
  const std::string formKind = textVar("_zasilek");
  int formDays = 0;
  if (haveFrom && haveTo && textVar("_czy_zlicz") == "T" &&
      dateVar("_data_prawa") >= dateOf(1995, 3, 1))
    formDays = formTo - formFrom + 1;

  double count = fieldType("main", "dni_poza") == "N" ? fieldNum("main", "dni_poza") : 0;
  {
    selectAlias("nieobec");
    KeepOrderAndRecord keep;
    // The browse's scope (years of the payout order) says nothing about the end-date order.
    ScopesAside wholeRegister;
    const int64_t edited = keep.record().intOr(0);
    call("ORDSETFOCUS", {num(kOrderEnd)});
    call("DBSEEK", {txt(employee + dtos(start)), yes(true)});
    for (; !call("EOF").logicalOr(true); call("DBSKIP", {num(1)})) {
      if (fieldText("nieobec", "nr_prac") != employee) break;
      const int32_t end = fieldDate("nieobec", "do");
      if (haveTo && end > formTo) break;
      const std::string kind = fieldText("nieobec", "zasilek");
      if (!kindIs(KindFamily::CHOROBOWY, kind)) continue;
      const int32_t from = fieldDate("nieobec", "od");
      // Absences of March 1995 with a right from before the month: under the rules of then.
      if (yearOf(from) == 1995 && monthOf(fieldDate("nieobec", "data_prawa")) < monthOf(end) &&
          monthOf(end) == 3)
        continue;
      if (call("RECNO").intOr(0) == edited && !czyNew && haveFrom) {
        if (!accidentKind(formKind)) count += formDays;
      } else if (!fieldFlag("nieobec", "o_zlicz") && !accidentKind(kind)) {
        count += fieldNum("nieobec", "l_dni");
      }
    }
  }
  const int p = int(count);
  if (czyNew && !accidentKind(formKind)) count += formDays;
  const int n = int(count);
  if (haveFrom && haveTo && czyNew && textVar("_czy_korekt") == "N") warnAboutLimit(n, p, formTo);
  const double cap = fiftyOrOver() ? numVar("zusx_chz50") : numVar("zusx_chzk");
  return int(std::min<double>(n, cap));
}

double SUMA_DN(double dn) {
  if (flagVar("czy_new")) return dn;
  return dn - fieldNum("nieobec", "l_dni");
}

bool OK_POM_DZ() {
  const std::string answer = textVar("_pom_dz");
  if (answer != "T" && answer != "N") return false;
  if (answer == "N" && textVar("_zasilek") == elementText("zas_zus", 2)) {
    const double others = SUMA_DN(fieldNum("main", "dni_rdz"));
    const double days = numVar("_l_dni");
    if (days + others > 14) {
      call("STATLINE", {num(7)});
      message({"Pro`ba przekroczenia limitu dni opieki nad innym czl`onkiem nix` dziecko (14)",
               "Przekroczenie przypada na dzien`: " +
                   dtoc(dateVar("_do") - int32_t(days + others) + 14) + "r."},
              0);
      call("STATLINE", {num(-1)});
    }
  }
  return true;
}

bool MIES_KAL(int32_t from, int32_t to, int n) {
  int m = monthOf(to) + 12 * (yearOf(to) - yearOf(from));
  if (m < 0) return true;
  return m - monthOf(from) > n;
}

}  // namespace zus
