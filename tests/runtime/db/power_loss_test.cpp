// A power loss at any moment of a PACK, ZAP, REINDEX or of ordinary writes: the disk keeps only
// what was synced (each file as it was at its last sync, under the names its directory had at
// its last sync). The table then opens with its own index, or with the index flagged as stale;
// never with an index that no longer matches it and nothing said.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <map>

#include "runtime/core/context.h"
#include "runtime/core/error.h"
#include "runtime/core/std_functions.h"
#include "runtime/db/work_areas.h"
#include "tests/runtime/db/helpers/child_process.h"
#include "tests/runtime/db/helpers/index_check.h"
#include "tests/runtime/db/helpers/key_tags.h"
#include "tests/runtime/db/helpers/shared_use.h"
#include "tests/runtime/db/helpers/temp_dir.h"

namespace rt::db {
namespace {

namespace fs = std::filesystem;
using testing::Child;
using testing::addKeyIdOddTags;
using testing::compareOrdersWithScan;
using testing::readFile;
using testing::sendLine;
using testing::sharedUse;
using testing::TempDir;

// What the disk holds of one directory, followed through the engine's syncs.
class Disk {
 public:
  explicit Disk(std::string dir) : dir_(std::move(dir)) {
    for (const auto& e : fs::directory_iterator(dir_)) {
      const Identity ino = inodeOf(e.path().string());
      names_[e.path().filename().string()] = ino;
      kept_[ino] = readFile(e.path().string());
    }
    File::setSyncObserver([this](const std::string& path) { synced(path); });
  }
  ~Disk() { File::setSyncObserver({}); }
  Disk(const Disk&) = delete;
  Disk& operator=(const Disk&) = delete;

  // The power goes: the directory becomes what the disk kept. A name whose file was never synced
  // holds an empty file.
  void powerLoss() {
    for (const auto& e : fs::directory_iterator(dir_)) fs::remove(e.path());
    for (const auto& [name, ino] : names_) {
      auto it = kept_.find(ino);
      std::ofstream(dir_ + "/" + name, std::ios::binary) << (it == kept_.end() ? std::string() : it->second);
    }
  }

 private:
  // A file's identity: its inode number and its birth time, as a number freed by one file may be
  // given to the next.
  using Identity = std::pair<uint64_t, int64_t>;
  static Identity inodeOf(const std::string& path) {
    struct statx st;
    if (::statx(AT_FDCWD, path.c_str(), 0, STATX_INO | STATX_BTIME, &st) != 0) return {0, 0};
    const int64_t born = (st.stx_mask & STATX_BTIME) ? st.stx_btime.tv_sec * 1000000000LL + st.stx_btime.tv_nsec : 0;
    return {st.stx_ino, born};
  }
  void synced(const std::string& path) {
    if (fs::is_directory(path)) {
      if (!fs::equivalent(path, dir_)) return;
      names_.clear();
      for (const auto& e : fs::directory_iterator(dir_)) names_[e.path().filename().string()] = inodeOf(e.path().string());
      return;
    }
    kept_[inodeOf(path)] = readFile(path);
  }

  std::string dir_;
  std::map<std::string, Identity> names_;
  std::map<Identity, std::string> kept_;
};

class PowerLossTest : public ::testing::Test {
 protected:
  void SetUp() override {
    registerStandardFunctions();
    context().settings.deleted = false;
  }
  void TearDown() override {
    File::setWriteFault({});
    workAreas().closeAll();
  }

  // 40 records with a memo on every 4th, tags on the key, the ID and a FOR tag.
  static void makeTable(const std::string& path) {
    DbfTable::create(path, {{"ID", 'C', 6, 0}, {"KEY", 'C', 8, 0}, {"UW", 'M', 10, 0}});
    WorkArea& w = workAreas().use(path, {});
    for (int i = 1; i <= 40; ++i) {
      w.append();
      const std::string id = "r" + std::to_string(10000 + i);
      w.put(0, Value::text(id));
      w.put(1, Value::text("k" + std::to_string(i * 37 % 50)));
      if (i % 4 == 0) w.put(2, Value::text(id + "/notatka"));
    }
    addKeyIdOddTags(w);
    workAreas().closeAll();
  }

