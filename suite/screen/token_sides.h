// The text on either side of a list's entries, for lists of entries joined by a separator string
// ("a////b////c"), as `TOKEN` and `NUMTOKEN` read them:
//
//   TOKENLEFT(text, sep, n [, whole])   entries 1 to n, each with the separator that follows it
//                                       ("a////b////" for n = 2; "" for n < 1; the whole text when
//                                       it has fewer than n separators)
//   TOKENRIGHT(text, sep, n [, whole])  the text from entry n on ("b////c" for n = 2; the whole
//                                       text for n < 2; "" past the last entry)
// The separator is always taken as a whole string (the fourth argument says so in every call).
#pragma once

#include <string>

namespace suite {

std::string tokenLeft(const std::string& text, const std::string& sep, int count);
std::string tokenRight(const std::string& text, const std::string& sep, int from);

void registerTokenSideFunctions();

}  // namespace suite
