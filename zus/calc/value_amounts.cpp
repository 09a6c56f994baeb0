// The value of a benefit: percent, daily rate, unpaid days, the late sick note, the final
// rounding and the comparison of a maternity-type benefit with the parental benefit; the net
// amount after the tax advance; the reduction window.
#include "zus/calc/value_amounts.h"

#include <algorithm>
#include <cstdio>

#include "runtime/core/rounding.h"
#include "suite/company/company.h"
#include "suite/screen/services.h"
#include "zus/calc/value_rounding.h"

namespace zus::calcrun {
namespace {

bool isOneOf(const std::string& kind, const std::vector<std::string>& kinds) {
  return std::find(kinds.begin(), kinds.end(), kind) != kinds.end();
}

// Year and month of a day, so that December of one year is not the December of the next.
int yearMonth(int32_t day) {
  int y, m, d;
  suite::splitDayNumber(day, y, m, d);
  return y * 12 + m;
}

// The parental comparison of a maternity-type benefit of value v and `paidDays` days.
void compareWithParental(const BenefitFields& r, double v, int paidDays, const ValueHooks& hooks,
                         ValueOutcome& out) {
  double parental = hooks.parentalAmount ? hooks.parentalAmount() : 0;
  if (r.from && r.to && yearMonth(r.from) == yearMonth(r.to)) {
    double rate = r.tax > 0 ? r.tax / 100 : 0.18;
    double net = v - round0(round0(v) * rate) - r.taxRelief;
    if (!(net > 0)) net = 0;
    int monthDays = suite::lastOfMonth(r.to) - suite::firstOfMonth(r.from) + 1;
    double share = paidDays == monthDays || monthDays <= 0
                       ? parental
                       : round1(round2(parental / monthDays) * paidDays);
    double shortfall = share - net;
    out.parentalShortfall = shortfall > 0 ? shortfall : 0;
    return;
  }
  const char* text = !r.from ? "Brak daty pocza`tku zasil`ku!"
                     : !r.to ? "Brak daty kon`ca zasil`ku!"
                             : "Rozbij zasil`ek macierzyn`ski na poszczego`lne miesia`ce!";
  if (hooks.message) hooks.message({text});
}

}  // namespace

int32_t alcoholRuleDate() { return suite::dayNumber(1999, 9, 1); }
int32_t netRoundingDate() { return suite::dayNumber(2006, 1, 1); }

std::string numberText(double n, int width, int decimals) {
  char buf[64];
  std::snprintf(buf, sizeof buf, "%*.*f", width, decimals, rt::roundHalfAway(n, decimals));
  std::string s = buf;
  if (int(s.size()) > width) return std::string(size_t(width), '*');
  return s;
}

int daysAfterAlcohol(int days, bool apply, int32_t rightFrom) {
  if (!apply) return 0;
  int unpaid = rightFrom < alcoholRuleDate() ? 3 : 5;
  return days > unpaid ? days - unpaid : 0;
}

int daysAfterUnpaidFirst(int days) { return days > 1 ? days - 1 : 0; }

ValueOutcome benefitValue(const BenefitFields& r, const std::string& kind, int days, double basis,
                          const ValueSettings& s, bool wantTexts, const ValueHooks& hooks) {
  ValueOutcome out;
  double p = r.full || r.accident ? 1 : r.percent / 100;
  bool averageOnly = !s.averageKind.empty() && r.kind == s.averageKind;
  if ((days == 0 || basis == 0 || kind.empty()) && !averageOnly) return out;

  if (!r.amountRate) basis = basis * p;
  double rate = roundByKind(basis, s.rateStep, s.kind);
  out.rate = rate;

  if (r.alcohol) days = daysAfterAlcohol(days, true, r.rightFrom);
  if (r.firstDayUnpaid) days = daysAfterUnpaidFirst(days);
  if (days == 0 && !wantTexts) return out;

  double v = round2(round2(rate) * days);
  if (isOneOf(r.kind, s.maternityKinds)) compareWithParental(r, v, days, hooks, out);
  if (r.reductionDays > 0 && r.rightFrom >= alcoholRuleDate())
    v = round2(v - round2(r.reductionDays * round2(rate) * 0.25));
  v = mathematicalKind(s.kind) ? roundToStep(v, s.valueStep) : roundUpToStep(v, s.valueStep);

  if (wantTexts) {
    out.textsFilled = true;
    if (!averageOnly) {
      out.texts = {numberText(p * 100, 3, 0), numberText(rate, 10, 2), numberText(r.days, 3, 0),
                   numberText(v, 10, 2)};
    } else {
      out.texts = {"0", "0", "0", numberText(r.average, 10, 2)};
    }
  }
  out.value = v;
  return out;
}

double netAmount(double value, double tax, double taxRelief, int32_t payout) {
  double t = tax;
  if (t < 100) t = roundToStep(value, 1) * t / 100;
  t = roundToStep(t - taxRelief, payout < netRoundingDate() ? 0.1 : 1);
  if (t < 0) t = 0;
  double net = round2(value - t);
  return net < 0 ? 0 : net;
}

double reducedValue(double value, int paidDays, int allDays, int32_t from, int32_t to,
                    int32_t windowStart, double rateStep) {
  if (paidDays == 0) return value;  // no daily rate to reduce by
  int32_t w0 = windowStart, w1 = suite::addMonths(windowStart, 12);
  double rate = roundToStep(value / paidDays, rateStep);
  bool before = from < w0, after = to > w1;
  if ((before && to < w0) || (after && from > w1)) return value;
  int daysBefore = before ? w0 - from : 0;
  int daysAfter = after ? to - w1 : 0;
  int counted = daysBefore == 0 && daysAfter == 0 ? paidDays : allDays;
  return value - round2(rate) * (counted - daysBefore - daysAfter) * 0.25;
}

}  // namespace zus::calcrun
