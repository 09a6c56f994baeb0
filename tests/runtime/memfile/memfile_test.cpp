// Memory files: round trips of every stored type, masks, additive and releasing restores, and
// damaged or truncated files that must change no variable.
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <iterator>

#include "runtime/core/context.h"
#include "runtime/core/error.h"
#include "runtime/core/file_names.h"
#include "runtime/memfile/memfile.h"

namespace {

namespace fs = std::filesystem;
using rt::Value;

class MemFile : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = fs::temp_directory_path() / ("zef_mem_" + std::to_string(::getpid()) + "_" +
                                         ::testing::UnitTest::GetInstance()->current_test_info()->name());
    fs::remove_all(dir_);
    fs::create_directories(dir_);
    vars().clearAll();
  }
  void TearDown() override {
    vars().clearAll();
    fs::remove_all(dir_);
  }
  static rt::Memvars& vars() { return rt::context().memvars; }
  std::string file(const std::string& name) const { return (dir_ / name).string(); }
  std::string bytesOf(const std::string& name) const {
    std::ifstream in(dir_ / name, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
  }
  void writeBytes(const std::string& name, const std::string& bytes) const {
    std::ofstream(dir_ / name, std::ios::binary) << bytes;
  }

  fs::path dir_;
};

std::string allBytesTwice() {
  std::string s;
  for (int k = 0; k < 2; ++k)
    for (int c = 0; c < 256; ++c) s += char(c);
  return s;  // 512 bytes, every byte value, NUL and 0x1A included
}

TEST_F(MemFile, RoundTripKeepsTypesWidthsAndFullNames) {
  rt::PrivateFrame frame(vars());
  vars().declarePublic("zusx_zaokraglenie_kwot", Value::number(0.01, 2, 12));
  vars().declarePublic("zusx_tekst_dlugi", Value::text(allBytesTwice()));
  vars().declarePublic("zusx_data", Value::date(0));
  vars().declarePublic("zusx_data2", Value::date(2460341));
  vars().declarePublic("zusx_flag", Value::logical(true));
  vars().declarePublic("zusx_ujemna", Value::number(-1234.565, 3));
  vars().declarePublic("zusx_tablica", Value::newArray(2));  // not storable: skipped
  rt::mem::save(file("zaokrag.zus"), "zusx_*");
  EXPECT_TRUE(fs::exists(dir_ / "zaokrag.zus"));

  vars().clearAll();
  rt::mem::restore(file("zaokrag.zus"), false);
  const Value& n = vars().get("ZUSX_ZAOKRAGLENIE_KWOT");
  EXPECT_DOUBLE_EQ(n.num(), 0.01);
  EXPECT_EQ(n.decimals(), 2);
  EXPECT_EQ(n.width(), 12);
  EXPECT_EQ(vars().get("zusx_tekst_dlugi").str(), allBytesTwice());
  EXPECT_EQ(vars().get("zusx_data").date(), 0);
  EXPECT_EQ(vars().get("zusx_data2").date(), 2460341);
  EXPECT_TRUE(vars().get("zusx_flag").logical());
  EXPECT_DOUBLE_EQ(vars().get("zusx_ujemna").num(), -1234.565);
  EXPECT_EQ(vars().get("zusx_ujemna").decimals(), 3);
  EXPECT_EQ(vars().get("zusx_ujemna").width(), rt::kDefaultWidth);
  EXPECT_FALSE(vars().exists("zusx_tablica"));
}

TEST_F(MemFile, MaskSelectsNamesWithoutRegardToCase) {
  rt::PrivateFrame frame(vars());
  vars().declarePublic("ZUSX_A", Value::integer(1));
  vars().declarePrivate("zusx_b", Value::integer(2));
  vars().declarePublic("zas_c", Value::integer(3));
  rt::mem::save(file("sel"), "zusx_*");
  auto stored = rt::mem::readFile(file("sel.mem"));
  ASSERT_EQ(stored.size(), 2u);
  EXPECT_EQ(stored[0].name, "ZUSX_A");
  EXPECT_EQ(stored[1].name, "ZUSX_B");

  rt::mem::save(file("rest"), "zusx_*", /*except=*/true);
  auto others = rt::mem::readFile(file("rest.mem"));
  ASSERT_EQ(others.size(), 1u);
  EXPECT_EQ(others[0].name, "ZAS_C");
}

TEST_F(MemFile, AdditiveRestoreKeepsScopeAndMakesNewOnesPrivate) {
  {
    rt::PrivateFrame writer(vars());
    vars().declarePrivate("zusx_old", Value::text("stored"));
    vars().declarePrivate("zusx_new", Value::integer(7));
    rt::mem::save(file("add"), "zusx_*");
  }
  vars().declarePublic("zusx_old", Value::text("before"));
  vars().declarePublic("untouched", Value::integer(1));
  {
    rt::PrivateFrame restoring(vars());
    rt::mem::restore(file("add"), true);
    EXPECT_EQ(vars().get("zusx_old").str(), "stored");
    EXPECT_TRUE(vars().isPublic("zusx_old"));
    EXPECT_EQ(vars().get("zusx_new").num(), 7);
    EXPECT_FALSE(vars().isPublic("zusx_new"));
    EXPECT_EQ(vars().get("untouched").num(), 1);
  }
  // The private of the restoring routine is gone with it; the public keeps the stored value.
  EXPECT_FALSE(vars().exists("zusx_new"));
  EXPECT_EQ(vars().get("zusx_old").str(), "stored");
}

