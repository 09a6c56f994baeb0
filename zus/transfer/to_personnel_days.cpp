// The transfer to personnel for one employee: removal of vanished benefits' day records, the
// internal numbers, and the day records of each benefit written anew.
//
// Day records of one benefit are deleted all or none: they are all locked first. A day being
// rewritten whose record is locked elsewhere is left as it is (no second record for the day) and
// counted as a critical error, so that the user runs the transfer again.
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <set>

#include "runtime/core/context.h"
#include "runtime/core/std_dates.h"
#include "runtime/db/work_areas.h"
#include "suite/tables/table_services.h"
#include "zus/shell/kind_predicates.h"
#include "zus/transfer/to_payroll_loop.h"
#include "zus/transfer/to_personnel.h"

namespace zus {
namespace {

using namespace transfer_run;

// {field name, value} pairs as `_APPE_BLAN` takes them.
rt::Value fieldPairs(std::initializer_list<std::pair<const char*, rt::Value>> fields) {
  rt::Value pairs = rt::Value::newArray(0);
  for (const auto& [name, value] : fields) suite::addFieldPair(pairs, name, value);
  return pairs;
}

bool isOwnNumber(const std::string& kodWew) { return trimmed(kodWew) == "!"; }

std::string yearMonth(int monthsBack) {
  int64_t year = callByName("_ROK", {rt::Value::integer(monthsBack)}).intOr(0);
  int64_t month = callByName("_MIESIAC", {rt::Value::integer(monthsBack)}).intOr(0);
  char buf[16];
  std::snprintf(buf, sizeof buf, "%4lld", static_cast<long long>(year));
  return buf + callByName("STRZER", {rt::Value::integer(month), rt::Value::integer(2)}).strOr("");
}

std::string periodStart() { return yearMonth(int(runNum("miesp"))); }
std::string periodEnd() { return yearMonth(int(runNum("miesk"))); }

// The first six characters of DTOS of a date field ("      " for an empty date).
std::string monthOf(rt::db::WorkArea& area, const char* field) {
  rt::Value d = fieldOf(area, field);
  return rt::dtos(d.isDate() ? d.date() : 0).substr(0, 6);
}

std::string dtosOf(rt::db::WorkArea& area, const char* field) {
  rt::Value d = fieldOf(area, field);
  return rt::dtos(d.isDate() ? d.date() : 0);
}

// Keeps the selected area, and the order and record of the areas named, for a routine that
// moves them.
class PositionKeeper {
 public:
  explicit PositionKeeper(std::initializer_list<rt::db::WorkArea*> areas) : selected_(selectedArea()) {
    for (rt::db::WorkArea* a : areas) kept_.push_back({a, a->order(), a->recno(), a->eof()});
  }
  ~PositionKeeper() {
    for (auto it = kept_.rbegin(); it != kept_.rend(); ++it) {
      it->area->setOrder(it->order);
      if (it->atEnd) it->area->goBottom(), it->area->skip(1);
      else it->area->goTo(it->recno);
    }
    selectAreaNumber(selected_);
  }
  PositionKeeper(const PositionKeeper&) = delete;
  PositionKeeper& operator=(const PositionKeeper&) = delete;

 private:
  struct Kept {
    rt::db::WorkArea* area;
    int order;
    uint32_t recno;
    bool atEnd;
  };
  int selected_;
  std::vector<Kept> kept_;
};

// Only the order, for routines that leave the record where they walked it.
class OrderKeeper {
 public:
  explicit OrderKeeper(rt::db::WorkArea& area) : area_(area), order_(area.order()), selected_(selectedArea()) {}
  ~OrderKeeper() {
    area_.setOrder(order_);
    selectAreaNumber(selected_);
  }
  OrderKeeper(const OrderKeeper&) = delete;
  OrderKeeper& operator=(const OrderKeeper&) = delete;

