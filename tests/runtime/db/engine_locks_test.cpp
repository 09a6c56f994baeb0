// Locks shared with other engines writing the same files: a process holding a lock byte as
// another xBase engine holds it (the index file's byte 0x7FFFFFFE, the memo file's byte 0, the
// 0x40000000-based bytes of a table without an index) makes our write wait and then refuse it
// with nothing written; and two processes writing one table at once (key changes, memo changes,
// appends) leave every tag equal to a full scan and every memo with its own record; a table
// header that another engine read during one of our writes and writes back later stops nothing.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <chrono>
#include <cstring>
#include <filesystem>
#include <functional>
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

class EngineLocksTest : public ::testing::Test {
 protected:
  void SetUp() override {
    registerStandardFunctions();
    context().settings.deleted = true;
    indexed_ = dir_.file("zas.dbf");
    plain_ = dir_.file("lista.dbf");
  }
  void TearDown() override { workAreas().closeAll(); }

  // A table with an indexed key, a memo and a FOR tag, and one of the same records without an
  // index; each record's ID never changes and every memo starts with it.
  void makeTables(uint32_t records) {
    for (const std::string& path : {indexed_, plain_}) {
      DbfTable::create(path, {{"ID", 'C', 6, 0}, {"KEY", 'C', 8, 0}, {"UW", 'M', 10, 0}});
      WorkArea& w = workAreas().use(path, {});
      for (uint32_t i = 1; i <= records; ++i) {
        w.append();
        w.put(0, Value::text(idOf(i)));
        w.put(1, Value::text("k" + std::to_string(i * 7 % 100)));
        w.put(2, Value::text(idOf(i) + "/start"));
      }
      if (path == indexed_) {
        w.createTag("", "KEY", "key");
        w.createTag("", "ID", "id");
        CreateTagOptions forClause;
        forClause.forText = "left(key,2) <> 'k9'";
        w.createTag("", "KEYP", "key+id", forClause);
      }
      workAreas().closeAll();
    }
  }
  // Both tables' files gone, for the next case to make them anew.
  void removeTables() {
    for (const char* name : {"zas.dbf", "zas.cdx", "zas.fpt", "lista.dbf", "lista.fpt"})
      std::filesystem::remove(dir_.file(name));
  }
  // A child changing record 4's key in the indexed table: at its first write of a record it says
  // "inside" and waits there for a line (or to be killed).
  Child writerInsideAKeyChange() {
    return Child([this](int up, int down) {
      WorkArea& w = workAreas().use(indexed_, sharedUse());
      const uint32_t recordsFrom = w.table().header().headerLen;
      bool paused = false;
      File::setWriteFault([&](const std::string& path, uint64_t off, size_t) {
        if (!paused && path == indexed_ && off >= recordsFrom) {
          paused = true;
          sendLine(up, "inside");
          readLineFrom(down);
        }
        return 0;
      });
      w.goTo(4);
      if (!w.lockCurrent()) return 4;
      w.put(1, Value::text("k-zmiana"));
      w.unlockAll();
      File::setWriteFault({});
      workAreas().closeAll();
      return 0;
    });
  }
  static std::string idOf(uint32_t n) {
    char id[8];
    std::snprintf(id, sizeof id, "r%05u", n);
    return id;
  }

  // Every record's memo belongs to it: "" when so, else the first record that is not.
  static std::string memosWithTheirRecords(WorkArea& w) {
    for (uint32_t r = 1; r <= w.table().recCount(); ++r) {
      w.goTo(r);
      const std::string id = w.get(0).str(), memo = w.get(2).str();
      if (memo.compare(0, id.size() + 1, id + "/") != 0) return "record " + std::to_string(r) + " " + id + " has memo " + memo;
    }
    return {};
  }
  // Opened again alone: not flagged, every tag equal to a scan, every memo its record's.
  static void expectWholeWhenReopened(const std::string& table) {
    workAreas().closeAll();
    WorkArea& check = workAreas().use(table, {});
    EXPECT_FALSE(check.indexesStale());
    EXPECT_EQ(compareOrdersWithScan(check), "");
    EXPECT_EQ(memosWithTheirRecords(check), "");
    workAreas().closeAll();
  }

 public:
  TempDir dir_;
  std::string indexed_, plain_;
};

// Runs `act` once while a child holds `offset` of `file` as another engine would, and once after
// it let go: the first is refused (false, or rt::Error Lock) within a bounded wait, the second
// goes through.
struct HeldLockCase {
  const char* name;
  std::function<std::string(EngineLocksTest&)> file;
  std::function<uint64_t(WorkArea&)> offset;
  bool shared;  // held shared (a reader's lock) instead of for writing
  bool onIndexedTable;
  std::function<bool(WorkArea&)> act;
  // A read served whole from pages in memory needs no lock while the index stands still; such a
  // case lets another handle change the index first, so the read has to go to the disk.
  bool afterAnotherChange = false;
};

