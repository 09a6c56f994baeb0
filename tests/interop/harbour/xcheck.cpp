// Cross-check of shared use with another xBase engine (run by run.sh, not by CI): creates the
// shared table, writes it with our work area in shared mode as the other engine's writer does,
// and checks it afterwards. Half of a writer's changes on a table with tags find the record again
// through the ID tag first.
//
//   xcheck create TABLE RECORDS TAGS(0|1)
//   xcheck write  TABLE PREFIX OPS SEED      prints "updates U appends A errors E"
//   xcheck check  TABLE UPDATES PREFIX=COUNT...
//   xcheck keys   TABLE CENTURY(ON|OFF)      a table of hvary.prg: opens under either date format,
//                                            every tag equal to a scan under the one it was made in
//
// The table: ID C8 (RR000001.. made here, then PREFIX + 6 digits per writer's append), KEY C10,
// VER N8 (1 when made, +1 on each locked change) and NOTE M, whose text begins "ID=<id> VER=<ver> ".
// With tags: ID on ID, KEY on KEY+ID, VER on VER and EVEN on KEY for the even versions.
#include <chrono>
#include <cstdio>
#include <exception>
#include <map>
#include <random>
#include <set>
#include <stdexcept>
#include <string>
#include <thread>

#include "runtime/core/context.h"
#include "runtime/core/std_functions.h"
#include "runtime/db/work_areas.h"
#include "tests/runtime/db/helpers/index_check.h"
#include "tests/runtime/db/helpers/shared_use.h"

using namespace rt;
using namespace rt::db;

