// Payout date proposal and check (see form_payout.h).
#include "zus/register/form_payout.h"

#include <cstdlib>
#include <string>

#include "runtime/core/std_dates.h"
#include "runtime/db/work_areas.h"
#include "zus/register/form_support.h"

namespace zus {
namespace {

using namespace form;

constexpr int kMaxHintDates = 9;
const char* const kFillPayout = "Nalex`y wypel`nic` pole data wypl`aty !";
const char* const kRefreshQuestion = "Czy uaktualnic` daty do podpowiedzi ?";
const char* const kRefreshComment = "Daty do podpowiedzi sa` nieaktualne";

struct Ymd {
  int year = 0, month = 0, day = 0;
};
Ymd split(int32_t d) {
  Ymd r;
  rt::splitDate(d, r.year, r.month, r.day);
  return r;
}

int32_t hintDate(int n) { return date("zusx_d" + std::to_string(n)); }

void editHintDates() { call("ED_DATY", {num(6), num(5), num(46), flag(false)}); }

// The year filter of the register keeps only this and last year's benefits; a payout date
// outside it asks to switch the filter off for this run (the parameter file stays as it was).
bool passesYearFilter(int32_t payout) {
  if (!logical("zusx_filtr")) return true;
  int year = split(payout).year, current = split(date("lum_data")).year;
  if (year == current || year == current - 1) return true;
  if (!decide(true, "Czy zmienic` wartos`c` parametru ?",
              "Nal`ox`ono filtr na rok biex`a`cy i poprzedni"))
    return false;
  set("zusx_filtr", flag(false));
  say(3, 54, std::string(24, ' '));
  selectAlias("nieobec");
  call("CMXCLRSCOPE", {num(0)});
  call("CMXCLRSCOPE", {num(1)});
  callIfPresent("DAJ_SCOPY", {}, {});
  return true;
}

// The list of hint dates under the payout entry; true when one was taken into `_dat_wyp`.
bool pickHintDate() {
  const int wier = int(number("wier", 6)), kol = int(number("kol", 1));
  std::vector<int32_t> hints = payoutHintDates();
  const int count = int(hints.size());
  rt::Value items = rt::Value::newArray(0);
  for (int32_t d : hints) items.arr().push_back(txt(rt::dtoc(d)));

  StatusLine status("Enter-Wybo`r,Esc-Rezygnacja");
  ColourSet colours(36);
  FormWindow window(-2, wier + 6, kol + 60, wier + 8 + count, kol + 73, txt("Wybierz"), 36);
  int chosen = int(call("ACHOICE", {num(wier + 8), num(kol + 62), num(wier + 7 + count),
                                    num(kol + 71), items, flag(true)})
                       .intOr(0));
  bool taken = chosen > 0;
  if (taken) {
    set("_dat_wyp", rt::Value::date(hintDate(chosen)));
    if (hintStaleOnChoice(hintDate(chosen), date("lum_data")) &&
        decide(true, kRefreshQuestion, kRefreshComment))
      editHintDates();
    set("_dat_wyp", rt::Value::date(hintDate(chosen)));
  }
  if (date("_dat_wyp") == 0) taken = false;
  return taken;
}

}  // namespace

std::vector<int32_t> payoutHintDates() {
  int count = int(number("zusx_daty", 0));
  if (count < 0) count = 0;
  if (count > kMaxHintDates) count = kMaxHintDates;
  std::vector<int32_t> hints;
  for (int n = 1; n <= count; ++n) hints.push_back(hintDate(n));
  return hints;
}

int nearestHintDate(int32_t payout, const std::vector<int32_t>& hints) {
  int best = 0, bestDistance = 100;
  const int day = split(payout).day;
  for (size_t i = 0; i < hints.size(); ++i) {
    int distance = std::abs(split(hints[i]).day - day);
    if (distance < bestDistance) {
      bestDistance = distance;
      best = int(i) + 1;
    }
  }
  return best;
}

bool hintStaleForProposal(int32_t hint, int32_t workingDate) {
  Ymd h = split(hint), w = split(workingDate);
  return h.month < w.month && w.year - h.year >= 1;
}

bool hintStaleOnChoice(int32_t hint, int32_t workingDate) {
  Ymd h = split(hint), w = split(workingDate);
  return h.month < w.month && h.year - w.year < 1;
}

int32_t proposePayoutDate() {
  rt::db::WorkArea* area = rt::db::workAreas().byAlias("nieobec");
  if (!area) return 0;
  const uint32_t kept = area->recno();
  area->goBottom();
  int32_t payout = 0;
  if (!area->eof()) {
    rt::Value v = aliasField("nieobec", "dat_wyp");
    payout = v.isDate() ? v.date() : 0;
  }
  int n = nearestHintDate(payout, payoutHintDates());
  if (n > 0) {
    if (hintStaleForProposal(hintDate(n), date("lum_data")) &&
        decide(true, kRefreshQuestion, kRefreshComment))
      editHintDates();
    payout = hintDate(n);
  }
  area->goTo(kept);
  return payout;
}

bool DAJ_DATKI() {
  bool result = true;
  if (date("_dat_wyp") == 0) {
    if (number("zusx_daty", 0) == 0) {
      message(kFillPayout, 3);
      return false;
    }
    if (!pickHintDate()) {
      result = false;
      message(kFillPayout, 3);
    }
  }
  // An empty date has been refused above: comparing it with the end of the benefit or the year
  // filter would only put up more windows, each taking one of the keys the user types next.
  if (date("_dat_wyp") == 0) return false;
  if (date("_dat_wyp") < date("_do"))
    message("Data wypl`aty wczes`niejsza nix` data kon`cowa zasil`ku", 5);
  if (!passesYearFilter(date("_dat_wyp"))) result = false;
  return result;
}

}  // namespace zus