TEST_F(EngineLocksTest, ALockByteHeldAsAnotherEngineHoldsItRefusesOurConflictingWrite) {
  auto cdx = [](EngineLocksTest& t) { return t.dir_.file("zas.cdx"); };
  auto fpt = [](EngineLocksTest& t) { return t.dir_.file("zas.fpt"); };
  auto dbf = [](EngineLocksTest& t) { return t.indexed_; };
  auto plainDbf = [](EngineLocksTest& t) { return t.plain_; };
  auto at = [](uint64_t off) { return [off](WorkArea&) { return off; }; };
  // Record 3 of a table without an index: 0x40000000 + its own place in the file.
  auto record3 = [](WorkArea& w) {
    return uint64_t(0x40000000) + w.table().header().headerLen + 2ull * w.table().header().recordLen;
  };
  auto changeKey = [](WorkArea& w) {
    w.goTo(2);
    if (!w.lockCurrent()) return false;
    w.put(1, Value::text("nowy"));
    w.unlockAll();
    return true;
  };
  auto changeMemo = [](WorkArea& w) {
    w.goTo(2);
    if (!w.lockCurrent()) return false;
    w.put(2, Value::text(w.get(0).str() + "/zmieniona"));
    w.unlockAll();
    return true;
  };
  auto seekKey = [](WorkArea& w) {
    w.setOrder(w.orderByName("ID"));
    return w.seek(Value::text("r00004"), false);
  };
  auto lockRecord3 = [](WorkArea& w) {
    w.goTo(3);
    return w.lockCurrent();
  };
  auto appendOne = [](WorkArea& w) {
    if (!w.append()) return false;
    w.put(0, Value::text("r00099"));
    w.put(2, Value::text("r00099/nowy"));
    w.unlockAll();
    return true;
  };
  auto createTag = [](WorkArea& w) {
    w.createTag("", "NOWY", "key+id");
    return true;
  };
  const HeldLockCase cases[] = {
      {"tag creation under the index file's write lock", cdx, at(0x7FFFFFFE), false, true, createTag},
      {"index write under the index file's write lock", cdx, at(0x7FFFFFFE), false, true, changeKey},
      {"append under the index file's write lock", cdx, at(0x7FFFFFFE), false, true, appendOne},
      {"index read under the index file's write lock", cdx, at(0x7FFFFFFE), false, true, seekKey, true},
      {"index write under the index file's read lock", cdx, at(0x7FFFFFFE), true, true, changeKey},
      {"memo write under the memo file's lock", fpt, at(0), false, true, changeMemo},
      {"index read under the table's header lock", dbf, at(0x7FFFFFFE), false, true, seekKey, true},
      {"record lock of a table without an index", plainDbf, record3, false, false, lockRecord3},
      {"append to a table without an index", plainDbf, at(0x40000000), false, false, appendOne},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    makeTables(5);
    const std::string table = c.onIndexedTable ? indexed_ : plain_;
    // Opened before the holder starts (opening reads the index): the holder touches nothing of
    // ours, only a descriptor of its own.
    WorkArea& w = workAreas().use(table, sharedUse());
    const uint64_t offset = c.offset(w);
    const std::string file = c.file(*this);
    if (c.afterAnotherChange) {
      ASSERT_TRUE(c.act(w));  // every page now in memory
      UseOptions other = sharedUse();
      other.alias = "DRUGI";
      WorkArea& second = workAreas().use(table, other);
      ASSERT_TRUE(changeKey(second));
      workAreas().close(second.number());
      workAreas().select(w.number());
    }
    Child holder([&](int up, int down) {
      File f = File::open(file);
      if (!f.lockRange(offset, 1, !c.shared)) return 1;
      sendLine(up, "held");
      readLineFrom(down);
      return 0;
    });
    ASSERT_EQ(holder.readLine(), "held");
    const auto start = std::chrono::steady_clock::now();
    bool done = true;
    try {
      done = c.act(w);
    } catch (const Error& e) {
      EXPECT_EQ(e.kind(), ErrorKind::Lock) << e.what();
      done = false;
    }
    EXPECT_FALSE(done);
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(10));  // never a hang
    holder.send("go");
    EXPECT_EQ(holder.wait(), 0);
    EXPECT_TRUE(c.act(w));  // the same again goes through once the lock is free
    expectWholeWhenReopened(table);
    removeTables();
  }
}

