// COPYFILE: result codes, the progress window and the refusal to copy a file onto itself.
#include "console/copy_file.h"

#include <sys/stat.h>

#include "console/warning.h"
#include "screen_fixture.h"
#include "temp_dir.h"

namespace {

using contest::ScreenTest;
using contest::TempDir;
using rt::term::screen;

// What the progress window showed whenever a block was about to be written.
struct Seen {
  std::string percent;
  int boldCells;
};
std::vector<Seen>* gSeen = nullptr;
rt::term::Attr gBold;
// A disk that takes half of what it is given.
long shortWriter(int fd, const void* data, size_t size) { return long(::write(fd, data, size / 2)); }
long watchingWriter(int fd, const void* data, size_t size) {
  rt::term::Screen& s = screen();
  int bold = 0;
  for (int c = 12; c < 69; ++c) bold += s.cell(21, c).attr == gBold ? 1 : 0;
  gSeen->push_back({s.rowText(19).substr(11, 7), bold});
  return long(::write(fd, data, size));
}

class CopyFile : public ScreenTest {
 protected:
  void SetUp() override {
    ScreenTest::SetUp();
    palette();
    screen().setCursor(4, 7);
    screen().setCursorShape(rt::term::CursorShape::Insert);
  }
  void TearDown() override {
    con::setCopyWriter(nullptr);
    // Every way out gives the cursor back.
    EXPECT_EQ(screen().row(), 4);
    EXPECT_EQ(screen().col(), 7);
    EXPECT_EQ(screen().cursorShape(), rt::term::CursorShape::Insert);
    ScreenTest::TearDown();
  }
  TempDir dir;
};

TEST_F(CopyFile, CopiesWithProgressBlockByBlock) {
  std::string data;
  for (int i = 0; i < 40000; ++i) data += char(i * 7);
  dir.write("src.bin", data);
  std::vector<Seen> seen;
  gSeen = &seen;
  gBold = attr(39, 7);
  con::setCopyWriter(watchingWriter);
  std::string before = h.text();
  EXPECT_EQ(con::COPYFILE(dir.file("src.bin"), dir.file("dst.bin"), true), 0);
  EXPECT_EQ(dir.read("dst.bin"), data);
  ASSERT_EQ(seen.size(), 3u);  // 16384, 16384 and 7232 bytes
  EXPECT_EQ(seen[0].percent, "  0 %  ");
  EXPECT_EQ(seen[0].boldCells, 0);
  EXPECT_EQ(seen[1].percent, " 40 %  ");
  EXPECT_EQ(seen[1].boldCells, 23);
  EXPECT_EQ(seen[2].percent, " 81 %  ");
  EXPECT_EQ(seen[2].boldCells, 46);
  EXPECT_EQ(h.text(), before);  // the window is gone
}

TEST_F(CopyFile, ProgressTitleShowsShortenedNames) {
  EXPECT_EQ(con::shortCopyName("12345678901234567890"), "12345678901234567890");
  EXPECT_EQ(con::shortCopyName("ABCDEFGHIJKLMNOPQRSTUVWXY"), "...IJKLMNOPQRSTUVWXY");
  dir.write("a.bin", std::string(100, 'a'));
  std::vector<Seen> seen;
  gSeen = &seen;
  con::setCopyWriter([](int fd, const void* d, size_t n) -> long {
    gSeen->push_back({screen().rowText(19), 0});
    return long(::write(fd, d, n));
  });
  std::string src = dir.file("a.bin");
  EXPECT_EQ(con::COPYFILE(src, dir.file("b.bin"), true), 0);
  ASSERT_EQ(seen.size(), 1u);
  EXPECT_EQ(seen[0].percent.substr(11, 7), "  0 %  ");
  EXPECT_EQ(seen[0].percent.substr(18, 8 + 20), "Kopiuje " + con::shortCopyName(src));
}

TEST_F(CopyFile, EmptySourceGivesAnEmptyCopy) {
  dir.write("empty", "");
  EXPECT_EQ(con::COPYFILE(dir.file("empty"), dir.file("copy"), true), 0);
  EXPECT_TRUE(std::filesystem::exists(dir.file("copy")));
  EXPECT_EQ(dir.read("copy"), "");
}

TEST_F(CopyFile, ResultCodes) {
  dir.write("src", "source");
  dir.write("old", "keep me");
  con::WarningCapture warnings;
  EXPECT_EQ(con::COPYFILE(dir.file("src"), "  "), con::kCopyBadNames);
  EXPECT_EQ(con::COPYFILE("", dir.file("old")), con::kCopyBadNames);
  ASSERT_EQ(warnings.messages().size(), 2u);
  EXPECT_EQ(warnings.messages()[0][0], "Bl`e`dne przekazanie parametro`w !");
  EXPECT_EQ(con::COPYFILE(dir.file("missing"), dir.file("old")), con::kCopyNoSource);
  EXPECT_EQ(dir.read("old"), "keep me");
  EXPECT_EQ(con::COPYFILE(dir.file("src"), dir.file("no/dir/x")), ENOENT);
}

TEST_F(CopyFile, ReadOnlyDestinationIsOverwritten) {
  dir.write("src", "new");
  std::string dst = dir.write("dst", "old contents");
  ::chmod(dst.c_str(), 0444);
  EXPECT_EQ(con::COPYFILE(dir.file("src"), dst), 0);
  EXPECT_EQ(dir.read("dst"), "new");
}

TEST_F(CopyFile, ShortWriteKeepsWhatWasWritten) {
  dir.write("src", std::string(1000, 'z'));
  con::setCopyWriter(shortWriter);
  EXPECT_EQ(con::COPYFILE(dir.file("src"), dir.file("dst"), true), con::kCopyShortWrite);
  EXPECT_EQ(dir.read("dst"), std::string(500, 'z'));
}

TEST_F(CopyFile, RefusesToCopyAFileOntoItself) {
  dir.write("Dane.dbf", "precious");
  const std::string names[] = {dir.file("Dane.dbf"), dir.path() + "/./Dane.dbf",
                               dir.path() + "\\DANE.DBF"};
  for (const auto& n : names) {
    EXPECT_EQ(con::COPYFILE(dir.file("Dane.dbf"), n, true), con::kCopyOntoItself) << n;
    EXPECT_EQ(dir.read("Dane.dbf"), "precious");
  }
}

}  // namespace
