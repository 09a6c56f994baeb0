// Readers of a shared table while other processes change it: a walk and seeks through an order
// while a writer moves keys (no row out of key order, no "found" on a record of another key); a
// table on a network file system read only through the locks and its headers never mapped; a
// reader whose table another process reindexes, or whose controlling tag another process drops
// and makes again, or drops for good.
#include <gtest/gtest.h>
#include <poll.h>
#include <unistd.h>

#include <chrono>
#include <fstream>
#include <random>
#include <thread>

#include "runtime/core/context.h"
#include "runtime/core/error.h"
#include "runtime/core/std_functions.h"
#include "runtime/db/lock_scheme.h"
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

constexpr uint32_t kRecords = 300;
constexpr int kKeys = 40;  // few keys, so that seeks find records

class SharedReadersTest : public ::testing::Test {
 protected:
  void SetUp() override {
    registerStandardFunctions();
    context().settings.deleted = true;
    path_ = dir_.file("placa.dbf");
    DbfTable::create(path_, {{"NR", 'C', 5, 0}, {"KOD", 'C', 4, 0}});
    WorkArea& w = workAreas().use(path_, {});
    for (uint32_t i = 1; i <= kRecords; ++i) {
      w.append();
      w.put(0, Value::text(std::to_string(i)));
      w.put(1, Value::text(codeOf(int(i % kKeys))));
    }
    w.createTag("", "KOD", "kod");
    w.createTag("", "NR", "nr");
    workAreas().closeAll();
  }
  void TearDown() override {
    workAreas().closeAll();
    File::setTreatAsNetwork(false);
  }
  static std::string codeOf(int n) {
    char code[8];
    std::snprintf(code, sizeof code, "K%03d", n);
    return code;
  }
  static bool told(int fd) {
    pollfd p{fd, POLLIN, 0};
    return ::poll(&p, 1, 0) > 0;
  }

  TempDir dir_;
  std::string path_;
};

// The writer waits a little before each index write of its updates, so that readers meet many of
// its records already written under an index not yet changed.
TEST_F(SharedReadersTest, AWalkAndSeeksWhileAnotherProcessMovesKeysSeeEveryRecordUnderItsOwnKey) {
  Child writer([&](int up, int down) {
    File::setWriteFault([](const std::string& path, uint64_t, size_t) {
      if (path.size() > 4 && path.compare(path.size() - 4, 4, ".cdx") == 0)
        std::this_thread::sleep_for(std::chrono::microseconds(100));
      return 0;
    });
    WorkArea& w = workAreas().use(path_, sharedUse());
    std::mt19937 rng(7);
    sendLine(up, "started");
    for (int i = 0; i < 200000 && !told(down); ++i) {
      w.goTo(uint32_t(rng() % kRecords + 1));
      while (!w.lockCurrent()) std::this_thread::yield();
      w.put(1, Value::text(codeOf(int(rng() % kKeys))));
      w.unlockAll();
      std::this_thread::sleep_for(std::chrono::microseconds(50));  // room for the reader's locks
    }
    workAreas().closeAll();
    return 0;
  });
  ASSERT_EQ(writer.readLine(), "started");
  WorkArea& r = workAreas().use(path_, sharedUse());
  r.setOrder(r.orderByName("KOD"));
  int outOfOrder = 0, wrongFound = 0, found = 0, rows = 0, busy = 0;
  std::string example;
  for (int round = 0; round < 300; ++round) {
    try {
      std::string previous;
      r.goTop();
      for (int j = 0; j < 100 && !r.eof(); ++j, r.skip(1)) {
        const std::string code = r.get(1).str();
        ++rows;
        if (code < previous) {
          ++outOfOrder;
          example = previous + " before " + code;
        }
        previous = code;
      }
      for (int k = 0; k < 10; ++k) {
        const std::string wanted = codeOf((round * 10 + k) % kKeys);
        if (!r.seek(Value::text(wanted), false)) continue;
        ++found;
        if (r.get(1).str() != wanted) {
          ++wrongFound;
          example = "seek " + wanted + " found " + r.get(1).str();
        }
      }
    } catch (const Error& e) {
      // A table kept busy beyond the lock's wait on a loaded machine: the caller's retry.
      if (e.kind() != ErrorKind::Lock) throw;
      ++busy;
    }
  }
  writer.send("stop");
  EXPECT_EQ(writer.wait(), 0);
  EXPECT_EQ(outOfOrder, 0) << example;
  EXPECT_EQ(wrongFound, 0) << example;
  EXPECT_GT(found, 0);
  EXPECT_GT(rows, 0);
  RecordProperty("rows", rows);
  RecordProperty("found", found);
  RecordProperty("busy", busy);
}

// Takes a lock byte of a file when told, as a writer in the middle of its write holds it, and
// holds it until told again.
Child lockHolder(const std::string& path, LockRange range) {
  return Child([path, range](int up, int down) {
    readLineFrom(down);
    File f = File::open(path);
    if (!f.lockRange(range.offset, range.length)) return 1;
    sendLine(up, "held");
    readLineFrom(down);
    return 0;
  });
}

