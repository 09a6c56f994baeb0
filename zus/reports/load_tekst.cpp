// LOAD_TEKST: months of the basis, last stored first.
#include "zus/reports/load_tekst.h"

#include <algorithm>
#include <vector>

namespace zus {
namespace {

std::string trimmed(std::string_view s) {
  size_t b = s.find_first_not_of(' ');
  if (b == std::string_view::npos) return {};
  size_t e = s.find_last_not_of(' ');
  return std::string(s.substr(b, e - b + 1));
}

}  // namespace

std::string LOAD_TEKST(std::string_view months, int width) {
  size_t w = size_t(std::max(0, width));
  size_t end = months.find_last_not_of(' ');
  int len = end == std::string_view::npos ? 0 : int(end + 1);

  std::string out;
  bool first = true;
  for (int i = len - 1; i >= 1; i -= 2) {
    std::string piece = trimmed(months.substr(size_t(i - 1), 2));
    if (!piece.empty() && piece[0] == '0') piece.erase(0, 1);
    if (!first) out += ',';
    out += piece;
    first = false;
  }
  out.resize(w, ' ');
  return out;
}

}  // namespace zus
