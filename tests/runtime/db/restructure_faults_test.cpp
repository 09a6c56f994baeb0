// PACK, ZAP and REINDEX that fail half-way (the Nth write fails, and every one after it, as on a
// full disk): the table opens again with every live record exactly once, every memo with its
// record, every tag equal to a full scan or flagged as stale, and no file of the attempt left.
#include <gtest/gtest.h>

#include <filesystem>
#include <map>

#include "runtime/core/context.h"
#include "runtime/core/error.h"
#include "runtime/core/std_functions.h"
#include "runtime/db/work_areas.h"
#include "tests/runtime/db/helpers/index_check.h"
#include "tests/runtime/db/helpers/temp_dir.h"

namespace rt::db {
namespace {

using testing::compareOrdersWithScan;
using testing::TempDir;

enum class Operation { Pack, Zap, Reindex };

const char* nameOf(Operation op) {
  return op == Operation::Pack ? "PACK" : op == Operation::Zap ? "ZAP" : "REINDEX";
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
    w.createTag("", "KEY", "key");
    w.createTag("", "ID", "id");
    CreateTagOptions forClause;
    forClause.forText = "val(right(id,2)) % 2 = 1";
    w.createTag("", "ODD", "key+id", forClause);
    workAreas().closeAll();
  }

  // Runs the operation with the `failing`th write and all later ones refused; returns how many
  // writes were attempted.
  static int runFailing(const std::string& path, Operation op, int failing) {
    int writes = 0;
    WorkArea& w = workAreas().use(path, {});
    File::setWriteFault([&](const std::string&, uint64_t, size_t) { return ++writes >= failing ? 28 : 0; });
    try {
      if (op == Operation::Pack) w.pack();
      else if (op == Operation::Zap) w.zap();
      else w.reindex();
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
};

TEST_F(RestructureFaultsTest, AFailureAtAnyWriteLeavesTheTableWholeWithEachLiveRecordOnce) {
  for (Operation op : {Operation::Pack, Operation::Zap, Operation::Reindex}) {
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

      UseOptions shared;
      shared.shared = true;
      WorkArea* opened = nullptr;
      try {
        opened = &workAreas().use(path, shared);
      } catch (const Error& e) {
        ADD_FAILURE() << "the table does not open: " << e.what();
        continue;
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
      if (op == Operation::Zap && live.empty()) {
        EXPECT_EQ(w.table().recCount(), 0u);
      } else {
        EXPECT_EQ(live.size(), 45u);
        for (auto& [id, count] : live) EXPECT_EQ(count, 1) << id;
      }
      workAreas().closeAll();
      WorkArea& check = workAreas().use(path, {});
      if (check.indexesStale()) check.reindex();
      EXPECT_EQ(compareOrdersWithScan(check), "");
      workAreas().closeAll();
      for (const auto& entry : std::filesystem::directory_iterator(dir.path()))
        EXPECT_NE(entry.path().extension(), ".tmp") << "left behind: " << entry.path();
    }
  }
}

}  // namespace
}  // namespace rt::db