// A write takes the locks of what it changes: one that changes no index entry goes through while
// another process holds the index file's lock and the table's header lock, and a key change goes
// through while the header lock alone is held (the structural index's lock guards its mark).
TEST_F(EngineLocksTest, AWriteGoesThroughWhileLocksOfWhatItDoesNotChangeAreHeld) {
  struct Held {
    std::string file;
    uint64_t offset;
  };
  struct Case {
    const char* name;
    bool onIndexedTable;
    std::vector<Held> held;
    std::function<void(WorkArea&)> change;
  };
  auto changeKey = [](WorkArea& w) { w.put(1, Value::text("nowy")); };
  auto changeMemo = [](WorkArea& w) { w.put(2, Value::text(w.get(0).str() + "/zmieniona")); };
  const Case cases[] = {
      {"a memo change under the index and header locks", true,
       {{dir_.file("zas.cdx"), 0x7FFFFFFE}, {indexed_, 0x7FFFFFFE}}, changeMemo},
      {"a key change under the header lock", true, {{indexed_, 0x7FFFFFFE}}, changeKey},
      {"a change of a table without an index under its header lock", false, {{plain_, 0x40000000}}, changeKey},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    makeTables(5);
    const std::string table = c.onIndexedTable ? indexed_ : plain_;
    Child holder([&](int up, int down) {
      std::vector<File> files;
      for (const Held& h : c.held) {
        files.push_back(File::open(h.file));
        if (!files.back().lockRange(h.offset, 1)) return 1;
      }
      sendLine(up, "held");
      readLineFrom(down);
      return 0;
    });
    ASSERT_EQ(holder.readLine(), "held");
    WorkArea& w = workAreas().use(table, sharedUse());
    w.goTo(2);
    ASSERT_TRUE(w.lockCurrent());
    c.change(w);
    EXPECT_NO_THROW(w.unlockAll());
    holder.send("go");
    EXPECT_EQ(holder.wait(), 0);
    expectWholeWhenReopened(table);
    removeTables();
  }
}

// A process opening the table while another is inside a key change (its mark of a write in
// progress and the index's witness on, the index lock held) takes it for no interrupted write.
TEST_F(EngineLocksTest, AnOpeningDuringAnotherProcesssKeyChangeFindsTheIndexesSound) {
  makeTables(10);
  Child writer = writerInsideAKeyChange();
  ASSERT_EQ(writer.readLine(), "inside");
  {
    WorkArea& w = workAreas().use(indexed_, sharedUse());
    EXPECT_FALSE(w.indexesStale());
    EXPECT_NO_THROW(w.setOrder(w.orderByName("ID")));
    workAreas().closeAll();
  }
  writer.send("go");
  EXPECT_EQ(writer.wait(), 0);
  WorkArea& check = workAreas().use(indexed_, {});
  EXPECT_FALSE(check.indexesStale());
  EXPECT_EQ(compareOrdersWithScan(check), "");
  check.goTo(4);
  EXPECT_EQ(check.get(1).str(), "k-zmiana");
}

// Another engine writes its copy of the table header back under the header lock alone, so it can
// take our mark off while one of our processes is inside a key change. That process killed there
// still leaves the indexes flagged (the index's witness tells): for the next opening, and for a
// writer that had the table open before.
TEST_F(EngineLocksTest, AKeyChangeKilledAfterAnotherEngineTookItsMarkOffIsStillFound) {
  for (const bool openedBefore : {false, true}) {
    SCOPED_TRACE(openedBefore ? "a writer that had the table open" : "the next opening");
    makeTables(10);
    Child writer = writerInsideAKeyChange();
    ASSERT_EQ(writer.readLine(), "inside");
    WorkArea* before = openedBefore ? &workAreas().use(indexed_, sharedUse()) : nullptr;
    int other = ::open(indexed_.c_str(), O_RDWR);
    ASSERT_GE(other, 0);
    const uint8_t noMark = 0;
    ASSERT_EQ(::pwrite(other, &noMark, 1, 14), 1);
    ::close(other);
    writer.kill();
    writer.wait();
    if (before) {
      before->goTo(5);
      ASSERT_TRUE(before->lockCurrent());
      before->put(1, Value::text("k-inny"));
      try {
        before->unlockAll();
        ADD_FAILURE() << "a key change went on over an interrupted write";
      } catch (const Error& e) {
        EXPECT_EQ(e.kind(), ErrorKind::Corrupt) << e.what();
      }
      before->discardChanges();
    } else {
      EXPECT_TRUE(workAreas().use(indexed_, sharedUse()).indexesStale());
    }
    workAreas().closeAll();
    removeTables();
  }
}

