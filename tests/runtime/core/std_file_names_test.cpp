// Windows-style names mapped onto a temporary directory tree, and the file functions on it.
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>

#include "runtime/core/cp852.h"
#include "runtime/core/file_names.h"
#include "runtime/core/functions.h"
#include "runtime/core/std_files.h"
#include "runtime/core/std_functions.h"
#include "tests/runtime/core/core_test_support.h"

namespace {

namespace fs = std::filesystem;
using rt::Value;
using rt::testing::call;

Value S(const std::string& s) { return Value::text(s); }
Value N(double v) { return Value::number(v); }

// A temporary tree: ROOT/Place/PAR_PROG.mem, ROOT/wydruki/Url_Kas.LST, ROOT/data/a.dbf, b.DBF,
// with the current directory moved into it and the drive letters pointing at it.
class FileTree : public ::testing::Test {
 protected:
  void SetUp() override {
    root_ = fs::temp_directory_path() / ("zef_names_" + std::to_string(::getpid()) + "_" +
                                          ::testing::UnitTest::GetInstance()->current_test_info()->name());
    fs::remove_all(root_);
    fs::create_directories(root_ / "Place");
    fs::create_directories(root_ / "wydruki");
    fs::create_directories(root_ / "data");
    write("Place/PAR_PROG.mem", "x");
    write("wydruki/Url_Kas.LST", "list");
    write("data/a.dbf", "1");
    write("data/b.DBF", "22");
    write("data/noext", "3");
    previousDir_ = fs::current_path();
    fs::current_path(root_);
    rt::setDriveRoot(root_.string());
  }
  void TearDown() override {
    fs::current_path(previousDir_);
    rt::setDriveRoot("/");
    fs::remove_all(root_);
  }
  void write(const std::string& rel, const std::string& data) { std::ofstream(root_ / rel, std::ios::binary) << data; }
  std::string path(const std::string& rel) const { return (root_ / rel).string(); }

