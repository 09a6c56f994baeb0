// The one rounding routine of the system: every ROUND, every rounding step of a calculation and
// every write into a numeric field goes through roundHalfAway.
//
// A double such as 85.33*0.8 holds 68.26399999999999; on paper it is 68.264 and must round to
// 68.26, while 2.675 (held as 2.67499999...) must round to 2.68 as written. So the value is first
// snapped to 15 significant digits (what a decimal reading of the double gives), then rounded
// halves away from zero on that decimal text.
#pragma once

namespace rt {

// v rounded to `decimals` places (negative: to tens, hundreds...), halves away from zero.
double roundHalfAway(double v, int decimals);

// v snapped to 15 significant digits: the decimal number the double stands for.
double snap15(double v);

// Whether |v| x 10^decimals (0 <= decimals <= 15) is a whole number from 1 to below 10^15 as far
// as the double can tell, that is within the error of reading |v| and of the product; `whole` is
// then that number. Such a value is its own rounding at `decimals` places, and its decimal text
// is the digits of `whole`: the quick way of most amounts, which are held with two decimals.
bool scaledWhole(double v, int decimals, double& whole);

}  // namespace rt