  // New keys for records 3, 6, .. 30, every fifth of them marked deleted.
  static void changeKeys(WorkArea& w) {
    for (uint32_t r = 3; r <= 30; r += 3) {
      w.goTo(r);
      if (w.table().shared()) {
        ASSERT_TRUE(w.lockCurrent());
      }
      w.put(1, Value::text("n" + std::to_string(r * 7 % 40)));
      if (r % 5 == 0) w.deleteRecord();
      if (w.table().shared()) w.unlockAll();
    }
  }

  // Runs `work` on a new table in a child whose power goes just before its `lossAt`th write or
  // rename (never, with 0); returns how many writes and renames the run made.
  static int runWithPowerLoss(const TempDir& dir, const std::function<void(const std::string&)>& work, int lossAt) {
    const std::string path = dir.file("t.dbf");
    makeTable(path);
    Child child([&](int toParent, int) {
      Disk disk(dir.path());
      int writes = 0;
      File::setWriteFault([&](const std::string&, uint64_t, size_t) {
        if (++writes == lossAt) {
          disk.powerLoss();
          ::raise(SIGKILL);
        }
        return 0;
      });
      work(path);
      workAreas().closeAll();
      File::setWriteFault({});
      sendLine(toParent, std::to_string(writes));
      disk.powerLoss();
      return 0;
    });
    const std::string count = child.readLine();
    const int status = child.wait();
    EXPECT_TRUE(lossAt > 0 ? status == -SIGKILL || status == 0 : status == 0) << status;
    return count.empty() ? 0 : std::stoi(count);
  }

  // Opens the table as a program does and checks it: every memo its record's, and every tag
  // equal to a scan unless flagged as stale. Returns whether it was flagged.
  static bool expectOwnIndexOrFlagged(const std::string& path) {
    WorkArea* opened = nullptr;
    try {
      opened = &workAreas().use(path, sharedUse());
    } catch (const Error& e) {
      ADD_FAILURE() << "the table does not open: " << e.what() << " " << e.file();
      return false;
    }
    WorkArea& w = *opened;
    for (uint32_t r = 1; r <= w.table().recCount(); ++r) {
      w.table().goTo(r);
      const std::string memo = w.get(2).str();
      if (!memo.empty()) {
        EXPECT_EQ(memo, w.get(0).str() + "/notatka") << "record " << r;
      }
    }
    const bool flagged = w.indexesStale();
    if (!flagged) {
      EXPECT_EQ(compareOrdersWithScan(w), "");
    }
    workAreas().closeAll();
    return flagged;
  }
};

TEST_F(PowerLossTest, TheTableOpensWithItsOwnIndexOrFlagsItWhereverThePowerGoes) {
  struct Scenario {
    const char* name;
    std::function<void(const std::string&)> work;
  };
  const Scenario scenarios[] = {
      {"changes, then PACK",
       [](const std::string& path) {
         WorkArea& w = workAreas().use(path, {});
         changeKeys(w);
         w.pack();
       }},
      {"changes, then REINDEX",
       [](const std::string& path) {
         WorkArea& w = workAreas().use(path, {});
         changeKeys(w);
         w.reindex();
       }},
      {"one change, then REINDEX",
       [](const std::string& path) {
         WorkArea& w = workAreas().use(path, {});
         w.goTo(5);
         w.put(1, Value::text("a0"));
         w.reindex();
       }},
      {"ZAP",
       [](const std::string& path) { workAreas().use(path, {}).zap(); }},
      {"PACK, then shared changes",
       [](const std::string& path) {
         workAreas().use(path, {}).pack();
         workAreas().closeAll();
         changeKeys(workAreas().use(path, sharedUse()));
       }},
  };
  for (const Scenario& s : scenarios) {
    TempDir probe;
    const int total = runWithPowerLoss(probe, s.work, 0);
    ASSERT_GE(total, 2) << s.name;
    for (int lossAt = 1; lossAt <= total + 1; ++lossAt) {
      SCOPED_TRACE(std::string(s.name) + ", power lost before write " + std::to_string(lossAt) + " of " +
                   std::to_string(total));
      TempDir dir;
      runWithPowerLoss(dir, s.work, lossAt);
      if (expectOwnIndexOrFlagged(dir.file("t.dbf"))) {
        WorkArea& w = workAreas().use(dir.file("t.dbf"), {});
        w.reindex();
        EXPECT_EQ(compareOrdersWithScan(w), "");
        workAreas().closeAll();
      }
    }
  }
}

}  // namespace
}  // namespace rt::db
