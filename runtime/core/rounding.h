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

}  // namespace rt