TEST_F(MemFile, RestoreWithoutAdditiveReleasesTheOthers) {
  {
    rt::PrivateFrame writer(vars());
    vars().declarePrivate("kept", Value::logical(true));
    rt::mem::save(file("only"));
  }
  vars().declarePublic("dropped", Value::integer(5));
  {
    rt::PrivateFrame restoring(vars());
    rt::mem::restore(file("only"), false);
    EXPECT_FALSE(vars().exists("dropped"));
    EXPECT_TRUE(vars().get("kept").logical());
    EXPECT_FALSE(vars().isPublic("kept"));
  }
  EXPECT_FALSE(vars().exists("kept"));
}

TEST_F(MemFile, DamagedOrTruncatedFilesChangeNoVariable) {
  {
    rt::PrivateFrame writer(vars());
    vars().declarePrivate("zusx_a", Value::text("new value"));
    vars().declarePrivate("zusx_b", Value::number(2.5, 1));
    rt::mem::save(file("good"));
  }
  const std::string good = bytesOf("good.mem");
  vars().declarePublic("zusx_a", Value::text("old value"));

  std::vector<std::string> damaged;
  for (size_t cut : {size_t(0), size_t(5), size_t(16), size_t(20), good.size() / 2, good.size() - 1})
    damaged.push_back(good.substr(0, cut));
  for (size_t at : {size_t(9), size_t(17), good.size() / 2, good.size() - 2}) {
    std::string flipped = good;
    flipped[at] = char(flipped[at] ^ 0x40);
    damaged.push_back(flipped);
  }
  damaged.push_back(good + "x");
  damaged.push_back("plain text, not a memory file");
  for (size_t i = 0; i < damaged.size(); ++i) {
    writeBytes("bad.mem", damaged[i]);
    rt::PrivateFrame restoring(vars());
    try {
      rt::mem::restore(file("bad"), false);
      ADD_FAILURE() << "case " << i << " was accepted";
    } catch (const rt::Error& e) {
      EXPECT_EQ(e.kind(), rt::ErrorKind::Corrupt) << "case " << i;
      EXPECT_EQ(e.file(), file("bad.mem"));
      EXPECT_EQ(e.description().rfind("Damaged memory file", 0), 0u) << e.description();
    }
    EXPECT_EQ(vars().get("zusx_a").str(), "old value") << "case " << i;
    EXPECT_TRUE(vars().isPublic("zusx_a"));
    EXPECT_FALSE(vars().exists("zusx_b"));
  }
}

TEST_F(MemFile, MissingFileIsAnOpenError) {
  try {
    rt::mem::restore(file("none"), true);
    FAIL();
  } catch (const rt::Error& e) {
    EXPECT_EQ(e.kind(), rt::ErrorKind::Open);
    EXPECT_EQ(e.file(), file("none.mem"));
  }
}

TEST_F(MemFile, RewriteReplacesAtomicallyAndLeavesNoTemporaryFile) {
  rt::PrivateFrame frame(vars());
  vars().declarePrivate("x", Value::integer(1));
  rt::mem::save(file("swap"));
  vars().assign("x", Value::integer(2));
  rt::mem::save(file("SWAP"));  // the same file in another case
  auto stored = rt::mem::readFile(file("swap.mem"));
  ASSERT_EQ(stored.size(), 1u);
  EXPECT_EQ(stored[0].value.num(), 2);
  size_t files = 0;
  for (const auto& e : fs::directory_iterator(dir_)) {
    ++files;
    EXPECT_EQ(e.path().filename(), "swap.mem");
  }
  EXPECT_EQ(files, 1u);
}

TEST(MemFileNames, ExtensionOnlyWhenNoneIsGiven) {
  EXPECT_EQ(rt::mem::withExtension("zus_kdr"), "zus_kdr.mem");
  EXPECT_EQ(rt::mem::withExtension("zas.zus"), "zas.zus");
  EXPECT_EQ(rt::mem::withExtension("place\\par_prog"), "place\\par_prog.mem");
  EXPECT_EQ(rt::mem::withExtension("dir.d\\wersja"), "dir.d\\wersja.mem");
  EXPECT_EQ(rt::mem::withExtension("C:minipl"), "C:minipl.mem");
}

TEST(MemFileFormat, DecodesTheDocumentedLayout) {
  // One logical .T. named "A" and one number 1.5 (width none, 1 decimal) named "BC".
  std::string body = std::string("ZEFMEMF\x1A", 8) + std::string("\x01\x00\x00\x00\x02\x00\x00\x00", 8) +
                     std::string("L\x01\x00" "A\x01", 5) +
                     std::string("N\x02\x00" "BC\xFF\xFF\x01\x00\x00\x00\x00\x00\x00\x00\xF8\x3F", 17);
  uint32_t crc = rt::mem::crc32(body);
  std::string bytes = body;
  for (int k = 0; k < 4; ++k) bytes += char((crc >> (8 * k)) & 0xFF);
  auto vars = rt::mem::decode(bytes, "x.mem");
  ASSERT_EQ(vars.size(), 2u);
  EXPECT_EQ(vars[0].name, "A");
  EXPECT_TRUE(vars[0].value.logical());
  EXPECT_EQ(vars[1].name, "BC");
  EXPECT_DOUBLE_EQ(vars[1].value.num(), 1.5);
  EXPECT_EQ(vars[1].value.decimals(), 1);
  EXPECT_EQ(rt::mem::encode(vars), bytes);
  EXPECT_EQ(rt::mem::crc32("123456789"), 0xCBF43926u);  // the standard check value
}

}  // namespace
