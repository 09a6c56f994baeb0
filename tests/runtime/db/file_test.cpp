// The file seam: the mapped header page agrees with plain reads and writes of other descriptors,
// survives truncation, and obeys the same write rules; one release drops every lock of a table.
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <cstring>
#include <filesystem>
#include <string>

#include "runtime/core/context.h"
#include "runtime/core/error.h"
#include "runtime/core/value.h"
#include "runtime/db/file.h"
#include "runtime/db/lock_scheme.h"
#include "runtime/db/work_areas.h"
#include "tests/runtime/db/helpers/shared_use.h"
#include "tests/runtime/db/helpers/temp_dir.h"

namespace rt::db {
namespace {

using testing::sharedUse;
using testing::TempDir;

TEST(FileHead, MappedHeaderAgreesWithOtherDescriptorsBothWays) {
  TempDir dir;
  const std::string path = dir.file("h.bin");
  {
    File f = File::create(path);
    std::string zeros(600, '\0');
    f.writeExact(0, zeros.data(), zeros.size());
  }
  File mine = File::open(path);
  File other = File::open(path);

  mine.writeHead(8, "ABCD", 4);
  char seen[5] = {};
  other.readExact(8, seen, 4);
  EXPECT_STREQ(seen, "ABCD");

  other.writeExact(100, "wxyz", 4);
  char back[5] = {};
  mine.readHead(100, back, 4);
  EXPECT_STREQ(back, "wxyz");

  // Past the end of the file as mapped: plain calls, which also grow the file.
  mine.writeHead(600, "tail", 4);
  EXPECT_EQ(other.size(), 604u);
  char tail[5] = {};
  mine.readHead(600, tail, 4);
  EXPECT_STREQ(tail, "tail");

  // Truncation drops the map; what is left is read and written as before.
  mine.truncate(16);
  mine.writeHead(0, "0123", 4);
  char first[5] = {};
  other.readExact(0, first, 4);
  EXPECT_STREQ(first, "0123");
  EXPECT_THROW(mine.readHead(100, back, 4), Error);
}

TEST(FileHead, ReadOnlyAndInjectedFaultsRefuseMappedWrites) {
  TempDir dir;
  const std::string path = dir.file("h.bin");
  {
    File f = File::create(path);
    f.writeExact(0, "0123456789", 10);
  }
  File readOnly = File::open(path, File::Access::ReadOnly);
  char b[3] = {};
  readOnly.readHead(2, b, 2);
  EXPECT_STREQ(b, "23");
  EXPECT_THROW(readOnly.writeHead(0, "x", 1), Error);

  File f = File::open(path);
  File::setWriteFault([](const std::string&, uint64_t, size_t) { return 28; });
  EXPECT_THROW(f.writeHead(0, "x", 1), Error);
  File::setWriteFault({});
  f.readHead(0, b, 1);
  EXPECT_EQ(b[0], '0');
}

TEST(TableLocks, AWriteAndItsReleaseLeaveNoLockBehind) {
  TempDir dir;
  const std::string path = dir.file("t.dbf");
  DbfTable::create(path, {{"NAME", 'C', 10}});
  context().settings.deleted = true;
  WorkAreas& areas = workAreas();
  WorkArea& w = areas.use(path, sharedUse());
  ASSERT_TRUE(w.append());
  ASSERT_TRUE(w.append());
  w.unlockAll();
  ASSERT_TRUE(w.lockRecord(1));
  ASSERT_TRUE(w.lockRecord(2));
  w.goTo(2);
  w.put(0, Value::text("changed"));
  w.unlockAll();

  // Another opening of the file takes every lock at once.
  File probe = File::open(path);
  const LockScheme& scheme = w.table().locking();
  EXPECT_TRUE(probe.lockRange(scheme.header().offset, scheme.header().length));
  EXPECT_TRUE(probe.lockRange(scheme.file().offset, scheme.file().length));
  probe.unlockRange(scheme.file().offset, scheme.file().length);
  probe.unlockRange(scheme.header().offset, scheme.header().length);
  areas.closeAll();
}

TEST(FileReplace, TheReplacementKeepsTheModeAndALinkStaysALink) {
  TempDir dir;
  const mode_t before = ::umask(022);
  std::filesystem::create_directory(dir.file("real"));
  const std::string real = dir.file("real/t.dbf"), link = dir.file("t.dbf"), plain = dir.file("p.dbf");
  for (const std::string& live : {real, plain}) {
    File::create(live).writeExact(0, "old", 3);
    ::chmod(live.c_str(), 0660);
  }
  // Only the superuser may give a file to another user.
  const bool giveOwner = ::geteuid() == 0;
  if (giveOwner) {
    for (const std::string& live : {real, plain}) ASSERT_EQ(::chown(live.c_str(), 4321, 4321), 0);
  }
  std::filesystem::create_symlink("real/t.dbf", link);

  for (const std::string& live : {link, plain}) {
    const std::string tmp = File::siblingTemporary(live);
    EXPECT_EQ(File::directoryOf(tmp), File::directoryOf(File::replacementTarget(live))) << live;
    File fresh = File::create(tmp);
    fresh.writeExact(0, "new", 3);
    fresh.replace(live);
    EXPECT_EQ(fresh.path(), live);
    char got[4] = {};
    File::open(live).readExact(0, got, 3);
    EXPECT_STREQ(got, "new") << live;
  }
  ::umask(before);
  EXPECT_TRUE(std::filesystem::is_symlink(link));
  for (const std::string& file : {real, plain}) {
    struct stat st;
    ASSERT_EQ(::stat(file.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 07777, 0660u) << file;
    if (giveOwner) {
      EXPECT_EQ(st.st_uid, 4321u) << file;
      EXPECT_EQ(st.st_gid, 4321u) << file;
    }
  }
}

}  // namespace
}  // namespace rt::db
