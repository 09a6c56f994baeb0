// The continuity check of a start date and the chain count (see continuity_check.h).
//
// The search back walks the employee's records from the latest (a new record) or from the one
// before the edited record towards the oldest; it ends at the first record of the new benefit's
// class, at a break of more than three calendar months, or at the first record. The record where
// it ended decides about the basis offer's comment, the taken-over month flags and the 60-day
// counter reset.
#include "zus/register/continuity_check.h"

#include "runtime/core/functions.h"
#include "runtime/core/std_strings.h"
#include "zus/register/basis_months_codes.h"
#include "zus/shell/kind_predicates.h"

namespace zus {
namespace {

// The basis that may be taken over from a previous benefit.
struct BasisCandidate {
  bool taken = false;
  std::string mark, months, usedMonths;
  double monthly = 0, daily = 0;

  void take(const RegisterRecord& r) {
    taken = true;
    mark = "PBZ";
    months = r.te_mies;
    usedMonths = r.fakt_mies;
    monthly = r.suma;
    daily = r.druk_podst;
  }
};

// Ends of the previous benefit per class.
struct PreviousEnds {
  int32_t sickness = 0;    // `to_do`
  int32_t additional = 0;  // `to_do1`
  int32_t care = 0;        // `to_do_op`
  int32_t maternity = 0;   // `to_do_mc`
};

class Continuity {
 public:
  Continuity(RuleContext& c, RuleEnv& env, const ContinuityRecords& records, int32_t start,
             bool isNew)
      : c_(c),
        p_(c.program),
        f_(c.form),
        env_(env),
        records_(records),
        start_(start),
        isNew_(isNew) {}

  bool run(int32_t& previousEnd);

 private:
  bool is(KindFamily family, const std::string& kind) const {
    return kindIs(family, kind, p_.zas_zus);
  }
  bool notSlot5(const std::string& kind) const { return p_.slot(5).empty() || kind != p_.slot(5); }
  bool waitingPeriodNotice();
  bool overlapRefused(int32_t& previousEnd);
  void searchBack();
  bool classFound(const RegisterRecord& r);
  void offerPreviousBasis();
  void valoriseRehabilitationBasis();
  void loadCandidate();
  void resetAfterSixtyDays();
  const RegisterRecord* stopRecord() const { return stop_ ? &records_.employee[*stop_] : nullptr; }

