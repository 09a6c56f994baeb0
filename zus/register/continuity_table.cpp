// Reading the employee's register records (see continuity_table.h).
#include "zus/register/continuity_table.h"

#include "runtime/core/context.h"
#include "runtime/db/work_areas.h"

namespace zus {
namespace {

constexpr int kEndDateOrder = 1;

rt::db::WorkArea* registerArea() { return rt::db::workAreas().byAlias("nieobec"); }

int browseOrder() {
  const rt::Value* v = rt::context().memvars.tryGet("ord_baz");
  return v && v->isNum() ? int(v->num()) : 5;
}

// Puts the order, the scopes and the record back as they were.
class PositionGuard {
 public:
  explicit PositionGuard(rt::db::WorkArea& area)
      : area_(area),
        order_(area.order()),
        top_(area.scope(0)),
        bottom_(area.scope(1)),
        recno_(area.recno()),
        atEnd_(area.eof()) {}
  ~PositionGuard() {
    try {
      restoreView();
      if (atEnd_) {
        area_.goBottom();
        area_.skip(1);
      } else {
        area_.goTo(recno_);
      }
    } catch (...) {  // a destructor never throws; the view is as good as the table lets it be
    }
  }
  void restoreView() {
    area_.setOrder(order_);
    area_.setScope(0, top_);
    area_.setScope(1, bottom_);
  }
  uint32_t recno() const { return atEnd_ ? 0 : recno_; }
  PositionGuard(const PositionGuard&) = delete;
  PositionGuard& operator=(const PositionGuard&) = delete;

 private:
  rt::db::WorkArea& area_;
  int order_;
  rt::Value top_, bottom_;
  uint32_t recno_;
  bool atEnd_;
};

class RecordReader {
 public:
  explicit RecordReader(rt::db::WorkArea& area) : area_(area) {}
  RegisterRecord read() {
    RegisterRecord r;
    r.recno = area_.recno();
    r.nr_prac = text("nr_prac");
    r.zasilek = text("zasilek");
    r.od = date("od");
    r.do_ = date("do");
    r.te_mies = text("te_mies");
    r.fakt_mies = text("fakt_mies");
    r.mies_dop = text("mies_dop");
    r.od_dat = date("od_dat");
    r.suma = number("suma");
    r.druk_podst = number("druk_podst");
    return r;
  }
  // The visible records from the top of the current order and scope.
  std::vector<RegisterRecord> all() {
    std::vector<RegisterRecord> records;
    for (area_.goTop(); !area_.eof(); area_.skip(1))
      if (!area_.deleted()) records.push_back(read());
    return records;
  }

 private:
  rt::Value field(const char* name) {
    int i = area_.fieldIndex(name);
    return i < 0 ? rt::Value() : area_.get(size_t(i));
  }
  std::string text(const char* name) { return field(name).strOr(""); }
  int32_t date(const char* name) {
    rt::Value v = field(name);
    return v.isDate() ? v.date() : 0;
  }
  double number(const char* name) { return field(name).numOr(0); }
  rt::db::WorkArea& area_;
};

std::vector<RegisterRecord> employeeRecords(rt::db::WorkArea& area, int order,
                                            const std::string& employee) {
  area.setOrder(order);
  area.setScope(0, rt::Value::text(employee));
  area.setScope(1, rt::Value::text(employee));
  return RecordReader(area).all();
}

std::optional<size_t> positionOf(const std::vector<RegisterRecord>& records, uint32_t recno) {
  if (recno == 0) return std::nullopt;
  for (size_t i = 0; i < records.size(); ++i)
    if (records[i].recno == recno) return i;
  return std::nullopt;
}

}  // namespace

ContinuityRecords readContinuityRecords(const std::string& employee) {
  ContinuityRecords records;
  rt::db::WorkArea* area = registerArea();
  if (!area) return records;
  PositionGuard guard(*area);
  records.scoped = RecordReader(*area).all();
  records.employee = employeeRecords(*area, browseOrder(), employee);
  records.entry = positionOf(records.employee, guard.recno());
  return records;
}

std::vector<RegisterRecord> readRecordsByEndDate(const std::string& employee,
                                                 std::optional<size_t>& current) {
  current.reset();
  rt::db::WorkArea* area = registerArea();
  if (!area) return {};
  PositionGuard guard(*area);
  std::vector<RegisterRecord> records = employeeRecords(*area, kEndDateOrder, employee);
  current = positionOf(records, guard.recno());
  return records;
}

bool continuityInRegister(RuleContext& c, RuleEnv& env, int32_t start, bool isNew,
                          int32_t& previousEnd) {
  std::string employee = c.reg.nr_pracusia.empty() ? c.employee.nr_prac : c.reg.nr_pracusia;
  return checkContinuity(c, env, readContinuityRecords(employee), start, isNew, previousEnd);
}

int chainDaysInRegister(const RuleProgram& program, bool isNew, const std::string& employee,
                        const std::string& kind, int32_t start) {
  std::optional<size_t> current;
  std::vector<RegisterRecord> records = readRecordsByEndDate(employee, current);
  return chainDaysBefore(program, records, current, isNew, kind, start);
}

bool currentRecordKindIs(const std::string& kind) {
  rt::db::WorkArea* area = registerArea();
  if (!area || area->eof()) return false;
  return RecordReader(*area).read().zasilek == kind;
}

}  // namespace zus
