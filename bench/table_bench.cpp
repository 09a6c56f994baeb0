// The table-engine workload: one million records with memos, three tags in the structural index,
// seeks, an ordered walk, appends with the tags open and locked updates in shared use. Prints
// each phase's time and the process's peak memory, and checks the workload's expected results.
//
// Usage: table_bench [directory]   (default /tmp/table_bench; the files are left there)
#include <sys/resource.h>

#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "runtime/core/context.h"
#include "runtime/core/std_dates.h"
#include "runtime/core/value.h"
#include "runtime/db/cdx_keys.h"
#include "runtime/db/dbf_table.h"
#include "runtime/db/work_areas.h"

using namespace rt;
using namespace rt::db;

namespace {

// MINSTD with multiplier 48271: advance, then reduce.
struct Minstd {
  uint64_t s;
  explicit Minstd(uint64_t seed) : s(seed) {}
  uint64_t draw(uint64_t n) {
    s = s * 48271 % 2147483647;
    return s % n;
  }
};

struct Record {
  std::string nr;
  int32_t od, do_;
  double kw;
  std::string nazw, uw;
};

std::string pool;

Record makeRecord(uint32_t n, Minstd& r) {
  static const int32_t base = makeDate(2020, 1, 1);
  Record rec;
  char buf[16];
  std::snprintf(buf, sizeof buf, "%5u", n % 20000);
  rec.nr = buf;
  rec.od = base + int32_t(r.draw(2557));
  rec.do_ = rec.od + int32_t(r.draw(31));
  rec.kw = double(int64_t(r.draw(5500001)) - 500000) / 100.0;
  uint64_t a = r.draw(4082), b = r.draw(4082);
  rec.nazw = pool.substr(a, 15) + pool.substr(b, 15);
  if (n % 100 == 0) rec.uw = pool.substr(r.draw(3897), 200);
  return rec;
}

double nowMs() {
  return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now().time_since_epoch()).count();
}

long maxRssMb() {
  rusage u{};
  getrusage(RUSAGE_SELF, &u);
  return u.ru_maxrss / 1024;
}

int failures = 0;
void check(bool ok, const std::string& what) {
  if (!ok) {
    std::printf("CHECK FAILED: %s\n", what.c_str());
    ++failures;
  }
}

void report(const char* phase, double ms, const std::string& extra = {}) {
  std::printf("%-4s %9.1f ms   max RSS %5ld MB   %s\n", phase, ms, maxRssMb(), extra.c_str());
  std::fflush(stdout);
}

void appendRecords(WorkArea& w, uint32_t first, uint32_t last, Minstd& r) {
  for (uint32_t n = first; n <= last; ++n) {
    Record rec = makeRecord(n, r);
    w.append();
    w.put(0, Value::text(std::move(rec.nr)));
    w.put(1, Value::date(rec.od));
    w.put(2, Value::date(rec.do_));
    w.put(3, Value::number(rec.kw, 2));
    w.put(4, Value::text(std::move(rec.nazw)));
    if (!rec.uw.empty()) w.put(5, Value::text(std::move(rec.uw)));
  }
}

}  // namespace