  RuleContext& c_;
  const RuleProgram& p_;
  RuleFormCopies& f_;
  RuleEnv& env_;
  const ContinuityRecords& records_;
  int32_t start_;
  bool isNew_;
  PreviousEnds ends_;
  BasisCandidate candidate_;
  std::optional<size_t> stop_;  // the record where the search ended; none past the last record
};

bool Continuity::waitingPeriodNotice() {
  if (!is(KindFamily::CHOROBOWY, f_.zasilek)) return false;
  const RuleEmployee& e = c_.employee;
  int32_t hired = e.data_zatr;
  bool otherMonth =
      ruleYear(e.waitingDate) != ruleYear(hired) || ruleMonth(e.waitingDate) != ruleMonth(hired);
  if (e.waitingDate == 0 || e.status <= 0 || !otherMonth || start_ >= hired + 30) return false;
  env_.message({"Pamie`taj, x`e okres wyczekiwania upl`ywa dopiero " + ruleDateText(hired + 30)},
               5);
  return true;
}

bool Continuity::overlapRefused(int32_t& previousEnd) {
  const std::string& kind = f_.zasilek;
  bool checked = is(KindFamily::CHOROBOWY, kind) || p_.isSlot(kind, 2) || p_.isSlot(kind, 4) ||
                 is(KindFamily::REHAB, kind);
  if (!isNew_ || !checked || records_.scoped.empty()) return false;
  const RegisterRecord& last = records_.scoped.back();
  bool ownRecord = c_.reg.nr_pracusia.empty() || last.nr_prac == c_.reg.nr_pracusia;
  if (!notSlot5(last.zasilek) || !ownRecord) return false;
  previousEnd = last.do_;
  if (last.do_ == 0 || start_ > last.do_ || f_.byl_kom) return false;
  env_.message({start_ == last.do_ ? "Data kon`cza`ca poprzedni zasil`ek jest identyczna !"
                                   : "Data kon`cza`ca poprzedni zasil`ek jest po`z`niejsza !"},
               3);
  f_.byl_kom = true;
  return true;
}

bool Continuity::classFound(const RegisterRecord& r) {
  const std::string& kind = f_.zasilek;
  bool newAdditional = is(KindFamily::UM_DOD, kind);
  bool recAdditional = is(KindFamily::UM_DOD, r.zasilek);
  if (start_ < ruleDate(2004, 7, 1)) {
    auto sickness = [&](const std::string& k) {
      return is(KindFamily::CHOROBOWY, k) || p_.isSlot(k, 7);
    };
    if (sickness(kind) && sickness(r.zasilek))
      ends_.sickness = r.do_;
    else if (p_.isSlot(kind, 2) && p_.isSlot(r.zasilek, 2))
      ends_.care = r.do_;
    else if (p_.isSlot(kind, 4) && p_.isSlot(r.zasilek, 4))
      ends_.maternity = r.do_;
    else if (newAdditional && recAdditional)
      ends_.additional = r.do_;
    else
      return false;
    return true;
  }
  if (newAdditional && recAdditional) {
    ends_.additional = r.do_;
    return true;
  }
  if (!newAdditional && !recAdditional && !is(KindFamily::STALY, kind) &&
      !is(KindFamily::STALY, r.zasilek) && notSlot5(r.zasilek)) {
    ends_.sickness = r.do_;
    return true;
  }
  return false;
}

void Continuity::searchBack() {
  const std::vector<RegisterRecord>& recs = records_.employee;
  std::optional<size_t> at;
  bool beforeFirst = false;
  if (isNew_) {
    if (!recs.empty()) at = recs.size() - 1;
  } else if (records_.entry) {
    // Skipping back from the first record leaves the table on it, before the beginning.
    at = *records_.entry == 0 ? 0 : *records_.entry - 1;
    beforeFirst = *records_.entry == 0;
  }
  while (at && !beforeFirst) {
    const RegisterRecord& r = recs[*at];
    bool newAdditional = is(KindFamily::UM_DOD, f_.zasilek);
    bool recAdditional = is(KindFamily::UM_DOD, r.zasilek);
    if (!newAdditional && !recAdditional)
      candidate_.take(r);  // an older record replaces the candidate
    else if (newAdditional && recAdditional && is(KindFamily::OBLI, r.zasilek) &&
             notSlot5(r.zasilek) && !candidate_.taken)
      candidate_.take(r);
    if (classFound(r)) break;
    if (*at == 0) break;
    --*at;
    if (monthsApartMoreThan(recs[*at].do_, start_, 3)) break;
  }
  stop_ = at;
}

void Continuity::valoriseRehabilitationBasis() {
  const rt::Value& percent = p_.zusx_rehab;
  double rate = percent.numOr(0);
  if (rate == 0) {
    env_.message({"Wczytana podstawa mox`e byc` zwaloryzowana jes`li zostanie",
                  "wprowadzony procent waloryzacji w parametrach programu."},
                 9);
    return;
  }
  if (rate > 100) {
    std::string shown = rt::functions().call("STR", {percent}).strOr("");
    if (env_.ask("Czy pomnox`yc` ja` przez ten procent ?",
                 {"Wczytana podstawa mox`e byc` pomnox`ona przez procent waloryzacji ",
                  "s`wiadczenia rehabilitacyjnego z parametro`w programu,",
                  "kto`ry wynosi " + shown + "%."},
                 isNew_))
      f_.rehab = true;
  } else {
    env_.message({"Wczytana podstawa nie zostanie zwaloryzowana, gdyx`",
                  "wprowadzony procent waloryzacji jest mniejszy nix` 100."},
                 9);
    f_.rehab = false;
  }
  env_.say(f_.wier + 11, f_.kol + 74, f_.rehab ? "Tak" : "Nie", RuleColour::Bold);
}

void Continuity::loadCandidate() {
  f_.nieobec = candidate_.mark;
  f_.ten_tekst = candidate_.months;
  f_.fakt_mies = candidate_.usedMonths;
  f_.druk_podst = candidate_.daily;
  f_.kw_podst = 0;
  f_.czy_kwot = false;
  f_.suma = candidate_.monthly;
}

void Continuity::offerPreviousBasis() {
  auto recent = [&](int32_t end) { return !monthsApartMoreThan(end, start_, 3); };
  if (recent(ends_.sickness) || recent(ends_.additional) || recent(ends_.care) ||
      recent(ends_.maternity)) {
    bool yesByDefault = isNew_ || !rt::alltrim(f_.nieobec).empty();
    const RegisterRecord* stop = stopRecord();
    const std::string question = "Czy wczytac` poprzednia` podstawe` wymiaru zasil`ku ?";
    bool answer;
    if (is(KindFamily::REHAB, f_.zasilek)) {
      bool sameKind = stop && stop->zasilek == f_.zasilek;
      std::vector<std::string> comment;
      if (!sameKind)
        comment = {"Mox`na wczytac` poprzednia` podstawe` zasil`ku w celu waloryzacji."};
      answer = env_.ask(question, comment, yesByDefault);
      if (answer) {
        if (!sameKind) valoriseRehabilitationBasis();
        loadCandidate();
      }
    } else {
      answer =
          env_.ask(question, {"Nie byl`o jeszcze przerwy 3 pel`nych miesie`cy kalendarzowych."},
                   yesByDefault);
      if (answer) {
        loadCandidate();
        f_.czy_wsk = rt::rtrim(f_.ten_tekst).empty() ? "N" : "T";
        f_.mies_dop = monthFlagsFromText(stop ? stop->mies_dop : "");
        f_.od_dat = stop ? stop->od_dat : 0;
        if (f_.czy_wsk == "T") {
          std::string list = basisMonthsDisplayList(f_.ten_tekst).substr(0, 39);
          list.resize(35, ' ');
          env_.say(f_.wier + 7, f_.kol + 37, list, RuleColour::Bold);
        }
      }
    }
    if (!answer && isNew_) {
      f_.fakt_mies = "";
      f_.nieobec = "";
      f_.druk_podst = f_.suma = f_.kw_podst = 0;
      f_.czy_kwot = false;
    }
  }
  env_.say(f_.wier + 11, f_.kol + 49, rt::rtrim(f_.nieobec) == "PBZ" ? "Tak" : "Nie",
           RuleColour::Bold);
}

void Continuity::resetAfterSixtyDays() {
  const RegisterRecord* stop = stopRecord();
  if ((stop && is(KindFamily::OPIEK, stop->zasilek)) || ends_.sickness == 0 ||
      start_ - ends_.sickness <= 60)
    return;
  const RegisterRecord* entry = records_.entry ? &records_.employee[*records_.entry] : nullptr;
  RuleEmployee& e = c_.employee;
  if ((entry && is(KindFamily::OPIEK, entry->zasilek)) || e.dni_ch == 0 ||
      !(e.data_do < ends_.sickness || isNew_))
    return;
  if (!env_.ask("Czy to zrobic` ? ",
                {"Byl`a jux` przerwa 60 dni !", "Mox`na wyzerowac` licznik okresu zasil`kowego."},
                true))
    return;
  e.dni_ch = 0;
  e.data_do = ends_.sickness;
  c_.reg.suma_dni1 = 0;
  env_.say(4, 23, ruleNumberText(0, 3), RuleColour::Bold);
}

bool Continuity::run(int32_t& previousEnd) {
  previousEnd = 0;
  if (start_ == 0 || start_ < ruleDate(1990, 1, 1)) return false;
  if (waitingPeriodNotice()) return true;
  if (overlapRefused(previousEnd)) return false;
  previousEnd = 0;
  if (!is(KindFamily::OBLI, f_.zasilek)) return true;
  ends_.additional = ends_.care = ends_.maternity = ruleDate(1990, 1, 1);
  searchBack();
  if (rt::rtrim(f_.nieobec) != "PBZ") offerPreviousBasis();
  resetAfterSixtyDays();
  previousEnd = ends_.sickness;
  return true;
}

}  // namespace

bool monthsApartMoreThan(int32_t earlier, int32_t later, int n) {
  int m = ruleMonth(later) + 12 * (ruleYear(later) - ruleYear(earlier));
  if (m < 0) return true;
  return m - ruleMonth(earlier) > n;
}

bool checkContinuity(RuleContext& c, RuleEnv& env, const ContinuityRecords& records, int32_t start,
                     bool isNew, int32_t& previousEnd) {
  return Continuity(c, env, records, start, isNew).run(previousEnd);
}

int chainDaysBefore(const RuleProgram& program, const std::vector<RegisterRecord>& byEndDate,
                    std::optional<size_t> from, bool isNew, const std::string& kind,
                    int32_t start) {
  int days = 0;
  if (kindIs(KindFamily::SZPIT, kind, program.zas_zus)) {
    // Insurance sickness days of the working year. A new record counts every record of the
    // employee that ends in the year, wherever the browse stands; an edited one the records
    // before it.
    int year = ruleYear(program.lum_data);
    if (isNew) {
      for (const RegisterRecord& r : byEndDate)
        if (ruleYear(r.do_) == year && kindIs(KindFamily::CH_ZUS, r.zasilek, program.zas_zus))
          days += r.do_ - r.od + 1;
      return days;
    }
    if (!from) return 0;  // past the last record: the blank record ends no day of the year
    for (long k = long(*from) - 1; k >= 0; --k) {
      const RegisterRecord& r = byEndDate[size_t(k)];
      if (ruleYear(r.do_) != year) break;
      if (kindIs(KindFamily::CH_ZUS, r.zasilek, program.zas_zus)) days += r.do_ - r.od + 1;
    }
    return days;
  }
  // The unbroken run of records of exactly this kind that ends on the day before the start.
  long k = -1;
  for (size_t i = 0; i < byEndDate.size(); ++i)
    if (byEndDate[i].do_ == start - 1) {
      k = long(i);
      break;
    }
  for (; k >= 0 && byEndDate[size_t(k)].zasilek == kind; --k)
    days += byEndDate[size_t(k)].do_ - byEndDate[size_t(k)].od + 1;
  return days;
}

std::string monthFlagsText(const std::vector<bool>& flags) {
  std::string text;
  for (bool flag : flags) text += flag ? 'T' : 'F';
  return text;
}

std::vector<bool> monthFlagsFromText(const std::string& text) {
  std::vector<bool> flags;
  for (char ch : rt::rtrim(text)) flags.push_back(ch == 'T');
  return flags;
}

}  // namespace zus
