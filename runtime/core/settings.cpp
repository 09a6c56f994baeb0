// SET settings by number: each number maps to one typed member; others are kept as given.
#include "runtime/core/settings.h"

#include "runtime/core/names.h"

namespace rt {

namespace {

// A logical setting given as .T./.F. or as the text "ON"/"OFF" (any case).
bool asSwitch(const Value& v, bool current) {
  if (v.isLogical()) return v.logical();
  if (v.isChar()) {
    std::string s = upperName(v.str());
    if (s == "ON") return true;
    if (s == "OFF") return false;
  }
  return current;
}

struct Ref {
  bool* flag = nullptr;
  int* number = nullptr;
  std::string* text = nullptr;
};

Ref member(Settings& s, int n) {
  switch (SetId(n)) {
    case SetId::Exact: return {&s.exact};
    case SetId::Fixed: return {&s.fixed};
    case SetId::Decimals: return {nullptr, &s.decimals};
    case SetId::DateFormat: return {nullptr, nullptr, &s.dateFormat};
    case SetId::Epoch: return {nullptr, &s.epoch};
    case SetId::Path: return {nullptr, nullptr, &s.path};
    case SetId::Default: return {nullptr, nullptr, &s.defaultDir};
    case SetId::Exclusive: return {&s.exclusive};
    case SetId::SoftSeek: return {&s.softSeek};
    case SetId::Unique: return {&s.unique};
    case SetId::Deleted: return {&s.deleted};
    case SetId::Cancel: return {&s.cancel};
    case SetId::Color: return {nullptr, nullptr, &s.color};
    case SetId::Cursor: return {nullptr, &s.cursor};
    case SetId::Console: return {&s.console};
    case SetId::Device: return {nullptr, nullptr, &s.device};
    case SetId::Printer: return {&s.printer};
    case SetId::PrintFile: return {nullptr, nullptr, &s.printFile};
    case SetId::Margin: return {nullptr, &s.margin};
    case SetId::Bell: return {&s.bell};
    case SetId::Confirm: return {&s.confirm};
    case SetId::Escape: return {&s.escape};
    case SetId::Insert: return {&s.insert};
    case SetId::Exit: return {&s.exitKeys};
    case SetId::Intensity: return {&s.intensity};
    case SetId::Scoreboard: return {&s.scoreboard};
    case SetId::Delimiters: return {&s.delimiters};
    case SetId::DelimChars: return {nullptr, nullptr, &s.delimChars};
    case SetId::Wrap: return {&s.wrap};
    case SetId::Message: return {nullptr, &s.message};
    case SetId::MCenter: return {&s.mcenter};
  }
  return {};
}

}  // namespace

Value Settings::get(int n) const {
  Ref r = member(const_cast<Settings&>(*this), n);
  if (r.flag) return Value::logical(*r.flag);
  if (r.number) return Value::integer(*r.number);
  if (r.text) return Value::text(*r.text);
  auto it = others_.find(n);
  return it == others_.end() ? Value() : it->second;
}

Value Settings::set(int n, const Value& v) {
  Value previous = get(n);
  if (v.isNil()) return previous;
  Ref r = member(*this, n);
  if (r.flag) {
    *r.flag = asSwitch(v, *r.flag);
  } else if (r.number) {
    if (v.isNum()) *r.number = int(v.num());
    else if (v.isLogical() && SetId(n) == SetId::Cursor) *r.number = v.logical() ? 1 : 0;
  } else if (r.text) {
    if (v.isChar()) *r.text = v.str();
  } else {
    others_[n] = v;
  }
  return previous;
}

}  // namespace rt
