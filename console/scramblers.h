// Text scramblers: a keyless byte inversion for whole texts and a keyed, self-describing
// scrambled form for single values.
//
// Invariants: every scrambling works modulo 256 in both directions, so any text comes back
// byte for byte; SZYFR never reads past the characters it was given.
#pragma once

#include <string>
#include <string_view>
#include <variant>

namespace con {

// Method 2 (and 1, which behaves the same): every byte c becomes 255 - c. Position independent,
// so a text may be processed in chunks of any size.
std::string A_KODUJ(std::string_view text, int method = 2);
std::string A_DEKODUJ(std::string_view text, int method = 2);

inline constexpr std::string_view kScrambleKey = "DoR Vendrix";
inline constexpr size_t kScrambleMaxLength = 80;

// A value to scramble: a number (marker "$") or a text (marker "#").
std::string scrambleText(std::string_view plain);        // "" for an empty text
std::string scrambleNumber(std::string_view numberText);  // the number's text, leading blanks cut

// What SZYFR restores: a number for "$", a text otherwise; nothing for an empty input.
struct Unscrambled {
  enum class Kind { Empty, Text, Number } kind = Kind::Empty;
  std::string text;  // the restored plain text (for a number, its digits)
};
Unscrambled unscramble(std::string_view scrambled);

}  // namespace con
