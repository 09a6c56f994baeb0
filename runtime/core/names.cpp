// Mask matching for RELEASE ALL LIKE / EXCEPT and saving memory files by mask.
#include "runtime/core/names.h"

namespace rt {

bool matchesMask(std::string_view name, std::string_view mask) {
  // Iterative wildcard match with one backtrack point for the last '*'.
  size_t n = 0, m = 0, starM = std::string_view::npos, starN = 0;
  while (n < name.size()) {
    if (m < mask.size() && (mask[m] == '?' || upperAscii(mask[m]) == upperAscii(name[n]))) {
      ++n;
      ++m;
    } else if (m < mask.size() && mask[m] == '*') {
      starM = m++;
      starN = n;
    } else if (starM != std::string_view::npos) {
      m = starM + 1;
      n = ++starN;
    } else {
      return false;
    }
  }
  while (m < mask.size() && mask[m] == '*') ++m;
  return m == mask.size();
}

}  // namespace rt