int main(int argc, char** argv) {
  // An option given by habit (--help) would otherwise become a directory of 130 MB.
  if (argc > 2 || (argc == 2 && argv[1][0] == '-')) {
    std::fprintf(stderr, "usage: table_bench [directory]\n");
    return 2;
  }
  std::string dir = argc > 1 ? argv[1] : "/tmp/table_bench";
  std::filesystem::create_directories(dir);
  const std::string path = dir + "/bench.dbf";
  for (const char* ext : {".dbf", ".fpt", ".cdx"}) std::filesystem::remove(dir + "/bench" + ext);
  context().settings.deleted = true;
  WorkAreas& areas = workAreas();

  Minstd gen(12345);
  for (int i = 0; i < 4096; ++i) pool += char(65 + gen.draw(26));
  check(pool.rfind("DFDVKUAGUBIXIXCMJSSJDEAGGKVZFEEM", 0) == 0, "pool starts as expected");

  // Keys of TAG1 for the seeks of W3 (outside every timer).
  std::vector<std::string> tag1Keys;
  {
    Minstd r = gen;
    tag1Keys.reserve(1000001);
    tag1Keys.emplace_back();
    for (uint32_t n = 1; n <= 1000000; ++n) {
      Record rec = makeRecord(n, r);
      tag1Keys.push_back(rec.nr + dtos(rec.do_));
    }
  }

  // W1: create, open exclusive, append 1,000,000 records, close.
  double t0 = nowMs();
  DbfTable::create(path, {{"NR_PRAC", 'C', 5, 0}, {"OD", 'D', 8, 0}, {"DO", 'D', 8, 0}, {"KW", 'N', 12, 2},
                          {"NAZW", 'C', 30, 0}, {"UW", 'M', 10, 0}});
  {
    WorkArea& w = areas.use(path, {});
    appendRecords(w, 1, 1000000, gen);
    areas.closeAll();
  }
  report("W1", nowMs() - t0);

  // Spot checks (outside the timers).
  {
    WorkArea& w = areas.use(path, {});
    auto spot = [&](uint32_t n, const char* nr, int y, int m, int d, double kw, const char* nazw, const char* memo) {
      w.goTo(n);
      std::string label = "record " + std::to_string(n);
      check(w.get(0).str() == nr, label + " NR_PRAC");
      check(w.get(1).date() == makeDate(y, m, d), label + " OD");
      check(std::fabs(w.get(3).num() - kw) < 0.001, label + " KW");
      check(w.get(4).str() == nazw, label + " NAZW");
      check(w.get(5).str().rfind(memo, 0) == 0, label + " UW");
    };
    spot(1, "    1", 2025, 4, 18, 1737.50, "TOQKOTUJMVQQZHEYWPIPWPLGGGBJPK", "");
    spot(2, "    2", 2021, 4, 3, 16452.60, "CLISOLEAXSQASLAMXQFZTEWBYXXFDN", "");
    spot(100, "  100", 2020, 6, 22, -1842.88, "NPWBMQVUSGQYGWMLNDKZHKZQKCNLOB", "FXDMNHEQKBXZSFDJYINR");
    spot(1000000, "    0", 2024, 3, 14, 31718.54, "HISRZAIOTVDOSKSDELZXCTSKRHJOLH", "UVCJDUQMWTXNCTNUWJLW");
    areas.closeAll();
  }

  // W2: three tags in the structural index.
  t0 = nowMs();
  {
    WorkArea& w = areas.use(path, {});
    double t = nowMs();
    w.createTag("", "TAG1", "NR_PRAC+DTOS(DO)");
    double t1 = nowMs() - t;
    t = nowMs();
    w.createTag("", "TAG2", "KW");
    double t2 = nowMs() - t;
    t = nowMs();
    w.createTag("", "TAG3", "NAZW");
    double t3 = nowMs() - t;
    areas.closeAll();
    char buf[96];
    std::snprintf(buf, sizeof buf, "(TAG1 %.0f / TAG2 %.0f / TAG3 %.0f ms)", t1, t2, t3);
    report("W2", nowMs() - t0, buf);
  }

  // W3: 200,000 seeks of whole TAG1 keys.
  t0 = nowMs();
  WorkArea* w = &areas.use(path, {});
  w->setOrder(w->orderByName("TAG1"));
  uint64_t foundCount = 0;
  {
    Minstd r(23456);
    for (int i = 0; i < 200000; ++i)
      if (w->seek(Value::text(tag1Keys[1 + r.draw(1000000)]), false)) ++foundCount;
  }
  report("W3", nowMs() - t0, "found " + std::to_string(foundCount));
  check(foundCount == 200000, "W3 finds 200,000");

  // W4: walk TAG1 from top to end, summing KW.
  t0 = nowMs();
  uint64_t count = 0;
  int64_t sumCents = 0;
  for (w->goTop(); !w->eof(); w->skip(1)) {
    ++count;
    sumCents += std::llround(w->get(3).num() * 100);
  }
  char sumText[64];
  std::snprintf(sumText, sizeof sumText, "%lld.%02lld", (long long)(sumCents / 100), (long long)(sumCents % 100));
  report("W4", nowMs() - t0, "count " + std::to_string(count) + ", sum KW " + sumText);
  check(count == 1000000, "W4 counts 1,000,000");
  check(std::string(sumText) == "22489851116.47", "W4 sum KW");

  // W5: natural order, three tags open, append 100,000 records, close.
  t0 = nowMs();
  w->setOrder(0);
  {
    Minstd r(34567);
    appendRecords(*w, 1000001, 1100000, r);
  }
  areas.closeAll();
  report("W5", nowMs() - t0);

  // W6: shared, 50,000 locked updates of KW.
  t0 = nowMs();
  {
    UseOptions shared;
    shared.shared = true;
    WorkArea& s = areas.use(path, shared);
    Minstd r(45678);
    uint32_t refused = 0;
    for (int i = 0; i < 50000; ++i) {
      s.goTo(uint32_t(1 + r.draw(1100000)));
      if (!s.lockCurrent()) {
        ++refused;
        continue;
      }
      s.put(3, Value::number(double(int64_t(r.draw(5500001)) - 500000) / 100.0, 2));
      s.unlockAll();
    }
    areas.closeAll();
    check(refused == 0, "W6 every lock granted");
  }
  report("W6", nowMs() - t0);

  // Final checks.
  {
    WorkArea& c = areas.use(path, {});
    check(c.table().recCount() == 1100000, "1,100,000 records");
    for (const char* tag : {"TAG1", "TAG2", "TAG3"}) {
      c.setOrder(c.orderByName(tag));
      check(c.keyCount() == 1100000, std::string(tag) + " holds 1,100,000 keys");
    }
    c.setOrder(c.orderByName("TAG2"));
    c.goTop();
    check(c.recno() == 662863 && std::fabs(c.get(3).num() + 4999.99) < 0.001, "TAG2 first -4999.99 (662863)");
    c.goBottom();
    check(c.recno() == 954284 && std::fabs(c.get(3).num() - 49999.97) < 0.001, "TAG2 last 49999.97 (954284)");
    c.setOrder(c.orderByName("TAG1"));
    c.goTop();
    check(c.recno() == 740000 && c.currentKey(c.order()) == "    020200208", "TAG1 first key (740000)");
    c.goBottom();
    check(c.recno() == 859999 && c.currentKey(c.order()) == "1999920270123", "TAG1 last key (859999)");
    areas.closeAll();
  }
  std::printf(failures ? "%d checks failed\n" : "all checks passed\n", failures);
  return failures ? 1 : 0;
}
