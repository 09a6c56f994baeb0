// Shared pieces of the benefit listings.
#include "zus/reports/listing_support.h"

#include "runtime/core/expr.h"
#include "suite/tables/table_defs.h"
#include "suite/tables/table_ops.h"
#include "suite/tables/table_sets.h"

namespace zus::listing {
namespace {

std::string ltrim(const std::string& s) {
  size_t b = s.find_first_not_of(' ');
  return b == std::string::npos ? std::string() : s.substr(b);
}

}  // namespace

rt::Value exprBlock(const std::string& text) { return rt::Value::block(rt::compileBlock(text)); }

rt::Value constantBlock(rt::Value v) {
  return rt::Value::block(rt::nativeBlock([v](std::vector<rt::Value>&) { return v; }));
}

std::string digits(int n) { return std::to_string(n); }

MainFacts readMainFacts() {
  MainFacts f;
  f.dataZus = rt::typeOfText("main->data_zus") == "D";
  f.pseudo = rt::evalText("main->( ORDNUMBER( \"NR_PSEUDO\" ) )").intOr(0) != 0;
  if (f.pseudo) f.pseudoLen = int(rt::evalText("LEN( main->nr_pseudo )").intOr(0));
  return f;
}

void publishMainFacts(const MainFacts& f) {
  vars().assign("czy_data_zus", rt::Value::logical(f.dataZus));
  vars().declarePublic("czy_pseudo");
  vars().assign("czy_pseudo", rt::Value::logical(f.pseudo));
  if (f.pseudo) vars().assign("dl_pseudo", num(f.pseudoLen));
}

MainFacts mainFactsFromVars() {
  MainFacts f;
  f.dataZus = varOr("czy_data_zus").logicalOr(false);
  f.pseudo = varOr("czy_pseudo").logicalOr(false);
  f.pseudoLen = int(varOr("dl_pseudo").intOr(0));
  return f;
}

void declareRunVariables() {
  rt::Memvars& v = vars();
  v.declarePrivate("podatek", num(0));
  v.declarePrivate("czy_data_zus");
  v.declarePrivate("dl_pseudo", num(0));
  v.declarePrivate("bufor", rt::Value::newArray(0));
  rt::Value yesNo = rt::Value::newArray(0);
  yesNo.arr() = {txt("1TAK"), txt("2NIE")};
  rt::Value lists = rt::Value::newArray(0);
  lists.arr().push_back(yesNo);
  v.declarePrivate("t_glob", lists);
}

double benefitTax(double value, double podat) {
  // From 100 on `podat` holds the tax itself, as the card reads it.
  if (podat >= 100) return podat;
  double whole = call("LICZ_ZAOKR", {rt::Value::number(value, 2), rt::Value::number(1.0, 1)}).numOr(0);
  return call("LICZ_ZAOKR", {rt::Value::number(whole * podat / 100, 4), rt::Value::number(0.1, 1)}).numOr(0);
}

void setTaxOfCurrentBenefit() {
  double value = rt::evalText("nieobec->wartosc").numOr(0);
  double podat = rt::evalText("nieobec->podat").numOr(0);
  vars().assign("podatek", rt::Value::number(benefitTax(value, podat), 2));
}

bool employeeVisible() {
  rt::Value* buffer = vars().ref("bufor");
  rt::Args args;
  args.push(*buffer, buffer);
  args.push(rt::Value::logical(true));
  return rt::functions().call("SPRMAINUPR", args).logicalOr(false);
}

std::string transferStatus(bool transferred, const std::string& kind, const std::string& oldKind, double days,
                           double oldDays, double value, double oldValue) {
  std::string text = !transferred                                                ? "Nie przepisany"
                     : (kind != oldKind || days != oldDays || value != oldValue) ? "Przepisany-zmiany"
                                                                                 : "Przepisany";
  return call("ROWNAJ_L", {txt(text), num(20)}).strOr("");
}

std::string statusColumnText(double code) {
  rt::Value codes = varOr("stat_err"), texts = varOr("stat_mess");
  std::string text;
  bool known = false;
  if (codes.isArray() && texts.isArray())
    for (size_t i = 0; i < codes.arr().size() && i < texts.arr().size(); ++i)
      if (codes.arr()[i].isNum() && codes.arr()[i].num() == code) {
        text = ltrim(texts.arr()[i].strOr(""));
        known = true;
        break;
      }
  // A code the status table does not hold shows as itself rather than stopping the listing.
  if (!known) text = "Status " + std::to_string(int64_t(code));
  return call("ROWNAJ_L", {txt(text), num(40)}).strOr("");
}

bool goToDictionaryHeader(const std::string& shortName) {
  auto trimRight = [](std::string t) {
    while (!t.empty() && t.back() == ' ') t.pop_back();
    return t;
  };
  const std::string wanted = trimRight(shortName);
  for (call("DBGOTOP"); !call("EOF").logicalOr(true); call("DBSKIP")) {
    std::string code = rt::evalText("kod").strOr("");
    if (code.size() >= 3 && code.substr(1, 2) == "  " && trimRight(rt::evalText("skrot").strOr("")) == wanted)
      return true;
  }
  return false;
}

DictionaryByShortName::DictionaryByShortName() {
  call("DBSELECTAREA", {txt("sl")});
  order_ = call("INDEXORD");
  call("ORDSETFOCUS", {num(2)});
}

DictionaryByShortName::~DictionaryByShortName() {
  try {
    call("DBSELECTAREA", {txt("sl")});
    call("ORDSETFOCUS", {order_});
  } catch (...) {
  }
}

MainPosition::MainPosition() : open_(call("SELECT", {txt("main")}).intOr(0) > 0) {
  if (!open_) return;
  order_ = rt::evalText("main->( INDEXORD() )");
  record_ = rt::evalText("main->( RECNO() )");
}

MainPosition::~MainPosition() {
  if (!open_) return;
  try {
    AreaGuard area;
    call("DBSELECTAREA", {txt("main")});
    call("ORDSETFOCUS", {order_});
    call("DBGOTO", {record_});
  } catch (...) {
  }
}

namespace {

constexpr int64_t kEsc = 27;

// The first table of the set whose file is not in its directory ("" when all are there).
std::string missingTable(const std::string& names) {
  for (const std::string& name : suite::splitSetNames(names)) {
    const suite::TableDef* def = suite::findTable(name);
    if (def && !call("FILE", {txt(suite::tablePath(*def) + ".dbf")}).logicalOr(false)) return def->name;
  }
  return {};
}

bool openSaying(const std::string& names, const std::string& modes) {
  for (;;) {
    if (call("_OPEN_SET", {txt(names), txt(modes)}).logicalOr(false)) return true;
    std::string missing = missingTable(names);
    if (!missing.empty()) {
      call("KOM3", {txt("Brak zbioru " + missing + ".DBF - nie mox`na wykonac` zestawienia."), num(0), num(0),
                    num(3)});
      return false;
    }
    call("KOM2", {num(0), num(0), num(1), rt::Value::logical(true)});
    if (call("LASTKEY").intOr(0) == kEsc) return false;
  }
}

}  // namespace

TableSet::TableSet(const std::string& names, const std::string& modes, std::string firstName, bool sayWhy)
    : first_(std::move(firstName)),
      open_(sayWhy ? openSaying(names, modes) : call("_OPEN_SET", {txt(names), txt(modes)}).logicalOr(false)) {}

TableSet::~TableSet() {
  if (!open_) return;
  try {
    call("_CLOSE_SET", {txt(first_)});
  } catch (...) {
  }
}

}  // namespace zus::listing
