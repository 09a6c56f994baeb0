// TOKENLEFT and TOKENRIGHT: the two sides of a separator-joined list.
#include "suite/screen/token_sides.h"

#include "runtime/core/functions.h"

namespace suite {
namespace {

// Position just past the n-th separator (n >= 1); npos when the text has fewer.
size_t pastSeparator(const std::string& text, const std::string& sep, int n) {
  if (sep.empty()) return std::string::npos;
  size_t at = 0;
  for (int i = 0; i < n; ++i) {
    size_t found = text.find(sep, at);
    if (found == std::string::npos) return std::string::npos;
    at = found + sep.size();
  }
  return at;
}

}  // namespace

std::string tokenLeft(const std::string& text, const std::string& sep, int count) {
  if (count < 1) return "";
  size_t end = pastSeparator(text, sep, count);
  return end == std::string::npos ? text : text.substr(0, end);
}

std::string tokenRight(const std::string& text, const std::string& sep, int from) {
  if (from < 2) return text;
  size_t start = pastSeparator(text, sep, from - 1);
  return start == std::string::npos ? "" : text.substr(start);
}

void registerTokenSideFunctions() {
  rt::Functions& f = rt::functions();
  f.add("TOKENLEFT", [](rt::Args& a) {
    return rt::Value::text(tokenLeft(a[0].strOr(""), a[1].strOr(","), int(a[2].intOr(1))));
  });
  f.add("TOKENRIGHT", [](rt::Args& a) {
    return rt::Value::text(tokenRight(a[0].strOr(""), a[1].strOr(","), int(a[2].intOr(1))));
  });
}

}  // namespace suite
