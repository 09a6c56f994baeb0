// `PODST_OBL` and `NVIEW_DANE` over the calculation's and the register's working variables.
#include "zus/calc/basis_routines.h"

#include "runtime/core/context.h"
#include "runtime/core/std_dates.h"
#include "zus/calc/archive_reading.h"
#include "zus/calc/basis_average.h"
#include "zus/calc/basis_print.h"
#include "zus/calc/basis_vars.h"
#include "zus/calc/basis_window.h"
#include "zus/calc/value_current.h"
#include "zus/shell/settings_support.h"

namespace zus::basis {
namespace {

rt::Memvars& vars() { return rt::context().memvars; }

rt::Value num(double v, int dec = 0) { return rt::Value::number(v, dec); }

rt::Value numbers(const std::vector<BasisMonth>& ms, double BasisMonth::*member,
                  bool BasisMonth::*read = nullptr) {
  rt::Value a = rt::Value::newArray(0);
  for (const BasisMonth& m : ms) a.arr().push_back(num(m.*member, read && m.*read ? 2 : 0));
  return a;
}

double element(const rt::Value& a, size_t i) {
  return a.isArray() && i < a.arr().size() ? a.arr()[i].numOr(0) : 0;
}

DateParts partsOf(const rt::Value& date) {
  DateParts p;
  if (date.isDate() && date.date() != 0) rt::splitDate(date.date(), p.year, p.month, p.day);
  return p;
}

bool averageKind(const std::string& kind) { return kind == textElement("zas_zus", 5); }

// The employee's number as the register and the calculation show it.
std::string employeeNumber() {
  bool pseudo = logicalVar("czy_pseudo");
  return aliasField("main", pseudo ? "nr_pseudo" : "nr_prac").strOr("");
}

// Does MAIN have the order tag NR_PSEUDO (employees shown by their pseudo-number).
bool mainHasPseudoOrder() {
  rt::Value area = call("SELECT");
  if (call("SELECT", {rt::Value::text("main")}).intOr(0) <= 0) return false;
  selectAlias("main");
  bool has = call("ORDNUMBER", {rt::Value::text("NR_PSEUDO")}).intOr(0) > 0;
  if (area.intOr(0) > 0) call("DBSELECTAREA", {area});
  return has;
}

// The value texts of the record, for a saved basis whose display texts are blank.
std::array<std::string, 4> recordTexts() {
  auto str = [](const rt::Value& v, int w, int d) {
    return call("STR", {num(v.numOr(0), d), rt::Value::integer(w), rt::Value::integer(d)}).strOr("");
  };
  return {str(aliasField("nieobec", "procent"), 3, 0), str(aliasField("nieobec", "podst_zas"), 6, 2),
          str(aliasField("nieobec", "l_dni"), 3, 0), str(aliasField("nieobec", "wartosc"), 8, 2)};
}

struct Parameters {
  int auxFrom, auxTo, auxMonth, auxYear;
  bool calendarDays;
};
Parameters parameters() {
  return {int(numVar("zusx_pom_od")), int(numVar("zusx_pom_do")), int(numVar("zusx_pom_m")),
          int(numVar("zusx_pom_r")), logicalVar("zusx_dni_kal")};
}

WindowSubject windowSubject(bool average) {
  Parameters p = parameters();
  WindowSubject s;
  s.firstName = aliasField("main", "imie").strOr("");
  s.surname = aliasField("main", "nazwisko").strOr("");
  s.number = employeeNumber();
  rt::Value od = aliasField("nieobec", "od"), to = aliasField("nieobec", "do");
  s.from = od.isDate() ? od.date() : 0;
  s.to = to.isDate() ? to.date() : 0;
  s.firstDayUnpaid = aliasField("nieobec", "czy_nie_pl").logicalOr(false);
  s.averageKind = average;
  s.calendarDays = p.calendarDays;
  s.auxiliaryFrom = p.auxFrom;
  s.auxiliaryTo = p.auxTo;
  s.auxiliaryMonth = p.auxMonth;
  s.auxiliaryYear = p.auxYear;
  s.recordTexts = recordTexts();
  return s;
}

PrintSubject printSubject(const WindowSubject& w) {
  PrintSubject p;
  p.firstName = w.firstName;
  p.surname = w.surname;
  p.number = w.number;
  p.from = w.from;
  p.to = w.to;
  p.averageKind = w.averageKind;
  p.auxiliaryFrom = w.auxiliaryFrom;
  p.auxiliaryTo = w.auxiliaryTo;
  p.recordTexts = w.recordTexts;
  return p;
}

// `DRUK_DPODST`: the kind name, the start month and the insurance start come from the working
// variables, as the window's caller left them.
void printFromWorkingVariables(BasisSet b, const PrintSubject& s) {
  b.kindName = textVar("skr_zas");
  b.startMonth = Num{numVar("akt_mies"), 0};
  rt::Value start = var("_data_puc");
  b.insuranceStart = start.isDate() ? start.date() : 0;
  printBasis(b, s);
}

std::vector<std::string> textLines(const rt::Value& a) {
  std::vector<std::string> out;
  if (a.isArray())
    for (const rt::Value& v : a.arr()) out.push_back(v.strOr(""));
  return out;
}

rt::Value lineList(std::initializer_list<const char*> lines) {
  rt::Value a = rt::Value::newArray(0);
  for (const char* l : lines) a.arr().push_back(rt::Value::text(l));
  return a;
}

}  // namespace

void publishMonthTable(const MonthTable& t) {
  rt::Memvars& v = vars();
  rt::Value historia = rt::Value::newArray(12), mies = rt::Value::newArray(12), roczek = rt::Value::newArray(12);
  for (size_t k = 0; k < t.months.size() && k < 12; ++k) {
    historia.arr()[k] = num(t.months[k].distance);
    mies.arr()[k] = num(t.months[k].month);
    roczek.arr()[k] = num(t.months[k].year);
  }
  v.assign("akt_mies", num(t.startMonth));
  v.assign("akt_rok", num(t.startYear));
  v.assign("max_hist", num(t.count()));
  v.assign("historia", historia);
  v.assign("_mies", mies);
  v.assign("_roczek", roczek);
  v.assign("podst_cz", numbers(t.months, &BasisMonth::basis, &BasisMonth::basisRead));
  v.assign("podst_skor", numbers(t.months, &BasisMonth::filledUp, &BasisMonth::basisRead));
  v.assign("d_prac_cz", numbers(t.months, &BasisMonth::daysWorked, &BasisMonth::daysWorkedRead));
  v.assign("d_mies_cz", numbers(t.months, &BasisMonth::workingDays, &BasisMonth::workingDaysRead));
  rt::Value counts = rt::Value::newArray(0), days = rt::Value::newArray(0);
  for (const BasisMonth& m : t.months) {
    counts.arr().push_back(rt::Value::logical(m.counts));
    days.arr().push_back(num(m.calendarDays));
  }
  v.assign("wyp_mies", counts);
  v.assign("dni_kal", days);
  v.assign("skl_niedop", rt::Value::logical(t.noNotFilledItem));
  if (!t.noNotFilledItem) v.assign("niedop_pod", numbers(t.months, &BasisMonth::notFilledUp));
  rt::Value flags = rt::Value::newArray(0);
  for (bool f : t.fillUpFlags) flags.arr().push_back(rt::Value::logical(f));
  v.assign("pod_mc_kor", flags);
}

MonthTable monthTableFromVars() {
  MonthTable t;
  t.startMonth = int(numVar("akt_mies"));
  t.startYear = int(numVar("akt_rok"));
  int n = int(numVar("max_hist"));
  if (n < 0) n = 0;
  if (n > kMaxMonths) n = kMaxMonths;
  rt::Value historia = var("historia"), mies = var("_mies"), roczek = var("_roczek"),
            cz = var("podst_cz"), skor = var("podst_skor"), prac = var("d_prac_cz"),
            dmies = var("d_mies_cz"), wyp = var("wyp_mies"), kal = var("dni_kal"),
            niedop = var("niedop_pod"), flags = var("pod_mc_kor");
  t.noNotFilledItem = logicalVar("skl_niedop", true);
  for (size_t k = 0; k < size_t(n); ++k) {
    BasisMonth m;
    m.distance = int(element(historia, k));
    m.month = int(element(mies, k));
    m.year = int(element(roczek, k));
    m.basis = element(cz, k);
    m.filledUp = element(skor, k);
    m.daysWorked = element(prac, k);
    m.workingDays = element(dmies, k);
    m.counts = !(wyp.isArray() && k < wyp.arr().size()) || wyp.arr()[k].logicalOr(true);
    m.calendarDays = int(element(kal, k));
    m.notFilledUp = t.noNotFilledItem ? 0 : element(niedop, k);
    t.months.push_back(m);
  }
  if (flags.isArray())
    for (const rt::Value& f : flags.arr()) t.fillUpFlags.push_back(f.logicalOr(false));
  return t;
}

BasisSet basisSetOf(const MonthTable& t, const BasisTotals& totals) {
  BasisSet b;
  b.insuranceStart = totals.insuranceStart;
  b.kindName = totals.kindName;
  b.startMonth = {double(t.startMonth), 0};
  b.startYear = {double(t.startYear), 0};
  b.monthCount = {double(t.count()), 0};
  b.auxiliary = totals.auxiliary;
  b.daily = totals.daily;
  for (size_t k = 0; k < t.months.size() && k < 12; ++k) {
    const BasisMonth& m = t.months[k];
    b.months[k] = Num{double(m.month), 0};
    b.years[k] = Num{double(m.year), 0};
    b.basis.push_back({m.basis, m.basisRead ? 2 : 0});
    b.counts.push_back(m.counts);
    b.filledUp.push_back({m.filledUp, m.basisRead ? 2 : 0});
    b.daysWorked.push_back({m.daysWorked, m.daysWorkedRead ? 2 : 0});
    b.workingDays.push_back({m.workingDays, m.workingDaysRead ? 2 : 0});
    b.calendarDays.push_back({double(m.calendarDays), 0});
  }
  b.texts = totals.texts;
  b.remark = totals.remark;
  return b;
}

void writeSavedRecord(const BasisSet& b) {
  // A calculation repeated on the same archive gives the same text: the memo file then gains no
  // new block and the record no write.
  std::string text = savedRecordText(b);
  rt::Value stored = aliasField("nieobec", "zapis_pod");
  if (stored.isChar() && stored.str() == text) return;
  setAliasField("nieobec", "zapis_pod", rt::Value::text(text));
}

double KOREKTA_MC() {
  YearMonth calc = yearMonthOf(var("_miesp"));
  return monthsFromStartToCalculation({int(numVar("akt_rok")), int(numVar("akt_mies"))}, calc);
}

bool PODST_OBL(const std::string& basisItem) {
  rt::Memvars& v = vars();
  rt::PrivateFrame frame(v);
  v.assign("txt_uwagi2", rt::Value::text(""));
  for (const char* name : {"akt_mies", "akt_rok", "max_hist", "historia", "_mies", "_roczek",
                           "podst_cz", "podst_skor", "d_prac_cz", "d_mies_cz", "wyp_mies", "dni_kal",
                           "skl_niedop", "niedop_pod", "pod_mc_kor", "ta_podstawa", "suma_zar",
                           "ile_razy", "zerowa", "ster", "i"})
    v.declarePrivate(name);
  v.declarePrivate("pd_mies", num(0));
  v.declarePrivate("kwota_tmp", num(0, 1));
  v.declarePrivate("tekst_wysw", lineList({"", "", "", ""}));
  std::string remarkMonthly;  // `txt_uwagi1`
  v.assign("czy_pseudo", rt::Value::logical(mainHasPseudoOrder()));

  // The months of the basis.
  rt::Value od = aliasField("nieobec", "od");
  DateParts start = partsOf(od);
  YearMonth calc = yearMonthOf(var("_miesp"));
  std::string chosen = aliasField("nieobec", "te_mies").strOr("");
  MonthTable t = chooseMonths(chosen, {start.year, start.month}, calc, int(numVar("zusx_mies", 12)),
                              int(numVar("zusx_biez", 1)));
  t.fillUpFlags = fillUpFlagsOf(aliasField("nieobec", "mies_dop").strOr(""));
  t.noNotFilledItem = trim(textElement("zas_dan", 12)).empty();
  selectAlias("nieobec");

  // First phase: the archive.
  ArchiveSetting s;
  s.employee = aliasField("main", "nr_prac").strOr("");
  s.monthsBack = int(numVar("miesp"));
  s.payrollMonth = yearMonthOf(var("lum_data"));
  rt::Value closed = var("closed_dat");
  if (closed.isDate() && closed.date() != 0) s.closedMonth = yearMonthOf(closed);
  s.employeeArchived = {int(aliasField("main", "rok_arc").numOr(0)), int(aliasField("main", "mies_arc").numOr(0))};
  s.oneEmployee = numVar("zakr") == 3;
  s.basisItem = basisItem;
  s.daysWorkedItem = textVar("dni_pracy");
  s.systemWorkingDaysItem = textVar("dni_w_mies");
  s.workingDaysItem = textElement("zas_dan", 13);
  s.notFilledUpItem = textElement("zas_dan", 12);
  s.droppingAllowed = textVar("zusx_wypad") == "T";
  s.daysWorkedDivisor = numVar("zusx_mnoz", 1);
  s.warn = [](const std::vector<std::string>& lines) {
    rt::Value a = rt::Value::newArray(0);
    for (const std::string& l : lines) a.arr().push_back(rt::Value::text(l));
    call("KOM3", {a, num(0), num(0), num(5)});
  };
  // Published once read: nothing the reading calls looks at the month table's variables.
  ArchiveOutcome outcome = readArchive(t, s);
  publishMonthTable(t);
  // Missing archive data: the record keeps its amounts and takes the status of what is missing.
  auto lacking = [&](ArchiveOutcome what) {
    v.assign("tylko_stale", rt::Value::logical(true));
    v.assign("ten_arch_stat", var(what == ArchiveOutcome::BasisMissing ? "stat_ar_p" : "stat_ar_d"));
    selectAlias("archiw");
    return false;
  };
  if (outcome != ArchiveOutcome::Read) return lacking(outcome);
  v.assign("tylko_stale", rt::Value::logical(false));

  // Second phase: averaging, the auxiliary basis and the floors.
  AveragingSettings as;
  as.basisItemLinked = !basisItem.empty();
  as.droppingAllowed = s.droppingAllowed;
  as.calendarDays = logicalVar("zusx_dni_kal");
  rt::Value insurance = var("_data_puc");
  as.insuranceStart = partsOf(insurance);
  as.payrollMonth = s.payrollMonth;
  as.monthsBack = s.monthsBack;
  as.employeeFillsUp = employeeFillsUp;
  Average a = averageMonths(t, as);
  bool rounded = as.basisItemLinked;  // the averages carry two decimals once a pass ran

  Num auxiliary{0, 0};
  std::string auxItem = textVar("pod_pom");
  Parameters p = parameters();
  bool shifted = start.month != calc.month || start.year != calc.year;
  int correction = shifted ? monthsFromStartToCalculation({start.year, start.month}, calc) : 0;
  std::optional<int> auxMissing;
  std::optional<double> auxSum = auxiliarySum(s.employee, auxItem, p.auxFrom, p.auxTo, correction, s.monthsBack, &auxMissing);
  if (auxMissing) {
    reportMissingMonth(s, monthsBefore(s.payrollMonth, s.monthsBack + *auxMissing));
    return lacking(ArchiveOutcome::BasisMissing);
  }
  if (std::optional<double> sum = auxSum) {
    auxiliary = {addAuxiliaryBasis(a, *sum, p.auxTo - p.auxFrom + 1), 2};
    rounded = true;
  }
  v.assign("ta_podstawa", num(a.daily, rounded ? 2 : 0));
  v.assign("suma_zar", num(a.sum, rounded ? 2 : 0));
  v.assign("ile_razy", num(a.countedMonths));
  v.assign("zerowa", rt::Value::logical(a.secondPass));

  std::string kind = aliasField("nieobec", "zasilek").strOr("");
  bool average = averageKind(kind);
  if (!average) v.assign("podstawa", num(a.daily, rounded ? 2 : 0));

  Floors f{numVar("min_pl_br"), numVar("wymiar_et"), numVar("zusx_sprsk")};
  double monthly = a.monthly;
  if (monthly < monthlyFloor(f)) {
    monthly = monthlyFloor(f);
    remarkMonthly = settings::display(monthlyFloorNote(f.workFraction));
  }
  v.assign("pd_mies", num(monthly, rounded || monthly != a.monthly ? 2 : 0));
  if (!average && numVar("podstawa") < dailyFloor(f)) {
    if (calcrun::confirmMinimumWageRate()) {
      v.assign("podstawa", num(dailyFloor(f), 2));
      v.assign("txt_uwagi2", rt::Value::text(settings::display(dailyFloorNote(f.workFraction))));
    }
  }

  // The fields of the record.
  selectAlias("nieobec");
  rt::Value podstawa = var("podstawa");
  setAliasField("nieobec", "suma", var("pd_mies"));
  setAliasField("nieobec", "druk_podst", num(podstawa.numOr(0), 2));
  setAliasField("nieobec", "fakt_mies",
                rt::Value::text(usedMonths(t, !trim(chosen).empty(), int(numVar("zusx_ozn")))));
  publishMonthTable(t);

  std::string remark = trim(average ? remarkMonthly : textVar("txt_uwagi2"));
  BasisTotals totals;
  totals.auxiliary = auxiliary;
  totals.daily = {podstawa.numOr(0), podstawa.isNum() ? podstawa.decimals() : 0};
  totals.remark = remark;
  totals.insuranceStart = insurance.isDate() ? insurance.date() : 0;
  totals.kindName = textVar("skr_zas");

  if (s.oneEmployee) {
    if (rt::functions().has("_ZASILEK"))
      call("_ZASILEK", {rt::Value::text(kind), aliasField("nieobec", "l_dni"), podstawa});
    selectAlias("nieobec");
    std::vector<std::string> texts = textLines(var("tekst_wysw"));
    texts.resize(4);
    totals.texts = {texts[0], texts[1], texts[2], texts[3]};
    BasisSet shown = basisSetOf(t, totals);
    WindowSubject subject = windowSubject(average);
    PrintSubject printed = printSubject(subject);
    rt::Value shortfall = var("kwota_tmp");
    showBasisWindow(shown, subject, WindowKind::Calculation,
                    Num{shortfall.numOr(0), shortfall.isNum() ? shortfall.decimals() : 0},
                    [&] { printFromWorkingVariables(shown, printed); });
    selectAlias("nieobec");
  } else {
    totals.texts = {"", "", "", ""};
  }

  writeSavedRecord(basisSetOf(t, totals));
  selectAlias("nieobec");
  return true;
}

void NVIEW_DANE() {
  rt::Memvars& v = vars();
  rt::PrivateFrame frame(v);
  std::optional<BasisSet> b = parseSavedRecord(aliasField("nieobec", "zapis_pod").strOr(""));
  if (!b) {
    call("KOM3", {lineList({"Brak zapisu podstaw na pods`wietlonym zasil`ku.",
                            "Przejdz` na 1-szy obliczony z danego okresu zasil`kowego."}),
                  num(0), num(0), num(3)});
    return;
  }
  // The print reads these as working variables; the insurance start stays in the program state.
  v.assign("_data_puc", rt::Value::date(b->insuranceStart));
  v.assign("skr_zas", rt::Value::text(b->kindName));
  v.assign("akt_mies", num(b->startMonth.value));
  bool average = averageKind(aliasField("nieobec", "zasilek").strOr(""));
  WindowSubject subject = windowSubject(average);
  PrintSubject printed = printSubject(subject);
  const BasisSet& shown = *b;
  showBasisWindow(shown, subject, WindowKind::Register, Num{}, [&] { printFromWorkingVariables(shown, printed); });
}

}  // namespace zus::basis
