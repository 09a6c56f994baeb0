// `ZAP_PBZ`: a benefit marked "PBZ" takes its basis from the employee's earlier benefit.
//
// The walk goes backwards in the run's order from the record before the current one. A
// rehabilitation benefit right before it is the source at once; otherwise the first earlier
// benefit of a calculated kind that is no correction is, as long as the records passed over end
// no more than twelve calendar months before the current benefit's start month.
#include "zus/calc/value_current.h"

#include "zus/calc/run_tables.h"
#include "zus/calc/value_rounding.h"
#include "zus/shell/kind_predicates.h"

namespace zus::calcrun {
namespace {

struct BasisSource {
  std::string months, usedMonths;  // te_mies, fakt_mies
  double average = 0;              // suma
  double basis = 0;                // druk_podst, or the basis behind an amount rate
};

BasisSource takeSource(rt::db::WorkArea& n) {
  return {fieldText(n, "te_mies"), fieldText(n, "fakt_mies"), fieldNumber(n, "suma"),
          fieldNumber(n, "druk_podst")};
}

// Whether more than `limit` calendar months lie between the month of `from` and that of `to`.
bool monthsApartMoreThan(int32_t from, int32_t to, int limit) {
  int distance = (yearOf(to) * 12 + monthOf(to)) - (yearOf(from) * 12 + monthOf(from));
  return distance > limit;
}

}  // namespace

bool copyEarlierBasis() {
  SelectedArea selected("nieobec");
  rt::db::WorkArea& n = areaOf("nieobec");
  uint32_t current = n.recno();
  std::string employee = fieldText(n, "nr_prac");
  int32_t start = fieldDate(n, "od");

  BasisSource source;
  bool found = false;
  n.skip(-1);
  if (!n.eof() && !n.bof() && fieldText(n, "nr_prac") == employee) {
    if (kindIs(KindFamily::REHAB, fieldText(n, "zasilek"))) {
      source = takeSource(n);
      found = true;
    } else {
      while (!n.bof() && fieldText(n, "nr_prac") == employee) {
        std::string kind = fieldText(n, "zasilek");
        if (kindIs(KindFamily::OBLI, kind) && !fieldFlag(n, "czy_korekt")) {
          source = takeSource(n);
          double percent = fieldNumber(n, "procent");
          if (fieldFlag(n, "czy_kwot") && source.basis == 0) {
            // The basis behind a typed-in rate; a rate without a percent is taken as it is.
            double rate = fieldNumber(n, "podst_zas");
            source.basis = percent != 0 ? round2(rate * 100 / percent) : rate;
          }
          if (kind != benefitKind(5)) {
            double floor = minimumWageDailyRate();
            if (source.basis < floor && confirmMinimumWageRate()) source.basis = floor;
          }
          found = true;
          break;
        }
        if (monthsApartMoreThan(fieldDate(n, "do"), start, 12)) break;
        n.skip(-1);
      }
    }
  }

  n.goTo(current);
  if (!found) return false;
  std::string kind = fieldText(n, "zasilek");
  // A valorisation percentage of 0 is one never entered: it would wipe out the basis.
  double valorisation = numberVar("zusx_rehab");
  if (fieldFlag(n, "rehab") && (kind == benefitKind(7) || kind == benefitKind(28)) && valorisation > 0)
    source.basis = round2(source.basis * valorisation / 100);
  putField(n, "te_mies", rt::Value::text(source.months));
  putField(n, "fakt_mies", rt::Value::text(source.usedMonths));
  putAmount(n, "suma", source.average);
  putAmount(n, "druk_podst", source.basis);
  putAmount(n, "podst_zas", 0);
  putField(n, "czy_kwot", rt::Value::logical(false));
  return true;
}

}  // namespace zus::calcrun
