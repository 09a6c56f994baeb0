// PACK, ZAP and REINDEX (exclusive, and shared) that fail half-way (the Nth write or rename fails, and every one after
// it, as on a full disk) or are killed between the renames of the table and its memo file: the
// table opens again with every live record exactly once, every memo with its record, every tag
// equal to a full scan or flagged as stale, and no file of the attempt left.
#include <gtest/gtest.h>

#include <signal.h>
#include <sys/stat.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <set>

#include "runtime/core/context.h"
#include "runtime/core/error.h"
#include "runtime/core/std_functions.h"
#include "runtime/db/work_areas.h"
#include "runtime/db/swap_journal.h"
#include "tests/runtime/db/helpers/child_process.h"
#include "tests/runtime/db/helpers/index_check.h"
#include "tests/runtime/db/helpers/key_tags.h"
#include "tests/runtime/db/helpers/shared_use.h"
#include "tests/runtime/db/helpers/temp_dir.h"

namespace rt::db {
namespace {

using testing::Child;
using testing::addKeyIdOddTags;
using testing::compareOrdersWithScan;
using testing::sharedUse;
using testing::TempDir;

enum class Operation { Pack, Zap, Reindex, SharedReindex };

const char* nameOf(Operation op) {
  return op == Operation::Pack ? "PACK" : op == Operation::Zap ? "ZAP" : op == Operation::Reindex ? "REINDEX"
                                                                                                 : "shared REINDEX";
}

WorkArea& openFor(const std::string& path, Operation op) {
  return workAreas().use(path, op == Operation::SharedReindex ? sharedUse() : UseOptions{});
}

void run(WorkArea& w, Operation op) {
  if (op == Operation::Pack) w.pack();
  else if (op == Operation::Zap) w.zap();
  else w.reindex();
}

class RestructureFaultsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    registerStandardFunctions();
    context().settings.deleted = false;
  }
  void TearDown() override {
    File::setWriteFault({});
    workAreas().closeAll();
  }

  // 60 records, every 4th deleted, a memo on every 3rd, tags on the key, the ID and a FOR tag.
  void makeTable(const std::string& path) {
    DbfTable::create(path, {{"ID", 'C', 6, 0}, {"KEY", 'C', 8, 0}, {"UW", 'M', 10, 0}});
    WorkArea& w = workAreas().use(path, {});
    for (int i = 1; i <= 60; ++i) {
      w.append();
      const std::string id = "r" + std::to_string(10000 + i);
      w.put(0, Value::text(id));
      w.put(1, Value::text("k" + std::to_string(i * 37 % 50)));
      if (i % 3 == 0) w.put(2, Value::text(id + "/notatka " + std::string(size_t(i), 'n')));
      if (i % 4 == 0) w.deleteRecord();
    }
    addKeyIdOddTags(w);
    workAreas().closeAll();
  }

  // Runs the operation with the `failing`th write and all later ones refused; returns how many
  // writes were attempted.
  static int runFailing(const std::string& path, Operation op, int failing) {
    int writes = 0;
    WorkArea& w = openFor(path, op);
    File::setWriteFault([&](const std::string&, uint64_t, size_t) { return ++writes >= failing ? 28 : 0; });
    try {
      run(w, op);
    } catch (const Error&) {
      // The failure under test.
    }
    try {
      workAreas().closeAll();
    } catch (const Error&) {
      // Closing writes too, and fails as well.
    }
    File::setWriteFault({});
    return writes;
  }

  // Opens the table shared, as the programs open it, and checks every live record is there once
  // (`expectedLive` of them) with its own memo, then every tag (rebuilt when flagged as stale).
  static void expectWhole(const std::string& path, size_t expectedLive) {
    WorkArea* opened = nullptr;
    try {
      opened = &workAreas().use(path, sharedUse());
    } catch (const Error& e) {
      ADD_FAILURE() << "the table does not open: " << e.what();
      return;
    }
    WorkArea& w = *opened;
    std::map<std::string, int> live;
    for (uint32_t r = 1; r <= w.table().recCount(); ++r) {
      w.table().goTo(r);
      const std::string id = w.get(0).str();
      if (!w.table().deleted()) ++live[id];
      const std::string memo = w.get(2).str();
      if (!memo.empty()) {
        EXPECT_EQ(memo.substr(0, id.size() + 1), id + "/") << "record " << r;
      }
    }
    EXPECT_EQ(live.size(), expectedLive);
    for (auto& [id, count] : live) EXPECT_EQ(count, 1) << id;
    workAreas().closeAll();
    WorkArea& check = workAreas().use(path, {});
    if (check.indexesStale()) check.reindex();
    EXPECT_EQ(compareOrdersWithScan(check), "");
    workAreas().closeAll();
  }

