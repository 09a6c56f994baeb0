// The month routines by name: OK_MIES, JAKIE_MIES, EDIT_MIES, OPER_MNU, SPOJNOSC_OK. They read and
// write the form's working copies `_czy_wsk`, `_ten_tekst`, `_fakt_mies`, `_mies_dop` and
// `_od_dat`.
#include "runtime/core/context.h"
#include "runtime/core/std_strings.h"
#include "runtime/term/terminal.h"
#include "zus/register/basis_months_editor.h"

namespace zus {
namespace {

rt::Memvars& vars() { return rt::context().memvars; }
rt::Value call(const char* name, std::vector<rt::Value> args = {}) {
  return rt::functions().call(name, std::move(args));
}
rt::Value varOr(const char* name, rt::Value fallback) {
  const rt::Value* v = vars().tryGet(name);
  return v && !v->isNil() ? *v : fallback;
}

std::vector<bool> workingFlags() {
  std::vector<bool> flags;
  rt::Value v = varOr("_mies_dop", rt::Value());
  if (v.isArray())
    for (const rt::Value& flag : v.arr()) flags.push_back(flag.logicalOr(false));
  return flags;
}

rt::Value flagsValue(const std::vector<bool>& flags) {
  rt::Value array = rt::Value::newArray(0);
  for (bool flag : flags) array.arr().push_back(rt::Value::logical(flag));
  return array;
}

int32_t recordWindowEnd() {
  rt::FieldResolver* fields = rt::context().fields;
  if (!fields || fields->fieldType("nieobec", "od_dat") != "D") return 0;
  return fields->readAliasField("nieobec", "od_dat").date();
}

rt::Value EDIT_MIES(rt::Args& a) {
  BasisMonthEdit given;
  given.codes = a[0].isChar() ? a[0].str() : varOr("_ten_tekst", rt::Value::text("")).strOr("");
  given.flags = workingFlags();
  rt::Value end = varOr("_od_dat", rt::Value::date(0));
  given.windowEnd = end.isDate() ? end.date() : 0;
  rt::Value working = varOr("lum_data", rt::Value::date(0));
  BasisMonthEdit edited =
      editBasisMonths(given, recordWindowEnd(), working.isDate() ? working.date() : 0,
                      int(varOr("zusx_biez", rt::Value::integer(1)).intOr(1)));
  if (edited.flags != given.flags) vars().assign("_mies_dop", flagsValue(edited.flags));
  if (edited.windowEnd != given.windowEnd)
    vars().assign("_od_dat", rt::Value::date(edited.windowEnd));
  return rt::Value::text(edited.codes);
}

rt::Value JAKIE_MIES(rt::Args& a) {
  call("CLEAR_KEYBOARD");
  rt::Value codes = rt::Value::text(a[0].strOr(""));
  if (a[1].logicalOr(false)) codes = call("EDIT_MIES", {codes});
  if (a[2].logicalOr(false)) return codes;
  return rt::Value::text(basisMonthsDisplayList(codes.strOr("")));
}

rt::Value OK_MIES(rt::Args& a) {
  int row = int(a[0].intOr(0)), col = int(a[1].intOr(0)), col2 = int(a[2].intOr(79));
  bool editing = a[3].logicalOr(true);
  std::string answer = varOr("_czy_wsk", rt::Value::text("N")).strOr("N");
  if (answer == "T" && rt::term::keyboard().lastKey() == 13) {
    if (editing)
      vars().assign("_ten_tekst",
                    call("JAKIE_MIES", {varOr("_ten_tekst", rt::Value::text("")),
                                        rt::Value::logical(true), rt::Value::logical(true)}));
    std::string list = call("JAKIE_MIES", {varOr("_ten_tekst", rt::Value::text("")),
                                           rt::Value::logical(false), rt::Value::logical(false)})
                           .strOr("");
    list = list.substr(0, size_t(std::max(0, col2 - col - 1)));
    list.resize(35, ' ');
    call("DISPOUTAT", {rt::Value::integer(row), rt::Value::integer(col), rt::Value::text(list),
                       call("K_BOLD", {rt::Value::integer(0)})});
    call("K_NORM");
    return rt::Value::logical(true);
  }
  if (answer == "T") return rt::Value::logical(true);
  if (answer != "N") return rt::Value::logical(false);
  vars().assign("_ten_tekst", rt::Value::text(""));
  vars().assign("_fakt_mies", rt::Value::text(""));
  vars().assign("_mies_dop", rt::Value::newArray(0));
  vars().assign("_od_dat", rt::Value::date(0));
  return rt::Value::logical(true);
}

}  // namespace

void registerBasisMonthFunctions() {
  rt::Functions& f = rt::functions();
  f.add("OK_MIES", OK_MIES);
  f.add("JAKIE_MIES", JAKIE_MIES);
  f.add("EDIT_MIES", EDIT_MIES);
  f.add("OPER_MNU",
        [](rt::Args& a) { return rt::Value::integer(basisMonthEditorKey(int(a[1].intOr(0)))); });
  f.add("SPOJNOSC_OK", [](rt::Args&) { return rt::Value::logical(basisMonthEditorRunCheck()); });
}

}  // namespace zus