  fs::path root_, previousDir_;
};

TEST_F(FileTree, MapsBackslashesCaseAndDriveLetters) {
  EXPECT_EQ(rt::mapPath("place\\par_prog.MEM"), "Place/PAR_PROG.mem");
  EXPECT_EQ(rt::mapPath("WYDRUKI\\url_kas.lst"), "wydruki/Url_Kas.LST");
  EXPECT_EQ(rt::mapPath("C:\\PLACE\\Par_Prog.mem"), path("Place/PAR_PROG.mem"));
  EXPECT_EQ(rt::mapPath("d:\\data\\A.DBF"), path("data/a.dbf"));
  EXPECT_EQ(rt::mapPath(root_.string() + "/DATA/B.dbf"), path("data/b.DBF"));
  EXPECT_EQ(rt::mapPath(".\\place\\..\\DATA\\a.dbf"), "./Place/../data/a.dbf");
  // A missing component keeps its spelling, and so does everything after it.
  EXPECT_EQ(rt::mapPath("PLACE\\Nowy\\Plik.txt"), "Place/Nowy/Plik.txt");
  EXPECT_EQ(rt::mapPath("place\\new.mem", rt::PathUse::Create), "Place/new.mem");
  // Creating a name that exists in another case reaches that file, not a second one.
  EXPECT_EQ(rt::mapPath("place\\par_prog.mem", rt::PathUse::Create), "Place/PAR_PROG.mem");
}

TEST_F(FileTree, WildcardsAndFileExistence) {
  EXPECT_TRUE(rt::wildcardMatch("*.dbf", "B.DBF"));
  EXPECT_TRUE(rt::wildcardMatch("*.*", "noext"));
  EXPECT_TRUE(rt::wildcardMatch("a?c*", "abcdef"));
  EXPECT_FALSE(rt::wildcardMatch("*.dbf", "a.dbt"));
  EXPECT_EQ(rt::findFiles("DATA\\*.DBF"), (std::vector<std::string>{"data/a.dbf", "data/b.DBF"}));
  EXPECT_EQ(rt::findFiles("data\\*.*").size(), 3u);
  EXPECT_TRUE(call("FILE", {S("PLACE\\PAR_PROG.MEM")}).logical());
  EXPECT_TRUE(call("FILE", {S("data\\*.dbf")}).logical());
  EXPECT_FALSE(call("FILE", {S("data\\*.cdx")}).logical());
  EXPECT_FALSE(call("FILE", {S("data")}).logical());  // a directory is no file
  EXPECT_FALSE(call("FILE", {S("")}).logical());
}

TEST_F(FileTree, Directory) {
  Value rows = call("DIRECTORY", {S("DATA\\*.dbf")});
  ASSERT_EQ(rows.arr().size(), 2u);
  const rt::Array& first = rows.arr()[0].arr();
  EXPECT_EQ(first[0].str(), "a.dbf");
  EXPECT_EQ(first[1].num(), 1);
  EXPECT_TRUE(first[2].isDate());
  EXPECT_EQ(first[3].str().size(), 8u);
  EXPECT_EQ(first[4].str(), "A");
  EXPECT_EQ(call("DIRECTORY", {S("*.*")}).arr().size(), 0u);  // only directories at the top
  Value withDirs = call("DIRECTORY", {S("*.*"), S("D")});
  ASSERT_EQ(withDirs.arr().size(), 3u);
  EXPECT_EQ(withDirs.arr()[0].arr()[4].str(), "D");
}

TEST_F(FileTree, LowLevelFilesReadWriteSeek) {
  int h = int(call("FCREATE", {S("DATA\\new.txt")}).num());
  ASSERT_GE(h, 0);
  EXPECT_EQ(call("FWRITE", {N(h), S(std::string("ab\0cd\xA5", 6))}).num(), 6);
  EXPECT_EQ(call("FSEEK", {N(h), N(0)}).num(), 0);
  rt::Args args;
  Value buffer = S("......xyz");
  args.push(N(h));
  args.push(buffer, &buffer);
  args.push(N(6));
  EXPECT_EQ(rt::functions().call("FREAD", args).num(), 6);
  EXPECT_EQ(buffer.str(), std::string("ab\0cd\xA5xyz", 9));
  EXPECT_EQ(call("FSEEK", {N(h), N(-3), N(2)}).num(), 3);
  EXPECT_EQ(call("FREADSTR", {N(h), N(10)}).str(), "cd\xA5");
  EXPECT_TRUE(call("FCLOSE", {N(h)}).logical());
  EXPECT_FALSE(call("FCLOSE", {N(h)}).logical());  // no longer ours
  EXPECT_EQ(call("FERROR", {}).num(), 6);
  EXPECT_EQ(call("FOPEN", {S("data\\missing.txt")}).num(), -1);
  EXPECT_EQ(call("FERROR", {}).num(), 2);
  EXPECT_FALSE(call("FCLOSE", {N(0)}).logical());  // a descriptor this module did not open
}

TEST_F(FileTree, RenameEraseMemoReadWrite) {
  EXPECT_TRUE(call("MEMOWRIT", {S("data\\memo.txt"), S("line\r\n\xA5")}).logical());
  EXPECT_EQ(call("MEMOREAD", {S("DATA\\MEMO.TXT")}).str(), "line\r\n\xA5");
  EXPECT_EQ(call("MEMOREAD", {S("data\\none.txt")}).str(), "");
  EXPECT_EQ(call("FRENAME", {S("data\\memo.txt"), S("data\\b.dbf")}).num(), -1);  // never replaces
  EXPECT_EQ(call("FRENAME", {S("data\\MEMO.txt"), S("data\\memo2.txt")}).num(), 0);
  EXPECT_TRUE(fs::exists(path("data/memo2.txt")));
  EXPECT_EQ(call("FERASE", {S("DATA\\MEMO2.TXT")}).num(), 0);
  EXPECT_EQ(call("FERASE", {S("data\\memo2.txt")}).num(), -1);
  for (const auto& e : fs::directory_iterator(root_ / "data"))
    EXPECT_EQ(e.path().filename().string().find(".tmp"), std::string::npos);  // no leftovers
}

TEST_F(FileTree, CurdirAndMakedir) {
  EXPECT_EQ(call("CURDIR", {}).str(), "");
  EXPECT_EQ(call("MAKEDIR", {S("Nowy")}).num(), 0);
  EXPECT_EQ(call("DIRCHANGE", {S("nowy")}).num(), 0);
  EXPECT_EQ(call("CURDIR", {}).str(), "Nowy");
  EXPECT_GT(call("DISKSPACE", {}).num(), 0);
}

TEST(Cp852, CaseAndUtf8) {
  const std::string lower = "\xA5\x86\xA9\x88\xE4\xA2\x98\xAB\xBE";  // ąćęłńóśźż
  const std::string upper = "\xA4\x8F\xA8\x9D\xE3\xE0\x97\x8D\xBD";  // ĄĆĘŁŃÓŚŹŻ
  EXPECT_EQ(rt::upper852(lower), upper);
  EXPECT_EQ(rt::lower852(upper), lower);
  EXPECT_EQ(rt::cp852ToUtf8(lower), "ąćęłńóśźż");
  EXPECT_EQ(rt::utf8ToCp852("ĄĆĘŁŃÓŚŹŻ"), upper);
  EXPECT_EQ(rt::cp852ToUtf8("\xC9\xCD\xBB\xB3"), "╔═╗│");
  EXPECT_EQ(rt::utf8ToCp852("a€b"), "a?b");
  EXPECT_EQ(rt::utf8ToCp852(std::string("a\xC5", 2)), "a?");  // cut sequence
  EXPECT_EQ(rt::utf8ToCp852("\xFF" "b"), "?b");
  for (int c = 0; c < 256; ++c)
    EXPECT_EQ(rt::unicodeToCp852(rt::cp852ToUnicode(static_cast<unsigned char>(c))), c);
}

}  // namespace