 private:
  rt::db::WorkArea& area_;
  int order_;
  int selected_;
};

bool lockRecordOf(rt::db::WorkArea& area, uint32_t recno) {
  int before = selectedArea();
  selectAreaNumber(area.number());
  bool locked = callByName("_REC_LOCK", {rt::Value::integer(recno)}).logicalOr(false);
  selectAreaNumber(before);
  return locked;
}

bool isHolidayCode(const std::string& kod) {
  rt::Value codes = runVar("symb_ua");
  if (!codes.isArray()) return false;
  return std::any_of(codes.arr().begin(), codes.arr().end(),
                     [&](const rt::Value& c) { return c.isChar() && c.str() == kod; });
}

long numberValue(const std::string& kodWew) { return std::strtol(kodWew.c_str(), nullptr, 10); }

void holidayMessage(rt::db::WorkArea& main, int days) {
  char count[16];
  std::snprintf(count, sizeof count, "%3d", days);
  rt::Value list = runVar("kom_kadry");
  if (!list.isArray()) {
    list = rt::Value::newArray(0);
    setRunVar("kom_kadry", list);
  }
  list.arr().push_back(rt::Value::text(textOf(main, "nr_prac") + "|" + textOf(main, "nazwisko") + "|" + count));
  rt::Value lines = rt::Value::newArray(0);
  for (const std::string& l :
       {"Pracownik nr " + trimmed(textOf(main, "nr_prac")) + " mial` w podanym okresie " + "urlop w liczbie " +
            trimmed(count) + " dni,",
        std::string("kto`ry zostal zasta`piony przez dni choroby."),
        std::string("Nalex`y sprawdzic` wydruk z pliku url_kas.lst "), std::string("i dni urlopu w module KADRY")})
    lines.arr().push_back(rt::Value::text(l));
  callByName("KOM3", {lines, rt::Value::integer(0), rt::Value::integer(0), rt::Value::integer(10)});
}

bool hasDayRecords(rt::db::WorkArea& czas, const std::string& nr, const std::string& kodWew) {
  OrderKeeper keep(czas);
  czas.setOrder(3);
  return czas.seek(rt::Value::text(nr + kodWew), false);
}

}  // namespace

bool KAS_Z_CZAS(const std::string& kodWew) {
  if (isOwnNumber(kodWew)) return true;
  rt::db::WorkArea& czas = areaOf("czas_p");
  OrderKeeper keep(czas);
  std::string nr = textOf(areaOf("main"), "nr_prac");
  czas.setOrder(3);
  std::vector<uint32_t> records;
  bool allLocked = true;
  if (czas.seek(rt::Value::text(nr + kodWew), false)) {
    for (; !czas.eof() && textOf(czas, "nr_prac") == nr && textOf(czas, "kod_wew") == kodWew; czas.skip(1)) {
      records.push_back(czas.recno());
      if (!lockRecordOf(czas, czas.recno())) allLocked = false;
    }
  }
  if (allLocked) {
    for (uint32_t r : records) {
      czas.goTo(r);
      czas.deleteRecord();
    }
    czas.commit();
  } else {
    addToRunVar("bylybledy", 1);
  }
  // Only its own locks go: the caller may hold the locks of the days it is about to write.
  for (uint32_t r : records) czas.unlockRecord(r);
  return !allLocked;
}

namespace {

// Locks every day record of the employee from the current benefit's `od` to its `do`, so that
// the benefit is rewritten whole or not at all; false (nothing left locked of them) when one is
// held elsewhere.
bool lockBenefitDays() {
  rt::db::WorkArea& nieobec = areaOf("nieobec");
  rt::db::WorkArea& czas = areaOf("czas_p");
  OrderKeeper keep(czas);
  czas.setOrder(1);
  std::string nr = textOf(nieobec, "nr_prac");
  rt::Value first = fieldOf(nieobec, "od"), last = fieldOf(nieobec, "do");
  int32_t from = first.isDate() ? first.date() : 0, to = last.isDate() ? last.date() : 0;
  if (from == 0) return true;
  std::vector<uint32_t> locked;
  bool all = true;
  if (czas.seek(rt::Value::text(nr + rt::dtos(from)), true)) {
    std::string end = rt::dtos(to);
    for (; all && !czas.eof() && textOf(czas, "nr_prac") == nr && dtosOf(czas, "data") <= end; czas.skip(1)) {
      if (lockRecordOf(czas, czas.recno())) locked.push_back(czas.recno());
      else all = false;
    }
  }
  if (!all)
    for (uint32_t r : locked) czas.unlockRecord(r);
  return all;
}

}  // namespace

bool A_KASOWANE() {
  rt::db::WorkArea& nieobec = areaOf("nieobec");
  rt::db::WorkArea& czas = areaOf("czas_p");
  PositionKeeper keep({&nieobec, &czas});
  std::string nr = textOf(areaOf("main"), "nr_prac");
  std::string from = periodStart(), to = periodEnd();
  nieobec.setOrder(4);
  czas.setOrder(1);
  // Every numbered benefit with a day in the period, in date order, once each.
  std::vector<std::string> numbers;
  czas.seek(rt::Value::text(nr + from), true);
  for (; !czas.eof() && textOf(czas, "nr_prac") == nr && monthOf(czas, "data") <= to; czas.skip(1)) {
    std::string kodWew = textOf(czas, "kod_wew");
    if (blank(kodWew) || isOwnNumber(kodWew)) continue;
    if (std::find(numbers.begin(), numbers.end(), kodWew) == numbers.end()) numbers.push_back(kodWew);
  }
  bool removed = false;
  for (const std::string& kodWew : numbers) {
    if (nieobec.seek(rt::Value::text(nr + kodWew), false)) continue;
    if (!KAS_Z_CZAS(kodWew)) {
      addToRunVar("razem_kas", 1);
      removed = true;
    }
  }
  return removed;
}

std::string NEW_KOD_WEW() {
  rt::db::WorkArea& nieobec = areaOf("nieobec");
  rt::db::WorkArea& czas = areaOf("czas_p");
  PositionKeeper keep({&nieobec, &czas});
  std::string nr = textOf(nieobec, "nr_prac");
  size_t width = textOf(nieobec, "kod_wew").size();
  // The highest number the employee has anywhere: in the register, also on deleted records whose
  // day records may still wait for removal, and on the day records themselves.
  long highest = 0;
  {
    DeletedHidden shown(false);
    nieobec.setOrder(4);
    czas.setOrder(3);
    for (rt::db::WorkArea* area : {&nieobec, &czas}) {
      area->seek(rt::Value::text(nr), true);
      for (; !area->eof() && textOf(*area, "nr_prac") == nr; area->skip(1))
        highest = std::max(highest, numberValue(textOf(*area, "kod_wew")));
    }
  }
  char buf[32];
  std::snprintf(buf, sizeof buf, "%*ld", int(width), highest + 1);
  return buf;
}

bool WPISZ_1ZAS() {
  rt::db::WorkArea& nieobec = areaOf("nieobec");
  rt::db::WorkArea& czas = areaOf("czas_p");
  rt::db::WorkArea& main = areaOf("main");
  OrderKeeper keep(czas);
  selectAreaNumber(czas.number());
  czas.setOrder(1);
  std::string nr = textOf(nieobec, "nr_prac");
  rt::Value kind = fieldOf(nieobec, "zasilek"), kodWew = fieldOf(nieobec, "kod_wew");
  rt::Value first = fieldOf(nieobec, "od"), last = fieldOf(nieobec, "do");
  int32_t from = first.isDate() ? first.date() : 0, to = last.isDate() ? last.date() : 0;
  int holidays = 0;
  bool whole = true;
  for (int32_t day = from; from != 0 && day <= to; ++day) {
    std::string dayKey = rt::dtos(day);
    // The caller holds the locks of the benefit's days; a day whose record still cannot be
    // locked, or whose new record cannot be appended, stops the benefit there, and the days
    // after it stay as they are.
    std::vector<uint32_t> records;
    if (czas.seek(rt::Value::text(nr + dayKey), false))
      for (; !czas.eof() && textOf(czas, "nr_prac") == nr && dtosOf(czas, "data") == dayKey; czas.skip(1))
        records.push_back(czas.recno());
    bool locked = std::all_of(records.begin(), records.end(), [&](uint32_t r) { return lockRecordOf(czas, r); });
    if (!locked) {
      whole = false;
      break;
    }
    // The new record first: a day whose record cannot be appended keeps its old ones. It is
    // written whole with its append, so that a kill leaves no blank day record.
    if (!callByName("_APPE_BLAN", {fieldPairs({{"nr_prac", rt::Value::text(nr)},
                                                {"data", rt::Value::date(day)},
                                                {"kod", kind},
                                                {"kod_wew", kodWew},
                                                {"godz_roz", rt::Value::integer(0)},
                                                {"min_roz", rt::Value::integer(0)},
                                                {"godz_zak", rt::Value::integer(0)},
                                                {"min_zak", rt::Value::integer(0)}})})
             .logicalOr(false)) {
      whole = false;
      break;
    }
    // Appending releases the table's other locks (as DBAPPEND does): the day's old records are
    // locked again before they go; one taken by another workstation in between stops the
    // benefit here.
    bool relocked = true;
    for (uint32_t r : records) {
      if (!lockRecordOf(czas, r)) {
        relocked = false;
        continue;
      }
      czas.goTo(r);
      if (isHolidayCode(textOf(czas, "kod"))) ++holidays;
      czas.deleteRecord();
    }
    if (!relocked) {
      whole = false;
      break;
    }
  }
  czas.commit();
  czas.unlockAll();
  if (!whole) addToRunVar("bylybledy", 1);
  if (holidays > 0) holidayMessage(main, holidays);
  return whole;
}

void KADRUJ_FACETA() {
  rt::db::WorkArea& main = areaOf("main");
  rt::db::WorkArea& nieobec = areaOf("nieobec");
  rt::db::WorkArea& czas = areaOf("czas_p");
  int selected = selectedArea();
  std::string nr = textOf(main, "nr_prac");
  std::string from = periodStart(), to = periodEnd();
  showEmployeeName(main);
  bool removedAny = A_KASOWANE();
  czas.setOrder(3);
  nieobec.setOrder(3);
  nieobec.seek(rt::Value::text(nr + from), true);
  if (nieobec.eof() || textOf(nieobec, "nr_prac") != nr || monthOf(nieobec, "dat_wyp") > to) {
    if (removedAny) addToRunVar("razem_prac", 1);
    selectAreaNumber(selected);
    return;
  }
  selectAreaNumber(main.number());
  if (!callByName("_REC_LOCK").logicalOr(false)) {
    addToRunVar("razem_lock", 1);
    selectAreaNumber(selected);
    return;
  }
  addToRunVar("razem_prac", 1);
  bool wroteAny = false;
  selectAreaNumber(nieobec.number());
  for (; !nieobec.eof() && textOf(nieobec, "nr_prac") == nr && monthOf(nieobec, "dat_wyp") <= to; nieobec.skip(1)) {
    std::string kodWew = textOf(nieobec, "kod_wew");
    if (fieldOf(nieobec, "l_dni").numOr(0) == 0 || !kindIs(KindFamily::OBLI, textOf(nieobec, "zasilek")) ||
        fieldOf(nieobec, "czy_korekt").logicalOr(false) || fieldOf(nieobec, "o_zlicz").logicalOr(false)) {
      // A benefit that stopped counting since it was sent loses its day records, as a vanished
      // one does: all of them or none.
      if (!blank(kodWew) && !isOwnNumber(kodWew) && hasDayRecords(czas, nr, kodWew)) {
        selectAreaNumber(nieobec.number());
        if (!callByName("_REC_LOCK").logicalOr(false)) addToRunVar("bylybledy", 1);
        else if (!KAS_Z_CZAS(kodWew)) addToRunVar("razem_kas", 1);
      }
      continue;
    }
    selectAreaNumber(nieobec.number());
    if (!callByName("_REC_LOCK").logicalOr(false)) {
      addToRunVar("bylybledy", 1);
      continue;
    }
    selectAreaNumber(czas.number());
    bool blocked = false;
    if (!blank(kodWew)) {
      // Every day record of the new dates is locked before anything is deleted or written.
      if (!lockBenefitDays()) {
        addToRunVar("bylybledy", 1);
        blocked = true;
      } else {
        blocked = KAS_Z_CZAS(kodWew);
      }
    } else if (callByName("_FILE_LOCK").logicalOr(false)) {
      // The number reaches the register before the file lock goes, so that no other workstation
      // can give it again.
      putField(nieobec, "kod_wew", rt::Value::text(NEW_KOD_WEW()));
      nieobec.commit();
      czas.unlockAll();
      if (!lockBenefitDays()) {
        addToRunVar("bylybledy", 1);
        blocked = true;
      }
    } else {
      addToRunVar("bylybledy", 1);
      blocked = true;
    }
    if (!blocked && WPISZ_1ZAS()) {
      addToRunVar("razem_zas", 1);
      wroteAny = true;
    }
    czas.unlockAll();
    selectAreaNumber(nieobec.number());
  }
  if (!wroteAny) addToRunVar("razem_prac", -1);
  nieobec.unlockAll();
  selectAreaNumber(selected);
}

}  // namespace zus
