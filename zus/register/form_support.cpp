// The edit form's shared helpers (see form_support.h).
#include "zus/register/form_support.h"

#include "runtime/db/work_areas.h"
#include "zus/register/benefit_record.h"

namespace zus::form {

rt::Value callIfPresent(std::string_view name, std::vector<rt::Value> args, rt::Value fallback) {
  if (!rt::functions().has(name)) return fallback;
  return rt::functions().call(name, std::move(args));
}

int32_t date(std::string_view name) { return reg::dateVar(name); }

bool logical(std::string_view name, bool fallback) { return reg::flagVar(name, fallback); }

void set(std::string_view name, rt::Value v) { vars().assign(name, std::move(v)); }

std::string slotKind(int slot) { return reg::elementText("zas_zus", slot); }

bool kindOfSlot(int slot) {
  std::string linked = slotKind(slot);
  return !linked.empty() && text("_zasilek") == linked;
}

bool looseEquals(std::string_view a, std::string_view b) {
  return b.empty() || (a.size() >= b.size() && a.compare(0, b.size(), b) == 0);
}

void sayBold(int row, int col, const std::string& s) {
  sayIn(row, col, s, call("K_BOLD", {num(0)}).strOr(""));
}

void message(const std::string& stored, int kind) {
  call("KOM3", {txt(stored), num(0), num(0), num(kind)});
}

void message(const std::vector<std::string>& lines, int kind) {
  rt::Value array = rt::Value::newArray(0);
  for (const std::string& l : lines) array.arr().push_back(txt(l));
  call("KOM3", {array, num(0), num(0), num(kind)});
}

bool decide(bool yesFirst, const std::string& question, const std::string& comment) {
  std::vector<rt::Value> args{flag(yesFirst), txt(question), num(0), num(0)};
  if (!comment.empty()) args.push_back(txt(comment));
  return call("DECYZJA", std::move(args)).logicalOr(false);
}

std::string statusText(double code) {
  rt::Value codes = var("stat_err"), texts = var("stat_mess");
  std::string shown;
  if (codes.isArray() && texts.isArray()) {
    const rt::Array& c = codes.arr();
    for (size_t i = 0; i < c.size(); ++i) {
      if (c[i].isNum() && c[i].num() == code) {
        if (i < texts.arr().size()) shown = texts.arr()[i].strOr("");
        break;
      }
    }
  }
  return call("ROWNAJ_L", {txt(shown), num(40)}).strOr(std::string(40, ' '));
}

void selectAlias(std::string_view alias) {
  int n = rt::db::workAreas().numberOf(alias);
  if (n > 0) rt::db::workAreas().select(n);
}

rt::Value aliasField(std::string_view alias, std::string_view field) {
  if (rt::db::workAreas().numberOf(alias) == 0) return {};
  if (rt::context().fields->fieldType(alias, field) == "U") return {};
  return rt::context().fields->readAliasField(alias, field);
}


StatusLine::StatusLine(const std::string& stored) { call("STATLINE", {txt(stored)}); }
void StatusLine::restore() {
  if (shown_) call("STATLINE", {num(-1)});
  shown_ = false;
}

FormWindow::FormWindow(int type, int top, int left, int bottom, int right, const rt::Value& title,
                       int set)
    : handle_(call("_ROZWIN", {num(type), num(top), num(left), num(bottom), num(right), title,
                               num(set)})) {}
void FormWindow::close() {
  if (open_) call("ZWIN", {handle_});
  open_ = false;
}

KeepSelectedArea::KeepSelectedArea() : area_(rt::db::workAreas().selectedNumber()) {}
KeepSelectedArea::~KeepSelectedArea() { rt::db::workAreas().select(area_); }

}  // namespace zus::form
