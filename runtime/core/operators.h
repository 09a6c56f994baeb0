// The runtime's operators on values: arithmetic with the decimals rules, string joining, date
// arithmetic, comparisons under SET EXACT, '$'. The evaluator and standard functions (ASCAN,
// ASORT) share these so the rules live in one place.
//
// Type mismatches raise rt::Error(Argument, "Argument error", <operator>); division and remainder
// by zero raise rt::Error(ZeroDivisor, "Zero divisor", <operator>), never infinity or NaN.
#pragma once

#include "runtime/core/value.h"

namespace rt {

Value opAdd(const Value& a, const Value& b);       // + : numbers, joining, date + n, n + date
Value opSubtract(const Value& a, const Value& b);  // - : numbers, joining with trailing blanks moved, dates
Value opMultiply(const Value& a, const Value& b);
Value opDivide(const Value& a, const Value& b);
Value opModulo(const Value& a, const Value& b);    // % : sign of the dividend
Value opPower(const Value& a, const Value& b);     // ** and ^
Value opNegate(const Value& a);                    // unary -
Value opPlus(const Value& a);                      // unary +
Value opNot(const Value& a);                       // ! and .NOT.

// '=' with the given EXACT setting: NIL equals only NIL; strings by prefix (EXACT off) or with
// trailing blanks ignored (EXACT on). Arrays, blocks and mixed types raise Argument error.
bool opEqual(const Value& a, const Value& b, bool exact);
// '==': exact for strings; arrays and blocks by identity; NIL == anything else is false.
bool opExactEqual(const Value& a, const Value& b);
// Ordering for < <= > >=: negative, zero or positive. Strings follow EXACT; the empty date is
// smaller than every date; .F. < .T.. NIL, arrays, blocks and mixed types raise Argument error.
int opCompare(const Value& a, const Value& b, bool exact, const char* op);
// '$': a is contained in b (both strings; an empty a is never contained).
bool opContains(const Value& a, const Value& b);

// The '=' of ASCAN: like opEqual, but values of another type simply do not match.
bool scanEquals(const Value& element, const Value& wanted, bool exact);

// Joining of '-': b appended after a's trailing blanks, which move to the end.
std::string joinMovingBlanks(const std::string& a, const std::string& b);

}  // namespace rt