  // The live records an attempt leaves: a ZAP either happened or did not, so every record is gone
  // or every live one is there.
  static size_t liveAfter(const std::string& path, Operation op) {
    if (op != Operation::Zap) return 45;
    WorkArea& w = workAreas().use(path, {});
    const bool emptied = w.table().recCount() == 0;
    workAreas().closeAll();
    return emptied ? 0 : 45;
  }

  // The table's own files, and nothing an attempt left behind.
  static void expectOnlyTableFiles(const std::string& dir) {
    std::set<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(dir))
      names.insert(entry.path().filename().string());
    EXPECT_EQ(names, (std::set<std::string>{"t.cdx", "t.dbf", "t.fpt"}));
  }

  // The size a memo file of just these memos takes: its header and each memo in whole blocks.
  static uintmax_t memoFileSizeFor(const std::vector<std::string>& memos) {
    uintmax_t size = 512;
    for (const auto& m : memos) size += (8 + m.size() + 63) / 64 * 64;
    return size;
  }

  // The memos of the live records.
  static std::vector<std::string> liveMemos(const std::string& path) {
    std::vector<std::string> memos;
    WorkArea& w = workAreas().use(path, {});
    for (uint32_t r = 1; r <= w.table().recCount(); ++r) {
      w.table().goTo(r);
      if (!w.table().deleted() && !w.get(2).str().empty()) memos.push_back(w.get(2).str());
    }
    workAreas().closeAll();
    return memos;
  }
};

TEST_F(RestructureFaultsTest, AFailureAtAnyWriteLeavesTheTableWholeWithEachLiveRecordOnce) {
  for (Operation op : {Operation::Pack, Operation::Zap, Operation::Reindex, Operation::SharedReindex}) {
    TempDir probeDir;
    makeTable(probeDir.file("t.dbf"));
    const int total = runFailing(probeDir.file("t.dbf"), op, 1 << 30);  // a run without a failure
    ASSERT_GE(total, 2) << nameOf(op);
    for (int failing = 1; failing <= total; ++failing) {
      SCOPED_TRACE(std::string(nameOf(op)) + ", write " + std::to_string(failing) + " of " + std::to_string(total));
      TempDir dir;
      const std::string path = dir.file("t.dbf");
      makeTable(path);
      runFailing(path, op, failing);
      expectWhole(path, liveAfter(path, op));
      expectOnlyTableFiles(dir.path());
    }
  }
}

TEST_F(RestructureFaultsTest, PackGivesBackTheBlocksOfDeletedAndReplacedMemos) {
  TempDir dir;
  const std::string path = dir.file("t.dbf");
  makeTable(path);
  {
    WorkArea& w = workAreas().use(path, {});
    for (int round = 1; round <= 4; ++round) {
      for (uint32_t r = 1; r <= w.table().recCount(); ++r) {
        w.table().goTo(r);
        const std::string id = w.get(0).str();
        w.put(2, Value::text(id + "/wersja " + std::to_string(round) + std::string(size_t(r * round), 'w')));
      }
    }
    workAreas().closeAll();
  }
  const std::vector<std::string> memos = liveMemos(path);
  ASSERT_EQ(memos.size(), 45u);
  const uintmax_t before = std::filesystem::file_size(dir.file("t.fpt"));
  {
    WorkArea& w = workAreas().use(path, {});
    w.pack();
    workAreas().closeAll();
  }
  EXPECT_EQ(std::filesystem::file_size(dir.file("t.fpt")), memoFileSizeFor(memos));
  EXPECT_LT(memoFileSizeFor(memos) * 4, before);
  EXPECT_EQ(liveMemos(path), memos);
  expectWhole(path, 45);
  expectOnlyTableFiles(dir.path());
}

