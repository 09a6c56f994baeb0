// File, directory and number services.
#include "console/file_utils.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cmath>
#include <filesystem>

#include "runtime/core/file_names.h"
#include "runtime/core/std_strings.h"

namespace con {

namespace {

std::string currentDirectory() {
  std::error_code ec;
  auto p = std::filesystem::current_path(ec);
  return ec ? std::string() : p.string();
}

}  // namespace

std::string DISKNAME() { return "C"; }

std::string DIRNAME(bool fullPath) {
  std::string cwd = currentDirectory();
  // The part below the directory that the drive letter stands for, in the Windows spelling.
  std::string root = rt::driveRoot('C');
  while (root.size() > 1 && root.back() == '/') root.pop_back();
  std::string rel = cwd;
  if (root != "/" && rel.compare(0, root.size(), root) == 0 &&
      (rel.size() == root.size() || rel[root.size()] == '/'))
    rel.erase(0, root.size());
  while (!rel.empty() && rel.front() == '/') rel.erase(0, 1);
  for (char& c : rel)
    if (c == '/') c = '\\';
  return fullPath ? DISKNAME() + ":\\" + rel : rel;
}

bool ISDIR(std::string_view dir) {
  std::string name(rt::trimBlanks(dir));
  if (name.empty()) return false;
  std::error_code ec;
  return std::filesystem::is_directory(rt::mapPath(name), ec);
}

bool N_ISDIR(std::string_view dir) {
  std::string name(rt::trimBlanks(dir));
  if (name.empty() || name.back() != '\\') name += '\\';
  // A listing of "*.*" there with hidden, system and directory entries finds at least the
  // directory's own entries exactly when it is a directory.
  std::string mapped = rt::mapPath(name);
  if (mapped.empty()) mapped.assign(1, '/');
  std::error_code ec;
  return std::filesystem::is_directory(mapped, ec);
}

std::string attributeText(double attr) {
  if (attr == 0) return "-R-H-S";
  std::string bits = BIC_I2UL(attr);
  std::string low = bits.substr(bits.size() - 6);  // bit values 32 16 8 4 2 1
  std::string text;
  if (low[5] == '1') text += "R";
  if (low[4] == '1') text += "H";
  if (low[3] == '1') text += "S";
  if (low[0] == '1') text += "-A";
  return text;
}

int E_SETFATTR(std::string_view fileName, double attr) {
  std::string text = attributeText(attr);
  std::string path = rt::mapPath(fileName);
  struct stat st {};
  if (::stat(path.c_str(), &st) != 0) return 0;
  mode_t mode = st.st_mode & 07777;
  // "-R" makes the file writable for its owner; "R" (not preceded by "-") takes writing away.
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] != 'R') continue;
    bool remove = i > 0 && text[i - 1] == '-';
    mode = remove ? (mode | S_IWUSR) : (mode & ~mode_t(S_IWUSR | S_IWGRP | S_IWOTH));
  }
  if (mode != (st.st_mode & 07777)) ::chmod(path.c_str(), mode);
  return 0;
}

double E_INT(double n) {
  double t = std::trunc(n);
  return t == 0 ? 0 : t;  // no negative zero
}

std::vector<double> DZIES2TAB(double n, double base) {
  std::vector<double> digits;
  if (!(n >= 0) || !std::isfinite(n) || !(base >= 2)) return digits;
  double work = n;
  for (;;) {
    digits.insert(digits.begin(), E_INT(std::fmod(work, base)));
    work = E_INT(work / base);
    if (work == 0) break;
  }
  return digits;
}

std::string BIC_I2UL(double n) {
  std::string text;
  for (double d : DZIES2TAB(n, 2)) text += char('0' + int(d));
  if (text.size() < 32) text.insert(0, 32 - text.size(), '0');
  return text;
}

}  // namespace con
