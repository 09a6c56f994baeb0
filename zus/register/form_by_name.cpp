// The benefit edit form, its field checks and its keys, callable by name: the browse calls
// `ED_NB`, the form's entries and key blocks call the checks and key actions, and the entry rules
// call `SZUK_PROC`.
#include <string>

#include "runtime/core/names.h"
#include "zus/register/by_name.h"
#include "zus/register/field_checks.h"
#include "zus/register/form_edit.h"
#include "zus/register/form_payout.h"
#include "zus/register/form_support.h"

namespace zus {
namespace {

rt::Value logical(bool b) { return rt::Value::logical(b); }

// A check without arguments, answering a logical.
template <bool (*Check)()>
rt::Value check(rt::Args&) {
  return logical(Check());
}

// A key action: (procedure, line, name of the active entry [, entry]); returns NIL.
template <void (*Action)()>
rt::Value keyAction(rt::Args&) {
  Action();
  return {};
}

}  // namespace

void registerBenefitFormFunctions() {
  rt::Functions& f = rt::functions();
  f.add("ED_NB", [](rt::Args& a) { return ED_NB(a[0].isLogical() && a[0].logical()); });
  f.add("DAJ_DATKI", check<DAJ_DATKI>);
  f.add("OK_ZAS", [](rt::Args& a) {
    const int wier = int(form::number("wier", 6)), kol = int(form::number("kol", 1));
    return logical(OK_ZAS(int(a[0].intOr(wier + 1)), int(a[1].intOr(kol + 29))));
  });
  f.add("OK_WARTOSC", check<OK_WARTOSC>);
  f.add("OK_PROC", check<OK_PROC>);
  f.add("OK_KOREKT", check<OK_KOREKT>);
  f.add("OK_WYPADEK", check<OK_WYPADEK>);
  f.add("OK_100", check<OK_100>);
  f.add("DAJ_F5", [](rt::Args& a) {
    DAJ_F5(rt::upperName(a[2].strOr("")));
    return rt::Value();
  });
  f.add("DAJ_F7", keyAction<DAJ_F7>);
  f.add("DAJ_CT_F2", keyAction<DAJ_CT_F2>);
  f.add("DAJ_CT_F3", keyAction<DAJ_CT_F3>);
  f.add("SZUK_PROC", [](rt::Args& a) {
    return rt::Value::integer(SZUK_PROC(a[0].isDate() ? a[0].date() : 0));
  });
}

}  // namespace zus
