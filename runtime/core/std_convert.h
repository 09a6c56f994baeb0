// Conversions between numbers and text: STR, VAL, TRANSFORM pictures, binary packing.
//
// formatNumber is the one number-to-text routine: STR uses it, and so does the table layer when it
// writes numeric fields, through tryFormatNumber, which reports a value too wide for its width
// instead of writing a wrong one. Rounding is half away from zero on the decimal reading of the
// value (rt::roundHalfAway); a value that rounds to zero never shows a minus sign.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "runtime/core/value.h"

namespace rt {

// v rounded to `decimals` places, right-aligned in `width` positions; std::nullopt when it does not
// fit.
std::optional<std::string> tryFormatNumber(double v, int width, int decimals);
// As above, with `width` asterisks when it does not fit.
std::string formatNumber(double v, int width, int decimals);

// STR(n): the number's own width and decimals (10 integer positions when it has no width); a
// value too wide is widened, never starred.
std::string strOf(const Value& n);
// STR(n, w) (decimals 0) and STR(n, w, d); a width of 0 or less means STR(n).
std::string strOf(const Value& n, int width);
std::string strOf(const Value& n, int width, int decimals);
// ALLTRIM(STR(n)) of a number with these decimals and no width of its own: its digits, a minus
// sign before them when due.
std::string trimmedStrOf(double v, int decimals);

// VAL(text): the number read from the text's start, with the text's length as width and the
// characters after the point as decimals.
Value valOf(std::string_view text);

// TRANSFORM(value, picture). NIL (and arrays, blocks) raise "Argument error".
std::string transform(const Value& v, std::string_view picture);

// Little-endian two's complement packing of BIN2L/L2BIN, BIN2I/I2BIN, BIN2W.
int32_t bin2l(std::string_view s);
std::string l2bin(int32_t v);
int16_t bin2i(std::string_view s);
std::string i2bin(int16_t v);
uint16_t bin2w(std::string_view s);

}  // namespace rt