// PACK renames the new memo file, then the new table, over the old ones. A kill before either
// rename, or between them, leaves its journal; whoever opens the table next finishes the renames.
TEST_F(RestructureFaultsTest, APackKilledAroundItsRenamesIsFinishedByTheNextOpening) {
  for (const char* killedBefore : {"t.fpt", "t.dbf"}) {
    SCOPED_TRACE(std::string("killed before the rename to ") + killedBefore);
    TempDir dir;
    const std::string path = dir.file("t.dbf");
    makeTable(path);
    const std::vector<std::string> memos = liveMemos(path);
    const std::string target = dir.file(killedBefore);
    Child packer([&](int, int) {
      WorkArea& w = workAreas().use(path, {});
      File::setWriteFault([&](const std::string& p, uint64_t, size_t len) {
        if (len == 0 && p == target) ::raise(SIGKILL);
        return 0;
      });
      w.pack();
      return 0;
    });
    ASSERT_EQ(packer.wait(), -SIGKILL);
    ASSERT_TRUE(std::filesystem::exists(SwapJournal::pathFor(path)));

    expectWhole(path, 45);
    EXPECT_EQ(std::filesystem::file_size(dir.file("t.fpt")), memoFileSizeFor(memos));
    EXPECT_EQ(liveMemos(path), memos);
    expectOnlyTableFiles(dir.path());
  }
}

// The other users of a shared directory keep their rights to a table its owner packed, emptied or
// reindexed, and a table kept elsewhere through symbolic links stays linked.
TEST_F(RestructureFaultsTest, PackZapAndReindexKeepTheFilesModeAndTheirSymbolicLinks) {
  const mode_t umaskBefore = ::umask(022);
  for (Operation op : {Operation::Pack, Operation::Zap, Operation::Reindex}) {
    for (bool linked : {false, true}) {
      SCOPED_TRACE(std::string(nameOf(op)) + (linked ? ", linked files" : ", plain files"));
      TempDir dir;
      const std::string home = linked ? dir.file("real") : dir.path();
      std::filesystem::create_directory(home);
      makeTable(home + "/t.dbf");
      for (const char* name : {"t.dbf", "t.fpt", "t.cdx"}) {
        ::chmod((home + "/" + name).c_str(), 0660);
        if (linked) std::filesystem::create_symlink(std::string("real/") + name, dir.file(name));
      }
      const std::string path = dir.file("t.dbf");
      run(openFor(path, op), op);
      workAreas().closeAll();
      for (const char* name : {"t.dbf", "t.fpt", "t.cdx"}) {
        EXPECT_EQ(std::filesystem::is_symlink(dir.file(name)), linked) << name;
        struct stat st;
        ASSERT_EQ(::stat((home + "/" + name).c_str(), &st), 0) << name;
        EXPECT_EQ(st.st_mode & 07777, 0660u) << name;
      }
      expectOnlyTableFiles(home);
      expectWhole(path, op == Operation::Zap ? 0 : 45);
    }
  }
  ::umask(umaskBefore);
}

// Exclusive use keeps appended records in memory for a while. A ZAP that fails at any of its
// writes leaves them to be written as before: the table reopens emptied, or with every record.
TEST_F(RestructureFaultsTest, AFailedZapKeepsTheAppendsStillWaiting) {
  auto run = [](const std::string& path, int failing) {
    DbfTable::create(path, {{"ID", 'C', 6, 0}});
    auto append = [](WorkArea& w, int from, int to) {
      for (int i = from; i <= to; ++i) {
        w.append();
        w.put(0, Value::text("r" + std::to_string(i)));
      }
    };
    append(workAreas().use(path, {}), 1, 5);
    workAreas().closeAll();
    WorkArea& w = workAreas().use(path, {});
    append(w, 6, 15);  // five on the disk, ten waiting
    int writes = 0;
    File::setWriteFault([&](const std::string&, uint64_t, size_t) { return ++writes >= failing ? 28 : 0; });
    try {
      w.zap();
    } catch (const Error&) {
      // The failure under test.
    }
    File::setWriteFault({});
    workAreas().closeAll();
    return writes;
  };
  TempDir probe;
  const int total = run(probe.file("z.dbf"), 1 << 30);
  ASSERT_GE(total, 2);
  for (int failing = 1; failing <= total; ++failing) {
    SCOPED_TRACE("write " + std::to_string(failing) + " of " + std::to_string(total));
    TempDir dir;
    const std::string path = dir.file("z.dbf");
    run(path, failing);
    WorkArea& w = workAreas().use(path, {});
    const uint32_t count = w.table().recCount();
    if (count != 0) {
      ASSERT_EQ(count, 15u);
      for (uint32_t r = 1; r <= count; ++r) {
        w.goTo(r);
        EXPECT_EQ(w.get(0).str(), "r" + std::to_string(r) + std::string(r < 10 ? 4 : 3, ' ')) << "record " << r;
      }
    }
    workAreas().closeAll();
  }
}

