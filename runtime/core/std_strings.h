// String functions others call directly: trimming, memo lines and the text of a value for padding.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace rt {

std::string rtrim(std::string_view s);    // trailing blanks only
std::string ltrim(std::string_view s);    // leading blanks, tabs, CR, LF, VT, FF
std::string alltrim(std::string_view s);

// Blanks (0x20) only, as names, aliases and key texts are trimmed; views into s.
inline std::string_view trimTrailingBlanks(std::string_view s) {
  while (!s.empty() && s.back() == ' ') s.remove_suffix(1);
  return s;
}
inline std::string_view trimBlanks(std::string_view s) {
  while (!s.empty() && s.front() == ' ') s.remove_prefix(1);
  return trimTrailingBlanks(s);
}

// Lines of a memo text as MEMOLINE/MLCOUNT see them: broken at CR LF (and at the soft break
// CHR(141)+LF), wrapped at the last blank within `width` when `wrap` is set (a longer word is cut),
// tabs expanded to `tabSize` columns. The lines are not padded.
std::vector<std::string> memoLines(std::string_view text, int width = 79, int tabSize = 4, bool wrap = true);

}  // namespace rt