// Two processes change keys and memos of random records and append, each under its own locks.
TEST_F(EngineLocksTest, TwoProcessesWritingOneTableAtOnceKeepTagsAndMemosWhole) {
  const uint32_t kRecords = 40;
  const int kOperations = 1200;
  makeTables(kRecords);
  for (const std::string& table : {indexed_, plain_}) {
    SCOPED_TRACE(table);
    auto worker = [&](unsigned who) {
      return [&, who](int up, int) {
        WorkArea& w = workAreas().use(table, sharedUse());
        std::mt19937 rng(who);
        int appended = 0;
        for (int i = 0; i < kOperations; ++i) {
          const unsigned draw = rng() % 10;
          if (draw == 0) {
            if (!w.append()) return 5;
            const std::string id = "p" + std::to_string(who) + std::to_string(10000 + i).substr(1);
            w.put(0, Value::text(id));
            w.put(1, Value::text("a" + std::to_string(i % 50)));
            w.put(2, Value::text(id + "/appended " + std::string(i % 90, 'x')));
            w.unlockAll();
            ++appended;
            continue;
          }
          w.goTo(uint32_t(rng() % kRecords + 1));
          while (!w.lockCurrent()) std::this_thread::yield();
          if (draw < 6) w.put(1, Value::text("k" + std::to_string(rng() % 100)));
          if (draw >= 4) w.put(2, Value::text(w.get(0).str() + "/" + std::to_string(who) + " " + std::string(rng() % 150, 'm')));
          w.unlockAll();
        }
        sendLine(up, std::to_string(appended));
        workAreas().closeAll();
        return 0;
      };
    };
    Child a(worker(1)), b(worker(2));
    const int appended = std::stoi("0" + a.readLine()) + std::stoi("0" + b.readLine());
    EXPECT_EQ(a.wait(), 0);
    EXPECT_EQ(b.wait(), 0);
    WorkArea& w = workAreas().use(table, sharedUse());
    EXPECT_EQ(w.table().recCount(), kRecords + uint32_t(appended));
    EXPECT_EQ(compareOrdersWithScan(w), "");
    EXPECT_EQ(memosWithTheirRecords(w), "");
    workAreas().closeAll();
  }
}

// Other engines read the table header once, when they open the table, and write that copy back
// (with a fresh count and date) whenever they update the header. One that opened the table while
// a write of ours was in progress so brings back our mark of a write in progress after the write
// is done: that is no interrupted write, and neither later writes nor the indexes may be refused.
TEST_F(EngineLocksTest, AHeaderCopyTakenDuringOurWriteAndWrittenBackLaterStopsNothing) {
  makeTables(20);
  WorkArea& w = workAreas().use(indexed_, sharedUse());
  const uint32_t headerLen = w.table().header().headerLen, recordLen = w.table().header().recordLen;
  int other = ::open(indexed_.c_str(), O_RDWR);
  ASSERT_GE(other, 0);
  // The other engine opens the table just as our record reaches the file.
  uint8_t copy[32] = {};
  bool copied = false;
  File::setWriteFault([&](const std::string& path, uint64_t off, size_t) {
    if (!copied && path == indexed_ && off >= headerLen) copied = ::pread(other, copy, 32, 0) == 32;
    return 0;
  });
  w.goTo(3);
  ASSERT_TRUE(w.lockCurrent());
  w.put(1, Value::text("k-first"));
  w.commit();
  w.unlockAll();
  File::setWriteFault({});
  ASSERT_TRUE(copied);
  ASSERT_EQ(copy[14], 1);  // it caught the mark
  // Later it appends and writes its copy back with the count it takes from the file's size.
  const uint32_t count = uint32_t((::lseek(other, 0, SEEK_END) - headerLen) / recordLen);
  std::memcpy(copy + 4, &count, 4);
  ASSERT_EQ(::pwrite(other, copy, 32, 0), 32);
  ::close(other);

  w.goTo(4);
  ASSERT_TRUE(w.lockCurrent());
  w.put(1, Value::text("k-second"));
  EXPECT_NO_THROW(w.commit());
  w.unlockAll();
  ASSERT_TRUE(w.append());
  w.put(0, Value::text("r00021"));
  w.put(2, Value::text("r00021/new"));
  EXPECT_NO_THROW(w.commit());
  w.unlockAll();
  workAreas().closeAll();

  WorkArea& again = workAreas().use(indexed_, {});
  EXPECT_FALSE(again.indexesStale());
  EXPECT_NO_THROW(again.setOrder(1));
  EXPECT_EQ(again.table().recCount(), 21u);
  EXPECT_EQ(compareOrdersWithScan(again), "");
  EXPECT_EQ(memosWithTheirRecords(again), "");
}

}  // namespace
}  // namespace rt::db