// A PACK, ZAP or REINDEX killed at any of its writes or renames leaves the old files whole, or
// a journal that finishes the swap, and temporary files as large as the table; whoever opens the
// table next removes those of dead processes. A running process's temporary file is left alone.
TEST_F(RestructureFaultsTest, AKilledRestructureLeavesTheTableWholeAndTheNextOpeningRemovesItsTemporaries) {
  for (Operation op : {Operation::Pack, Operation::Zap, Operation::Reindex, Operation::SharedReindex}) {
    TempDir probeDir;
    makeTable(probeDir.file("t.dbf"));
    const int total = runFailing(probeDir.file("t.dbf"), op, 1 << 30);
    int leftBehind = 0;
    for (int killedAt = 1; killedAt <= total; ++killedAt) {
      SCOPED_TRACE(std::string(nameOf(op)) + ", killed at write " + std::to_string(killedAt) + " of " +
                   std::to_string(total));
      TempDir dir;
      const std::string path = dir.file("t.dbf");
      makeTable(path);
      Child worker([&](int, int) {
        WorkArea& w = openFor(path, op);
        int writes = 0;
        File::setWriteFault([&](const std::string&, uint64_t, size_t) {
          if (++writes == killedAt) ::raise(SIGKILL);
          return 0;
        });
        run(w, op);
        workAreas().closeAll();
        return 0;
      });
      ASSERT_EQ(worker.wait(), -SIGKILL);
      for (const auto& entry : std::filesystem::directory_iterator(dir.path()))
        if (entry.path().extension() == ".tmp") ++leftBehind;
      const std::string running = dir.file("t.dbf.1.tmp");  // process 1 runs as long as the system
      std::ofstream(running) << "a running process's";
      expectWhole(path, liveAfter(path, op));
      EXPECT_TRUE(std::filesystem::exists(running));
      std::filesystem::remove(running);
      expectOnlyTableFiles(dir.path());
    }
    if (op != Operation::SharedReindex) {
      EXPECT_GT(leftBehind, 0) << nameOf(op);
    }
  }
}

// A journal is obeyed only as a PACK writes it: the table and its memo file, each from its own name
// plus ".<digits>.tmp". A damaged or planted one stops the opening, naming it, and nothing moves.
TEST_F(RestructureFaultsTest, ADamagedOrPlantedPackJournalIsReportedAndNothingRenamed) {
  TempDir dir;
  const std::string path = dir.file("t.dbf");
  makeTable(path);
  for (const char* planted : {"t.dbf.999.tmp", "t.fpt.999.tmp", "s.dbf", "s.dbf.999.tmp", "t.cdx.999.tmp"})
    std::ofstream(dir.file(planted)) << "planted " << planted;
  auto listing = [&] {
    std::map<std::string, uintmax_t> files;
    for (const auto& entry : std::filesystem::directory_iterator(dir.path()))
      files[entry.path().filename().string()] = entry.file_size();
    return files;
  };
  const char* const journals[] = {
      "SWAP\nt.fpt.1.tmp\tt.fpt\n",                           // no end
      "SWAP\n../x\tt.dbf\nEND\n",                            // a path
      "garbage",
      "SWAP\nt.dbf.999.tmp\ts.dbf\nEND\n",                    // another table
      "SWAP\ns.dbf.999.tmp\tt.dbf\nEND\n",                    // another table's file over this one
      "SWAP\nt.cdx.999.tmp\tt.cdx\nEND\n",                    // not a file PACK moves
      "SWAP\nt.dbf.x9.tmp\tt.dbf\nEND\n",                     // not a temporary's name
      "SWAP\nt.dbf.999\tt.dbf\nEND\n",
      "SWAP\nt.fpt.999.tmp\tt.fpt\nt.fpt.999.tmp\tt.fpt\nEND\n",  // one file twice
      "SWAP\nt.fpt.999.tmp\tt.fpt\nEND\nEND\n",
  };
  for (const char* text : journals) {
    SCOPED_TRACE(text);
    std::ofstream(SwapJournal::pathFor(path)) << text;
    const auto before = listing();
    try {
      workAreas().use(path, {});
      ADD_FAILURE() << "opened with a damaged journal";
    } catch (const Error& e) {
      EXPECT_EQ(e.kind(), ErrorKind::Corrupt);
      EXPECT_EQ(e.cause(), ErrorCause::DamagedJournal);  // the message says what the user can do
      EXPECT_EQ(e.file(), SwapJournal::pathFor(path));
    }
    workAreas().closeAll();
    EXPECT_EQ(listing(), before);
  }
  std::filesystem::remove(SwapJournal::pathFor(path));
  expectWhole(path, 45);
}

}  // namespace
}  // namespace rt::db