namespace {

enum Field { kId = 0, kKey = 1, kVer = 2, kNote = 3 };

std::string randomKey(std::mt19937& rng) {
  std::string k(1 + rng() % 10, ' ');
  for (char& c : k) c = char('A' + rng() % 26);
  return k;
}

std::string memoText(const std::string& id, long ver, std::mt19937& rng) {
  std::string s = "ID=" + id + " VER=" + std::to_string(ver) + " ";
  s.append(rng() % 300, char('a' + rng() % 26));
  return s;
}

int create(const std::string& path, int records, bool tags) {
  DbfTable::create(path, {{"ID", 'C', 8, 0}, {"KEY", 'C', 10, 0}, {"VER", 'N', 8, 0}, {"NOTE", 'M', 10, 0}});
  WorkArea& w = workAreas().use(path, {});
  std::mt19937 rng(7);
  for (int i = 1; i <= records; ++i) {
    w.append();
    char id[16];
    std::snprintf(id, sizeof id, "RR%06d", i % 1000000);
    w.put(kId, Value::text(id));
    w.put(kKey, Value::text(randomKey(rng)));
    w.put(kVer, Value::number(1));
    w.put(kNote, Value::text(memoText(id, 1, rng)));
  }
  if (tags) {
    w.createTag("", "ID", "ID");
    w.createTag("", "KEY", "KEY+ID");
    w.createTag("", "VER", "VER");
    CreateTagOptions even;
    even.forText = "VER%2=0";
    w.createTag("", "EVEN", "KEY", even);
  }
  workAreas().closeAll();
  return 0;
}

int write(const std::string& path, const std::string& prefix, int ops, unsigned seed) {
  WorkArea& w = workAreas().use(path, rt::db::testing::sharedUse());
  std::mt19937 rng(seed);
  long updates = 0, appends = 0, errors = 0;
  for (int i = 0; i < ops; ++i) {
    try {
      if (rng() % 5 == 0) {
        if (!w.append()) {
          ++errors;
          std::fprintf(stderr, "append refused\n");
          continue;
        }
        char seq[16];
        std::snprintf(seq, sizeof seq, "%06ld", (appends + 1) % 1000000);
        const std::string id = prefix.substr(0, 2) + seq;
        w.put(kId, Value::text(id));
        w.put(kKey, Value::text(randomKey(rng)));
        w.put(kVer, Value::number(1));
        w.put(kNote, Value::text(memoText(id, 1, rng)));
        w.commit();
        w.unlockAll();
        ++appends;
      } else {
        w.table().refresh();
        uint32_t n = w.table().recCount();
        const uint32_t r = uint32_t(rng() % n + 1);
        w.goTo(r);
        while (!w.lockCurrent()) std::this_thread::sleep_for(std::chrono::microseconds(200));
        if (w.orderCount() > 0 && rng() % 2 == 0) {
          // Half of the records are found again through the ID tag: index reads among the writes.
          // Only under the record's lock: its last writer has put its keys in by then.
          const Value id = w.get(kId);
          w.setOrder(w.orderByName("ID"));
          const bool found = w.seek(id, false);
          w.setOrder(0);
          if (!found || w.recno() != r)
            throw std::runtime_error("seek of " + id.str() + " (record " + std::to_string(r) + ") gives " +
                                     (found ? "record " + std::to_string(w.recno()) : std::string("nothing")));
        }
        long ver = long(w.get(kVer).num()) + 1;
        std::string id = w.get(kId).str();
        w.put(kKey, Value::text(randomKey(rng)));
        w.put(kVer, Value::number(double(ver)));
        w.put(kNote, Value::text(memoText(id, ver, rng)));
        w.commit();
        w.unlockAll();
        ++updates;
      }
    } catch (const std::exception& e) {
      ++errors;
      std::fprintf(stderr, "op %d: %s\n", i, e.what());
      try {
        w.discardChanges();
        w.unlockAll();
      } catch (...) {
      }
    }
  }
  workAreas().closeAll();
  std::printf("updates %ld appends %ld errors %ld\n", updates, appends, errors);
  return errors ? 1 : 0;
}

int check(const std::string& path, long updates, const std::map<std::string, long>& appended) {
  int failures = 0;
  auto fail = [&](const std::string& what) {
    if (++failures <= 20) std::printf("FAIL %s\n", what.c_str());
  };
  WorkArea& w = workAreas().use(path, {});
  // Without indexes the mark of a write in progress stops nothing; with them it must be ours.
  if (w.indexesStale()) fail("the indexes are refused: the table carries the mark of an interrupted write");
  else if (w.table().interruptedWrite()) std::printf("note: a mark of a write in progress that is not ours (no witness in the index), ignored\n");
  std::map<std::string, std::set<long>> seen;
  long expected = 0, verSum = 0;
  for (auto& [p, n] : appended) expected += n;
  for (uint32_t r = 1; r <= w.table().recCount(); ++r) {
    w.goTo(r);
    const std::string id = w.get(kId).str();
    const long ver = long(w.get(kVer).num());
    verSum += ver;
    const std::string head = "ID=" + id + " VER=" + std::to_string(ver) + " ";
    const std::string note = w.get(kNote).str();
    if (note.compare(0, head.size(), head) != 0)
      fail("record " + std::to_string(r) + " (" + id + " v" + std::to_string(ver) + ") has memo \"" +
           note.substr(0, 30) + "\"");
    const std::string digits = id.size() == 8 ? id.substr(2) : "";
    if (digits.empty() || digits.find_first_not_of("0123456789") != std::string::npos)
      fail("record " + std::to_string(r) + " has id \"" + id + "\"");
    else if (!seen[id.substr(0, 2)].insert(std::stol(digits)).second)
      fail("id " + id + " twice");
  }
  const long records = long(w.table().recCount());
  for (auto& [p, n] : appended) {
    const auto& s = seen[p];
    if (long(s.size()) != n || (n && (*s.begin() != 1 || *s.rbegin() != n)))
      fail("prefix " + p + ": " + std::to_string(s.size()) + " records, expected 1.." + std::to_string(n));
  }
  if (records != expected) fail("record count " + std::to_string(records) + ", expected " + std::to_string(expected));
  // Every record starts at version 1 and every locked change adds one.
  if (verSum != records + updates)
    fail("sum of versions " + std::to_string(verSum) + ", expected " + std::to_string(records + updates));
  if (!w.indexesStale()) {
    try {
      const std::string tags = rt::db::testing::compareOrdersWithScan(w);
      if (!tags.empty()) fail(tags);
    } catch (const std::exception& e) {
      fail(std::string("walking the tags: ") + e.what());
    }
  }
  std::printf("ours: %ld records, %d tags, %d failures\n", records, w.orderCount(), failures);
  workAreas().closeAll();
  return failures ? 1 : 0;
}

// The tags of hvary.prg: keys of varying length (TRIM, ALLTRIM, DTOC and their compounds), which another
// date format makes of another length again.
int checkVaryingKeys(const std::string& path, bool century) {
  const std::string made = century ? "dd.mm.yyyy" : "dd.mm.yy", other = century ? "dd.mm.yy" : "dd.mm.yyyy";
  int failures = 0;
  for (const std::string& format : {other, made}) {
    context().settings.dateFormat = format;
    try {
      WorkArea& w = workAreas().use(path, {});
      if (w.orderCount() != 4) {
        ++failures;
        std::printf("FAIL opened under %s with %d tags\n", format.c_str(), w.orderCount());
      }
      if (format == made) {
        const std::string tags = rt::db::testing::compareOrdersWithScan(w);
        if (!tags.empty()) {
          ++failures;
          std::printf("FAIL %s\n", tags.c_str());
        }
      }
    } catch (const std::exception& e) {
      ++failures;
      std::printf("FAIL opening under %s: %s\n", format.c_str(), e.what());
    }
    workAreas().closeAll();
  }
  std::printf("ours: varying keys made with century %s, %d failures\n", century ? "on" : "off", failures);
  return failures ? 1 : 0;
}

}  // namespace

int main(int argc, char** argv) {
  registerStandardFunctions();
  context().settings.deleted = false;
  const std::string mode = argc > 2 ? argv[1] : "";
  try {
    if (mode == "create" && argc == 5) return create(argv[2], std::stoi(argv[3]), std::stoi(argv[4]) != 0);
    if (mode == "write" && argc == 6) return write(argv[2], argv[3], std::stoi(argv[4]), unsigned(std::stoul(argv[5])));
    if (mode == "keys" && argc == 4) return checkVaryingKeys(argv[2], std::string(argv[3]) == "ON");
    if (mode == "check" && argc >= 4) {
      std::map<std::string, long> appended;
      for (int i = 4; i < argc; ++i) {
        std::string a = argv[i];
        auto eq = a.find('=');
        appended[a.substr(0, eq)] = std::stol(a.substr(eq + 1));
      }
      return check(argv[2], std::stol(argv[3]), appended);
    }
  } catch (const std::exception& e) {
    std::printf("FAIL %s: %s\n", mode.c_str(), e.what());
    return 2;
  }
  std::fprintf(stderr, "usage: xcheck create|write|check ...\n");
  return 64;
}
