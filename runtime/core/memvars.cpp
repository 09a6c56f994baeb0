// Memory variables: the visible-name map over a stack of privates and a table of publics.
//
// Invariant: visible_[KEY] is the innermost live variable named KEY; each private remembers the
// slot it hides so closing its frame can make that slot visible again.
#include "runtime/core/memvars.h"

#include <algorithm>
#include <cctype>

#include "runtime/core/error.h"
#include "runtime/core/names.h"

namespace rt {

Memvars::Memvars() = default;
Memvars::~Memvars() = default;

Memvars::Slot* Memvars::findSlot(std::string_view name) const {
  auto it = visible_.find(upperName(name));
  return it == visible_.end() ? nullptr : it->second;
}

Value* Memvars::find(std::string_view name) {
  Slot* s = findSlot(name);
  return s ? &s->value : nullptr;
}

const Value* Memvars::find(std::string_view name) const {
  Slot* s = findSlot(name);
  return s ? &s->value : nullptr;
}

Value* Memvars::findUpper(const std::string& key) const {
  auto it = visible_.find(key);
  return it == visible_.end() ? nullptr : &it->second->value;
}

const Value* Memvars::tryGet(std::string_view name) const { return find(name); }

bool Memvars::isPublic(std::string_view name) const {
  Slot* s = findSlot(name);
  return s && s->scope == Scope::Public;
}

const Value& Memvars::get(std::string_view name) const {
  const Value* v = find(name);
  if (!v) throw Error(ErrorKind::NoVariable, "Variable does not exist", upperName(name));
  return *v;
}

Memvars::Slot* Memvars::newPrivate(std::string key, Value v) {
  auto slot = std::make_unique<Slot>();
  slot->name = key;
  slot->value = std::move(v);
  slot->scope = Scope::Private;
  slot->frame = frames_.size();
  Slot*& visible = visible_[key];
  slot->hidden = visible;
  visible = slot.get();
  privates_.push_back(std::move(slot));
  return visible;
}

void Memvars::declarePublic(std::string_view name, std::optional<Value> init) {
  std::string key = upperName(name);
  Slot*& visible = visible_[key];
  if (!visible) {
    auto slot = std::make_unique<Slot>();
    slot->name = key;
    slot->value = Value::logical(false);
    slot->scope = Scope::Public;
    visible = slot.get();
    publics_[key] = std::move(slot);
  }
  if (init) visible->value = std::move(*init);
}

void Memvars::declarePrivate(std::string_view name, std::optional<Value> init) {
  std::string key = upperName(name);
  auto it = visible_.find(key);
  if (it != visible_.end() && it->second->scope == Scope::Private &&
      it->second->frame == frames_.size()) {
    if (init) it->second->value = std::move(*init);
    return;
  }
  newPrivate(std::move(key), init ? std::move(*init) : Value());
}

void Memvars::assign(std::string_view name, Value v) {
  std::string key = upperName(name);
  auto it = visible_.find(key);
  if (it != visible_.end()) {
    it->second->value = std::move(v);
    return;
  }
  newPrivate(std::move(key), std::move(v));
}

Value* Memvars::ref(std::string_view name) {
  if (Value* v = find(name)) return v;
  return &newPrivate(upperName(name), Value())->value;
}

void Memvars::release(std::string_view name) {
  if (Value* v = find(name)) *v = Value();
}

void Memvars::releaseAll(std::string_view mask, bool except) {
  size_t base = frames_.empty() ? 0 : frames_.back();
  for (size_t i = base; i < privates_.size(); ++i) {
    Slot& s = *privates_[i];
    bool match = mask.empty() || matchesMask(s.name, mask);
    if (mask.empty() || match != except) s.value = Value();
  }
}

void Memvars::clearAll() {
  for (auto& p : privates_) {
    p->value = Value();
    if (p->hidden && p->hidden->scope == Scope::Public) p->hidden = nullptr;
  }
  for (auto& [key, slot] : publics_) {
    auto it = visible_.find(key);
    if (it != visible_.end() && it->second == slot.get()) visible_.erase(it);
  }
  publics_.clear();
}

std::vector<MemvarInfo> Memvars::list() const {
  std::vector<MemvarInfo> out;
  out.reserve(visible_.size());
  // Publics first, by name, then privates in the order they were declared, so files written
  // from this list come out the same way every time.
  for (const auto& [key, slot] : publics_)
    if (visible_.at(key) == slot.get()) out.push_back({slot->name, slot->value, Scope::Public});
  std::sort(out.begin(), out.end(),
            [](const MemvarInfo& a, const MemvarInfo& b) { return a.name < b.name; });
  for (const auto& slot : privates_)
    if (visible_.at(slot->name) == slot.get())
      out.push_back({slot->name, slot->value, Scope::Private});
  return out;
}

size_t Memvars::openFrame() {
  frames_.push_back(privates_.size());
  return frames_.size();
}

void Memvars::closeFrame(size_t depth) {
  // Frames close innermost first; one left open by a routine that forgot its guard closes too.
  while (frames_.size() >= depth && !frames_.empty()) {
    size_t base = frames_.back();
    while (privates_.size() > base) {
      Slot* s = privates_.back().get();
      auto it = visible_.find(s->name);
      if (it != visible_.end() && it->second == s) {
        if (s->hidden) it->second = s->hidden;
        else visible_.erase(it);
      }
      privates_.pop_back();
    }
    frames_.pop_back();
  }
}

std::string Memvars::typeOf(std::string_view text) const {
  // name, then optional subscripts: [1] [1,2] [1][2] with integer literals.
  size_t i = 0;
  while (i < text.size() && std::isspace(static_cast<unsigned char>(text[i]))) ++i;
  size_t start = i;
  while (i < text.size() &&
         (std::isalnum(static_cast<unsigned char>(text[i])) || text[i] == '_'))
    ++i;
  if (i == start) return "U";
  const Value* v = find(text.substr(start, i - start));
  if (!v) return "U";
  while (i < text.size()) {
    char c = text[i];
    if (std::isspace(static_cast<unsigned char>(c)) || c == ']' || c == ',' || c == '[') {
      if (c == '[' || c == ',') {
        ++i;
        while (i < text.size() && text[i] == ' ') ++i;
        size_t numStart = i;
        long index = 0;
        while (i < text.size() && std::isdigit(static_cast<unsigned char>(text[i])))
          index = index * 10 + (text[i++] - '0');
        if (i == numStart || !v->isArray()) return "U";
        const Array& a = v->arr();
        if (index < 1 || size_t(index) > a.size()) return "U";
        v = &a[size_t(index) - 1];
        continue;
      }
      ++i;
      continue;
    }
    return "U";  // anything else is an expression: the expression TYPE() handles it
  }
  return v->isNil() ? "U" : std::string(1, v->typeLetter());
}

}  // namespace rt
