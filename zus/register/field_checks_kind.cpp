// The kind check `OK_ZAS` and the value check `OK_WARTOSC`.
//
// The kind entry holds the abbreviation of a benefit-dictionary entry; the check turns it into the
// kind code `_zasilek`. An existing record opened for editing is marked as edited since its
// calculation (status + 90) here, so the calculation run takes it up again after a save.
#include <cmath>
#include <string>

#include "runtime/db/work_areas.h"
#include "runtime/term/keyboard.h"
#include "runtime/term/terminal.h"
#include "zus/register/field_checks.h"
#include "zus/register/form_support.h"
#include "zus/shell/kind_predicates.h"
#include "zus/shell/status_codes.h"

namespace zus {
namespace {

using namespace form;

constexpr double kLargestValue = 9999999999.0;

std::string dictionaryCode() {
  rt::Value slow = var("zas_slow");
  if (slow.isArray() && !slow.arr().empty()) return slow.arr()[0].strOr("");
  return "";
}

std::string rtrimmed(std::string s) {
  while (!s.empty() && s.back() == ' ') s.pop_back();
  return s;
}

// The benefit-dictionary entry whose abbreviation was typed. The abbreviation order may carry the
// dictionary letter before the abbreviation or not; both are tried, and only an entry of the
// benefit dictionary with exactly that abbreviation counts (a seek finds any key that merely
// begins with what was sought: the letter and an abbreviation typed together would otherwise
// find that abbreviation's kind).
bool seekAbbreviation(rt::db::WorkArea& sl, const std::string& abbreviation, char letter) {
  auto ofBenefitDictionary = [&] {
    // "X  " is the dictionary's header row, no benefit kind.
    std::string kod = aliasField("sl", "kod").strOr("");
    return kod.size() >= 3 && kod[0] == letter && kod.substr(1, 2) != "  " &&
           rtrimmed(aliasField("sl", "skrot").strOr("")) == rtrimmed(abbreviation);
  };
  if (sl.seek(txt(std::string(1, letter) + abbreviation), false) && ofBenefitDictionary())
    return true;
  return sl.seek(txt(abbreviation), false) && ofBenefitDictionary();
}

}  // namespace

void showFormStatus() {
  sayBold(int(number("wier", 6)) + 13, int(number("kol", 1)) + 12,
          statusText(number("_status")));
}

bool OK_ZAS(int row, int col) {
  rt::db::WorkArea* sl = rt::db::workAreas().byAlias("sl");
  if (!sl) return false;
  rt::db::workAreas().select(sl->number());
  const int previousOrder = sl->order();
  const std::string code = dictionaryCode();
  const char letter = code.empty() ? ' ' : code[0];
  if (sl->orderCount() >= 2) sl->setOrder(2);

  bool picked = false;
  if (seekAbbreviation(*sl, text("skr_zas"), letter)) {
    set("_zasilek", aliasField("sl", "kod"));
  } else {
    picked = true;
    set("_zasilek", call("POBSLOWO", {num(8), num(30), num(10), txt(code), flag(false),
                                      txt(text("skr_zas"))}));
  }

  const bool escaped = picked && rt::term::keyboard().lastKey() == 27;
  sl->setOrder(previousOrder);
  if (escaped) {
    selectAlias("nieobec");
    set("skr_zas", txt(std::string(size_t(number("len_slow", 10)), ' ')));
    rt::term::keyboard().stuff(std::string(1, '\0'));
    return false;
  }

  set("skr_zas", aliasField("sl", "skrot"));
  // The mnemonic stays inside the form's frame (the field is wider than the room beside the kind).
  std::string mnemonic = display(aliasField("sl", "mnemo").strOr(""));
  while (!mnemonic.empty() && mnemonic.back() == ' ') mnemonic.pop_back();
  const int room = 78 - int(number("kol", 1)) - col;
  if (room > 0 && int(mnemonic.size()) > room) mnemonic.resize(size_t(room));
  sayBold(row, col, mnemonic);
  selectAlias("nieobec");
  if (kindIs(KindFamily::STALY, text("_zasilek"))) set("_status", num(stat_const));
  const double status = number("_status");
  if (status < 90 && status != stat_const && status != stat_n_obl) set("_status", num(status + 90));
  showFormStatus();
  return true;
}

bool OK_WARTOSC() {
  const double value = number("_wartosc");
  if (std::fabs(value) > kLargestValue) return false;
  const double status = number("_status");
  if (status != stat_const && value != 0) {
    if (!decide(false, "Czy zmienic` status ?",
                "Zasil`ek nie ma statusu \"Stal`a wartos`c`\"."))
      return false;
    set("_status", num(stat_const));
    showFormStatus();
    return true;
  }
  if (!kindIs(KindFamily::STALY, text("_zasilek")) && status == stat_const && value == 0) {
    if (!decide(false, "Czy zmienic` status ?", "Zasil`ek ma status \"Stal`a wartos`c`\"."))
      return false;
    set("_status", num(stat_n_obl));
    showFormStatus();
  }
  return true;
}

}  // namespace zus
