// A benefit's daily rate, value and net amount, from the fields of its record.
//
// These are the typed rules; the routines callable by name (`_ZASILEK`, `_NETTO`, `DNI_X`,
// `DNI_NIE_PL`, `CZY_KARA`) read the current benefit record and the program parameters and
// hand them here. Amounts carry two decimals; days are whole numbers.
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace zus::calcrun {

// The fields of a benefit record that its value and net amount depend on.
struct BenefitFields {
  std::string kind;             // zasilek
  double percent = 0;           // procent
  bool full = false;            // czy_100: paid at 100%
  bool accident = false;        // przy_pracy: the accident mark, also 100%
  bool amountRate = false;      // czy_kwot: the daily rate was typed in as an amount
  bool alcohol = false;         // czy_alk
  bool firstDayUnpaid = false;  // czy_nie_pl
  int32_t from = 0, to = 0;     // od, do
  int32_t rightFrom = 0;        // data_prawa
  int32_t payout = 0;           // dat_wyp
  int reductionDays = 0;        // dni_obniz: late sick note
  double tax = 0;               // podat: a percent below 100, an amount from 100
  double taxRelief = 0;         // zalicz
  int days = 0;                 // l_dni
  double average = 0;           // suma: the monthly average basis
};

struct ValueSettings {
  double rateStep = 0.01;    // zusx_zaok1
  double valueStep = 0.01;   // zusx_zaok2
  std::string kind = "M";    // zusx_rzaok
  std::string averageKind;   // the kind linked to benefit slot 5: its value is the average alone
  std::vector<std::string> maternityKinds;  // kinds of slots 3, 4, 8 and 9
};

// What the value needs from its surroundings: the parental benefit to compare a maternity-type
// benefit with (asked only when it is needed), and the message window.
struct ValueHooks {
  std::function<double()> parentalAmount;
  std::function<void(const std::vector<std::string>&)> message;
};

struct ValueOutcome {
  double value = 0;
  std::optional<double> rate;            // the rounded daily rate, when the value got that far
  bool textsFilled = false;
  std::array<std::string, 4> texts;      // percent, daily rate, days, value
  std::optional<double> parentalShortfall;  // how far a maternity-type benefit falls short
};

// `_ZASILEK`: the value of `days` days of a benefit of `kind` on the daily `basis`; `wantTexts`
// asks for the four display texts of the basis window.
ValueOutcome benefitValue(const BenefitFields& record, const std::string& kind, int days,
                          double basis, const ValueSettings& settings, bool wantTexts,
                          const ValueHooks& hooks);

// `_NETTO`: the value less the tax advance; never negative.
double netAmount(double value, double tax, double taxRelief, int32_t payout);

// `DNI_X`: paid days of a sickness caused by alcohol abuse (the first 3 days unpaid for a right
// before 1 September 1999, 5 from then on); 0 when `apply` is false.
int daysAfterAlcohol(int days, bool apply, int32_t rightFrom);
// `DNI_NIE_PL`: paid days when the first day is unpaid.
int daysAfterUnpaidFirst(int days);

// `CZY_KARA`: the value after the 25% reduction of the days that fall into the employee's
// twelve-month reduction window starting at `windowStart`.
double reducedValue(double value, int paidDays, int allDays, int32_t from, int32_t to,
                    int32_t windowStart, double rateStep);

// A number as STR(n, width, decimals) shows it: right-aligned, asterisks when it does not fit.
std::string numberText(double n, int width, int decimals);

// 1 September 1999 and 1 January 2006, the cut-over dates of the value and of the net amount.
int32_t alcoholRuleDate();
int32_t netRoundingDate();

}  // namespace zus::calcrun
