// The mapping lists: lookup, position, removal and addition, and their by-name routines.
#include "zus/transfer/reset_mappings.h"

#include <vector>

#include "runtime/core/context.h"

namespace zus::reset_map {
namespace {

constexpr const char* kEntrySep = "////";
constexpr const char* kPartSep = ",,,,";

std::vector<std::string> split(const std::string& text, const std::string& sep) {
  std::vector<std::string> parts;
  size_t from = 0;
  for (;;) {
    size_t at = text.find(sep, from);
    if (at == std::string::npos) break;
    parts.push_back(text.substr(from, at - from));
    from = at + sep.size();
  }
  parts.push_back(text.substr(from));
  return parts;
}

std::vector<std::string> entries(const std::string& list) {
  if (list.empty()) return {};
  return split(list, kEntrySep);
}

// Piece 1 (kind) or 2 (RESET code) of an entry; "" when the entry has no such piece.
std::string piece(const std::string& entry, int n) {
  std::vector<std::string> parts = split(entry, kPartSep);
  return size_t(n) <= parts.size() ? parts[size_t(n - 1)] : "";
}

std::string trimmed(const std::string& s) {
  size_t b = s.find_first_not_of(' ');
  if (b == std::string::npos) return "";
  return s.substr(b, s.find_last_not_of(' ') - b + 1);
}

std::string joined(const std::vector<std::string>& parts) {
  std::string out;
  for (size_t i = 0; i < parts.size(); ++i) out += (i ? kEntrySep : "") + parts[i];
  return out;
}

}  // namespace

std::string lookup(const std::string& list, const std::string& kind) {
  for (const std::string& e : entries(list))
    if (piece(e, 1) == kind) return trimmed(piece(e, 2));
  return "";
}

int position(const std::string& list, const std::string& code, bool byKind) {
  std::vector<std::string> all = entries(list);
  for (size_t i = 0; i < all.size(); ++i)
    if (piece(all[i], byKind ? 1 : 2) == code) return int(i) + 1;
  return 0;
}

std::string removed(const std::string& list, const std::string& code, bool byKind) {
  int p = position(list, code, byKind);
  if (p == 0) return list;
  std::vector<std::string> all = entries(list);
  all.erase(all.begin() + (p - 1));
  return joined(all);
}

std::string added(const std::string& list, const std::string& kind, const std::string& resetCode) {
  std::string rest = removed(list, kind, true);
  std::string entry = kind + kPartSep + resetCode;
  return rest.empty() ? entry : rest + kEntrySep + entry;
}

std::string listOf(const char* var) {
  const rt::Value* v = rt::context().memvars.tryGet(var);
  return v && v->isChar() ? v->str() : "";
}

void setList(const char* var, const std::string& list) {
  rt::context().memvars.assign(var, rt::Value::text(list));
}

}  // namespace zus::reset_map
