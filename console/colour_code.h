// Colour codes: one byte per foreground/background pair (background in the high four bits,
// foreground in the low four), so a colour set of 12 names fits in 6 bytes.
//
// Colour numbers 0-7 are N B G BG R RB GR W; a "+" or "*" anywhere in a name adds 8. Decoding
// writes "+" after a bright foreground and "*" after a bright background.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace con {

// The number of one colour letter at its position in the name (0 first, more for later ones).
int K_SPRAWDZ(char letter, int position);
// The letters of colour number 0-7; "" for any other value.
std::string K_KOL(int number);

std::string encodeColourString(std::string_view colourString);
std::string encodeColourNumbers(const std::vector<double>& numbers);
std::string encodeColourNames(const std::vector<std::string>& names);

// 2 names per byte, foreground first.
std::vector<std::string> decodeColourCode(std::string_view code);
// Element 1-12 of a code as a colour number (markers as the value 8); -1 for another element.
int decodeColourElement(std::string_view code, double element);

}  // namespace con
