// Shared use by several processes: record locks refused across processes, concurrent locked
// updates and concurrent appends that lose nothing and leave every tag equal to its table, a
// write that keeps another handle's append counted, a reader meeting appended records through the
// indexes, and writers killed at random points whose finished writes survive while an
// interrupted index write is detected.
#include <gtest/gtest.h>

#include <chrono>
#include <map>
#include <random>
#include <thread>

#include "runtime/core/context.h"
#include "runtime/core/error.h"
#include "runtime/core/std_functions.h"
#include "runtime/db/work_areas.h"
#include "tests/runtime/db/helpers/child_process.h"
#include "tests/runtime/db/helpers/index_check.h"
#include "tests/runtime/db/helpers/shared_use.h"
#include "tests/runtime/db/helpers/temp_dir.h"

namespace rt::db {
namespace {

using testing::Child;
using testing::compareOrdersWithScan;
using testing::readLineFrom;
using testing::sendLine;
using testing::sharedUse;
using testing::TempDir;

class SharedUseTest : public ::testing::Test {
 protected:
  void SetUp() override {
    registerStandardFunctions();
    context().settings.deleted = true;
    path_ = dir_.file("licz.dbf");
  }
  void TearDown() override { workAreas().closeAll(); }

  // A table of `records` counters with a memo, tags on the number and on the counter, and a FOR
  // tag on the even counters.
  void makeTable(uint32_t records) {
    DbfTable::create(path_, {{"NR", 'C', 5, 0}, {"CNT", 'N', 10, 0}, {"TXT", 'C', 20, 0}, {"UW", 'M', 10, 0}});
    WorkArea& w = workAreas().use(path_, {});
    for (uint32_t i = 1; i <= records; ++i) {
      w.append();
      char nr[8];
      std::snprintf(nr, sizeof nr, "%5u", i);
      w.put(0, Value::text(nr));
      w.put(1, Value::number(0));
    }
    w.createTag("", "NR", "nr");
    w.createTag("", "CNT", "cnt");
    w.createTag("", "TXT", "txt+nr");
    CreateTagOptions even;
    even.forText = "cnt % 2 = 0";
    w.createTag("", "EVEN", "txt+str(cnt,10)", even);
    workAreas().closeAll();
  }

