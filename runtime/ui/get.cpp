// A form field (see get.h).
#include "runtime/ui/get.h"

#include "runtime/core/context.h"
#include "runtime/core/error.h"
#include "runtime/term/terminal.h"

namespace rt::ui {

Get::Get(int row, int col, std::string name, ValueGetter getter, ValueSetter setter,
         std::string picture)
    : row_(row), col_(col), name_(std::move(name)), getter_(std::move(getter)),
      setter_(std::move(setter)), picture_(std::move(picture)) {
  const term::Colors& c = term::screen().colors();
  unselectedAttr = c.unselected();
  enhancedAttr = c.enhanced();
}

std::shared_ptr<Get> Get::onMemvar(int row, int col, std::string name, std::string picture) {
  std::string n = name;
  return std::make_shared<Get>(
      row, col, std::move(name), [n] { return context().memvars.get(n); },
      [n](const Value& v) { context().memvars.assign(n, v); }, std::move(picture));
}

std::shared_ptr<Get> Get::onField(int row, int col, std::string name, std::string picture) {
  std::string alias, field = name;
  if (size_t arrow = name.find("->"); arrow != std::string::npos) {
    alias = name.substr(0, arrow);
    field = name.substr(arrow + 2);
  }
  auto resolver = [] {
    FieldResolver* r = context().fields;
    if (!r) throw Error(ErrorKind::NoAlias, "Alias does not exist", "GET");
    return r;
  };
  ValueGetter getter = [alias, field, resolver]() {
    FieldResolver* r = resolver();
    if (!alias.empty()) return r->readAliasField(alias, field);
    Value v;
    if (!r->readField(field, v)) throw Error(ErrorKind::NoField, "Variable does not exist", field);
    return v;
  };
  ValueSetter setter = [alias, field, resolver](const Value& v) {
    FieldResolver* r = resolver();
    if (!alias.empty()) return r->writeAliasField(alias, field, v);
    if (!r->writeField(field, v)) throw Error(ErrorKind::NoField, "Variable does not exist", field);
  };
  return std::make_shared<Get>(row, col, field, std::move(getter), std::move(setter),
                               std::move(picture));
}

void Get::setFocus() {
  original_ = getter_();
  storedSinceFocus_ = false;
  edit_.emplace(original_, picture_);
  clearPending = edit_->type() == 'N' || edit_->picture().functions.clearOnType;
}

bool Get::assign(bool* stored) {
  if (stored) *stored = false;
  if (!edit_ || !edit_->changed()) return true;
  bool valid = true;
  Value v = edit_->value(getter_(), &valid);
  if (!valid) return false;
  setter_(v);
  storedSinceFocus_ = true;
  lastStored_ = v;
  edit_->setUnchanged();
  if (stored) *stored = true;
  return true;
}

namespace {

bool sameValue(const Value& a, const Value& b) {
  if (a.type() != b.type()) return false;
  switch (a.type()) {
    case Type::Char: return a.str() == b.str();
    case Type::Num: return a.num() == b.num();
    case Type::Date: return a.date() == b.date();
    case Type::Logical: return a.logical() == b.logical();
    case Type::Nil: return true;
    default: return false;
  }
}

}  // namespace

void Get::undo() {
  if (storedSinceFocus_ && sameValue(getter_(), lastStored_)) setter_(original_);
  storedSinceFocus_ = false;
  if (edit_) edit_->load(original_);
}

void Get::updateBuffer() {
  if (!edit_) return;
  int pos = edit_->pos();
  const Value v = getter_();
  edit_->load(v);
  // A text the check emptied is typed again from its start.
  if (v.isChar() && v.str().find_first_not_of(' ') == std::string::npos) return;
  // Keep the cursor where the user had it when the reload leaves it a place to stand.
  if (edit_->isEditable(pos)) {
    while (edit_->pos() < pos && edit_->right()) {}
  }
}

void Get::display() const {
  term::Screen& s = term::screen();
  if (edit_) {
    s.put(row_, col_, edit_->displayText(), enhancedAttr);
  } else {
    GetBuffer shown(getter_(), picture_);
    s.put(row_, col_, shown.displayText(), unselectedAttr);
  }
}

int Get::cursorCol() const { return col_ + (edit_ ? edit_->displayCursor() : 0); }

}  // namespace rt::ui