bool mappedHere(const std::string& path) {
  std::ifstream maps("/proc/self/maps");
  for (std::string line; std::getline(maps, line);)
    if (line.find(path) != std::string::npos) return true;
  return false;
}

// On a network file system this machine's page cache may hold another workstation's old pages:
// a seek over an index already in memory still waits for a writer's header lock (and gives up),
// and neither the table's nor the index's header page is mapped.
TEST_F(SharedReadersTest, OnANetworkFileSystemEveryIndexReadTakesTheLocks) {
  const LockRange header = lockSchemeFor(true).header();
  for (bool network : {false, true}) {
    SCOPED_TRACE(network ? "network" : "local disk");
    File::setTreatAsNetwork(network);
    Child holder = lockHolder(path_, header);
    WorkArea& r = workAreas().use(path_, sharedUse());
    r.setOrder(r.orderByName("KOD"));
    ASSERT_TRUE(r.seek(Value::text(codeOf(5)), false));  // every page in memory now
    EXPECT_EQ(mappedHere(path_) || mappedHere(dir_.file("placa.cdx")), !network);
    holder.send("take");
    ASSERT_EQ(holder.readLine(), "held");
    try {
      EXPECT_TRUE(r.seek(Value::text(codeOf(6)), false));
      EXPECT_FALSE(network) << "read without the header lock";
    } catch (const Error& e) {
      EXPECT_EQ(e.kind(), ErrorKind::Lock);
      EXPECT_TRUE(network) << e.what();
    }
    workAreas().closeAll();
    holder.send("go");
    EXPECT_EQ(holder.wait(), 0);
  }
}

// Another process changes the tags under a reader that has its orders in memory: REINDEX builds
// every tag anew elsewhere in the file; a tag dropped and made again may land where another tag's
// pages were. The reader finds its tags again by name; its controlling tag dropped for good is an
// order not found, and the table goes on in natural order.
TEST_F(SharedReadersTest, AReaderFollowsAnotherProcessesReindexAndTagsDroppedAndMadeAgain) {
  Child changer([&](int up, int down) {
    WorkArea& w = workAreas().use(path_, sharedUse());
    for (std::string what = readLineFrom(down); !what.empty(); what = readLineFrom(down)) {
      if (what == "reindex") {
        w.reindex();
      } else if (what == "make again") {
        w.destroyTag("KOD");
        w.destroyTag("NR");
        w.createTag("", "NR", "nr+kod");
        w.createTag("", "KOD", "kod");
      } else if (what == "drop") {
        w.destroyTag("KOD");
      }
      sendLine(up, "done");
    }
    workAreas().closeAll();
    return 0;
  });
  auto tell = [&](const std::string& what) {
    changer.send(what);
    ASSERT_EQ(changer.readLine(), "done") << what;
  };
  WorkArea& r = workAreas().use(path_, sharedUse());
  r.setOrder(r.orderByName("KOD"));
  auto everySeekFoundAndTheWalkWhole = [&](const std::string& after) {
    SCOPED_TRACE("after " + after);
    int found = 0;
    for (int k = 0; k < kKeys; ++k)
      if (r.seek(Value::text(codeOf(k)), false) && r.get(1).str() == codeOf(k)) ++found;
    EXPECT_EQ(found, kKeys);
    uint32_t rows = 0;
    std::string previous;
    for (r.goTop(); !r.eof(); r.skip(1), ++rows) {
      EXPECT_LE(previous, r.get(1).str());
      previous = r.get(1).str();
    }
    EXPECT_EQ(rows, kRecords);
  };
  everySeekFoundAndTheWalkWhole("opening");
  tell("reindex");
  everySeekFoundAndTheWalkWhole("reindex");
  // A change begun before the tags were made again is written into the tags as they are now.
  r.goTo(17);
  ASSERT_TRUE(r.lockCurrent());
  r.put(1, Value::text(codeOf(39)));
  tell("make again");
  r.unlockAll();
  EXPECT_EQ(r.orderInfo(r.order())->name, "KOD");
  everySeekFoundAndTheWalkWhole("tags made again");
  tell("drop");
  try {
    r.seek(Value::text(codeOf(1)), false);
    ADD_FAILURE() << "seek in a dropped order";
  } catch (const Error& e) {
    EXPECT_EQ(e.kind(), ErrorKind::Argument) << e.what();
    EXPECT_NE(e.description().find("Order not found"), std::string::npos) << e.what();
  }
  EXPECT_EQ(r.order(), 0);
  uint32_t rows = 0;
  for (r.goTop(); !r.eof(); r.skip(1)) ++rows;
  EXPECT_EQ(rows, kRecords);
  changer.send("");
  EXPECT_EQ(changer.wait(), 0);
  workAreas().closeAll();
  EXPECT_EQ(compareOrdersWithScan(workAreas().use(path_, {})), "");
}

}  // namespace
}  // namespace rt::db
