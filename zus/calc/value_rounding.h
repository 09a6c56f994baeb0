// Rounding of daily rates and values by the program's rounding parameters.
//
// Amounts carry two decimals. A step is a positive amount (0.01, 0.10, 1, ...); the rounding kind
// "M" rounds to the nearest multiple of the step, halves away from zero, any other kind raises to
// the next multiple. Quotients are snapped to 15 significant digits before they are compared or
// rounded, so 100.00 is a whole multiple of 0.01 although the double 100.00/0.01 is not exact.
// A step of 0 or below leaves the number as it is (the parameter editor accepts only steps above
// 0, but a damaged settings file must not divide by zero).
#pragma once

#include <string_view>

namespace zus::calcrun {

// `LICZ_ZAOKR`: to the nearest multiple of the step.
double roundToStep(double x, double step);
// `_ROUND2`: x when it is a whole multiple of the step, else the next multiple upwards.
double roundUpToStep(double x, double step);
// `DAJ_ZAOKR`: by the rounding kind (`zusx_rzaok`).
double roundByKind(double x, double step, std::string_view kind);
inline bool mathematicalKind(std::string_view kind) { return kind == "M"; }

// Rounding to whole decimals, halves away from zero.
double round2(double x);
double round1(double x);
double round0(double x);

}  // namespace zus::calcrun
