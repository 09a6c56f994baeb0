// Directory tests, attributes and the integer helpers.
#include "console/file_utils.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include "temp_dir.h"

namespace {

TEST(FileUtils, AttributeTexts) {
  struct Case {
    double attr;
    const char* text;
  } cases[] = {{0, "-R-H-S"}, {35, "RH-A"}, {1, "R"}, {8, ""}, {64, ""}, {-1, ""}, {4, "S"}};
  for (const auto& c : cases) EXPECT_EQ(con::attributeText(c.attr), c.text) << c.attr;
}

TEST(FileUtils, ReadOnlyIsSetAndCleared) {
  contest::TempDir dir;
  std::string f = dir.write("a.txt", "x");
  EXPECT_EQ(con::E_SETFATTR(f, 1), 0);
  struct stat st {};
  ::stat(f.c_str(), &st);
  EXPECT_EQ(st.st_mode & S_IWUSR, 0u);
  EXPECT_EQ(con::E_SETFATTR(f, 0), 0);
  ::stat(f.c_str(), &st);
  EXPECT_NE(st.st_mode & S_IWUSR, 0u);
  EXPECT_EQ(con::E_SETFATTR(dir.file("missing"), 0), 0);
}

TEST(FileUtils, DirectoryTests) {
  contest::TempDir dir;
  dir.write("f.txt", "x");
  EXPECT_TRUE(con::ISDIR(dir.path()));
  EXPECT_FALSE(con::ISDIR(dir.file("f.txt")));
  EXPECT_FALSE(con::ISDIR(dir.file("none")));
  EXPECT_TRUE(con::N_ISDIR(" " + dir.path() + " "));
  EXPECT_TRUE(con::N_ISDIR(dir.path() + "\\"));
  EXPECT_FALSE(con::N_ISDIR(dir.file("none")));
  EXPECT_FALSE(con::N_ISDIR(dir.file("f.txt")));
}

TEST(FileUtils, IntegerHelpers) {
  EXPECT_EQ(con::E_INT(5.9), 5);
  EXPECT_EQ(con::E_INT(-2.7), -2);
  EXPECT_EQ(con::E_INT(-0.5), 0);
  EXPECT_EQ(con::DZIES2TAB(6, 2), (std::vector<double>{1, 1, 0}));
  EXPECT_EQ(con::DZIES2TAB(0, 2), (std::vector<double>{0}));
  EXPECT_TRUE(con::DZIES2TAB(-1, 2).empty());
  EXPECT_EQ(con::BIC_I2UL(5), std::string(29, '0') + "101");
  EXPECT_EQ(con::BIC_I2UL(-5), std::string(32, '0'));
  EXPECT_EQ(con::BIC_I2UL(8589934592.0).size(), 34u);
}

TEST(FileUtils, DirnameWithAndWithoutDrive) {
  std::string d = con::DIRNAME();
  EXPECT_TRUE(d.empty() || d.front() != '\\');
  EXPECT_EQ(con::DIRNAME(true), "C:\\" + d);
}

}  // namespace