  TempDir dir_;
  std::string path_;
};

TEST_F(SharedUseTest, ARecordLockedByAnotherProcessIsRefusedAtOnceAndTheNextIsGranted) {
  makeTable(5);
  Child holder([&](int up, int down) {
    WorkArea& w = workAreas().use(path_, sharedUse());
    w.goTo(1);
    if (!w.lockCurrent()) return 1;
    sendLine(up, "locked");
    readLineFrom(down);  // hold until told
    workAreas().closeAll();
    return 0;
  });
  ASSERT_EQ(holder.readLine(), "locked");
  WorkArea& w = workAreas().use(path_, sharedUse());
  w.goTo(1);
  auto start = std::chrono::steady_clock::now();
  EXPECT_FALSE(w.lockCurrent());
  EXPECT_FALSE(w.lockFile());
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(1));  // never a hang
  w.skip(1);
  EXPECT_TRUE(w.lockCurrent());
  EXPECT_EQ(w.recno(), 2u);
  w.put(1, Value::number(5));
  w.unlockAll();
  holder.send("go");
  EXPECT_EQ(holder.wait(), 0);
  w.goTo(1);
  EXPECT_TRUE(w.lockCurrent());  // released with the holder's exit
}

TEST_F(SharedUseTest, TwoProcessesUpdatingUnderLocksLoseNoUpdate) {
  const uint32_t kRecords = 50;
  const int kUpdates = 5000;
  makeTable(kRecords);
  auto worker = [&](unsigned seed) {
    return [&, seed](int up, int) {
      WorkArea& w = workAreas().use(path_, sharedUse());
      w.setOrder(w.orderByName("NR"));
      std::mt19937 rng(seed);
      for (int i = 0; i < kUpdates; ++i) {
        char nr[8];
        std::snprintf(nr, sizeof nr, "%5u", unsigned(rng() % kRecords + 1));
        if (!w.seek(Value::text(nr), false)) return 4;
        while (!w.lockCurrent()) std::this_thread::yield();  // the caller's retries
        w.put(1, Value::number(w.get(1).num() + 1));
        w.put(2, Value::text("p" + std::to_string(seed) + "-" + std::to_string(i % 7)));
        w.unlockAll();
      }
      sendLine(up, "done");
      workAreas().closeAll();
      return 0;
    };
  };
  Child a(worker(1)), b(worker(2));
  EXPECT_EQ(a.wait(), 0);
  EXPECT_EQ(b.wait(), 0);
  WorkArea& w = workAreas().use(path_, {});
  double total = 0;
  for (uint32_t r = 1; r <= kRecords; ++r) {
    w.goTo(r);
    total += w.get(1).num();
  }
  EXPECT_EQ(total, 2.0 * kUpdates);
  EXPECT_EQ(compareOrdersWithScan(w), "");
}

TEST_F(SharedUseTest, TwoProcessesAppendingAtOnceKeepEveryRecordAndEveryTagWhole) {
  const int kAppends = 400;
  makeTable(10);
  auto appender = [&](char who) {
    return [&, who](int up, int) {
      WorkArea& w = workAreas().use(path_, sharedUse());
      w.setOrder(w.orderByName("NR"));
      for (int i = 1; i <= kAppends; ++i) {
        if (!w.append()) return 5;
        char nr[8];
        std::snprintf(nr, sizeof nr, "%c%04d", who, i);
        w.put(0, Value::text(nr));
        w.put(1, Value::number(i));
        w.put(2, Value::text(std::string(1, who)));
        w.unlockAll();
        if (!w.seek(Value::text(nr), false)) return 6;
      }
      sendLine(up, "done");
      workAreas().closeAll();
      return 0;
    };
  };
  Child a(appender('A')), b(appender('B'));
  EXPECT_EQ(a.wait(), 0);
  EXPECT_EQ(b.wait(), 0);
  WorkArea& w = workAreas().use(path_, {});
  EXPECT_EQ(w.table().recCount(), uint32_t(10 + 2 * kAppends));
  EXPECT_EQ(compareOrdersWithScan(w), "");
}

TEST_F(SharedUseTest, AWriteAfterAnotherHandlesAppendKeepsTheAppendedRecordCounted) {
  makeTable(5);
  UseOptions one = sharedUse(), two = sharedUse();
  one.alias = "ONE";
  two.alias = "TWO";
  WorkArea& a = workAreas().use(path_, one);
  WorkArea& b = workAreas().use(path_, two);
  ASSERT_TRUE(b.append());  // record 6, its fields written below
  b.put(0, Value::text("   b"));
  ASSERT_TRUE(a.append());  // record 7, appended meanwhile
  a.put(0, Value::text("   a"));
  a.unlockAll();
  b.unlockAll();  // b's write must not set the count back to 6
  workAreas().closeAll();
  WorkArea& w = workAreas().use(path_, {});
  EXPECT_EQ(w.table().recCount(), 7u);
  w.goTo(7);
  EXPECT_EQ(w.get(0).str(), "   a ");
  EXPECT_EQ(compareOrdersWithScan(w), "");
}

// Another workstation's browse walks and seeks the orders while one appends: every record it
// meets through an index is counted in the table, never reported as damage.
TEST_F(SharedUseTest, AReaderWalkingTheOrdersWhileAnotherProcessAppendsMeetsNoDamage) {
  makeTable(10);
  Child writer([&](int up, int) {
    WorkArea& w = workAreas().use(path_, sharedUse());
    for (int i = 1; i <= 3000; ++i) {
      if (!w.append()) return 5;
      char nr[8];
      std::snprintf(nr, sizeof nr, "%5d", i % 900 + 11);
      w.put(0, Value::text(nr));
      w.put(1, Value::number(i));
      w.put(2, Value::text(std::string(1 + i % 15, 'q')));
      w.unlockAll();
    }
    sendLine(up, "done");
    workAreas().closeAll();
    return 0;
  });
  WorkArea& r = workAreas().use(path_, sharedUse());
  int errors = 0, walks = 0;
  for (int k = 0; k < 4000 && errors == 0; ++k) {
    try {
      r.setOrder(1 + k % 3);
      r.goTop();
      for (int j = 0; j < 40 && !r.eof(); ++j) r.skip(1);
      char nr[8];
      std::snprintf(nr, sizeof nr, "%5d", k % 900 + 11);
      r.setOrder(1);
      r.seek(Value::text(nr), true);
      ++walks;
    } catch (const std::exception& e) {
      ++errors;
      ADD_FAILURE() << e.what();
    }
  }
  EXPECT_EQ(writer.wait(), 0);
  EXPECT_GT(walks, 0);
}

// A writer appends and updates records and their memos in shared use, telling the parent after
// each write returned; the parent kills it at a random moment, then opens the table shared as the
// programs do. Kills go on until some have caught the writer in the middle of an index write.
TEST_F(SharedUseTest, WritesThatReturnedSurviveAKillAndAnInterruptedIndexWriteIsDetected) {
  makeTable(20);
  std::mt19937 rng(20261210);
  int detected = 0, rounds = 0;
  for (; rounds < 60 && (rounds < 8 || detected < 2); ++rounds) {
    Child writer([&](int up, int) {
      WorkArea& w = workAreas().use(path_, sharedUse());
      for (int i = 1;; ++i) {
        if (i % 3 == 0) {
          uint32_t r = uint32_t(i % 20 + 1);
          w.goTo(r);
          while (!w.lockCurrent()) std::this_thread::yield();
          double v = w.get(1).num() + 1;
          w.put(1, Value::number(v));
          w.put(3, Value::text(w.get(0).str() + "/" + std::to_string(int64_t(v))));
          w.unlockAll();
          sendLine(up, "u " + std::to_string(r) + " " + std::to_string(int64_t(v)));
        } else {
          if (!w.append()) return 5;
          w.put(0, Value::text("a"));
          w.put(1, Value::number(i));
          w.put(2, Value::text("round"));
          w.put(3, Value::text("a    /" + std::to_string(i)));
          w.commit();
          sendLine(up, "a " + std::to_string(w.recno()) + " " + std::to_string(i));
        }
      }
    });
    std::this_thread::sleep_for(std::chrono::microseconds(2000 + rng() % 30000));
    writer.kill();
    // Everything the writer reported has returned from its write.
    std::map<uint32_t, int64_t> appended, updated;
    for (std::string line = writer.readLine(); !line.empty(); line = writer.readLine()) {
      char kind;
      unsigned r;
      long long v;
      if (std::sscanf(line.c_str(), "%c %u %lld", &kind, &r, &v) != 3) continue;
      (kind == 'a' ? appended : updated)[r] = v;
    }
    writer.wait();

    WorkArea& w = workAreas().use(path_, sharedUse());
    for (auto [r, v] : appended) {
      w.goTo(r);
      EXPECT_EQ(w.get(1).num(), double(v)) << "appended record " << r;
    }
    for (auto [r, v] : updated) {
      w.goTo(r);
      EXPECT_GE(w.get(1).num(), double(v)) << "updated record " << r;
    }
    for (uint32_t r = 1; r <= w.table().recCount(); ++r) {
      w.goTo(r);
      const std::string memo = w.get(3).str();
      if (memo.empty()) continue;
      EXPECT_EQ(memo, w.get(0).str() + "/" + std::to_string(int64_t(w.get(1).num()))) << "record " << r;
    }
    if (w.indexesStale()) {
      ++detected;
      try {
        w.setOrder(1);
        ADD_FAILURE() << "a stale index was used";
      } catch (const Error& e) {
        EXPECT_EQ(e.kind(), ErrorKind::Corrupt);
        EXPECT_NE(e.file().find("licz.cdx"), std::string::npos);
      }
      workAreas().closeAll();
      workAreas().use(path_, {}).reindex();
    }
    EXPECT_EQ(compareOrdersWithScan(*workAreas().selected()), "") << "round " << rounds;
    workAreas().closeAll();
  }
  RecordProperty("interrupted_index_writes_detected", detected);
  EXPECT_GE(detected, 2) << "in " << rounds << " kills";
}

}  // namespace
}  // namespace rt::db
