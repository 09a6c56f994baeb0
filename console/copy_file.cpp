// Copying one file with progress.
#include "console/copy_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cmath>
#include <optional>

#include "console/file_utils.h"
#include "console/palette.h"
#include "console/warning.h"
#include "console/window.h"
#include "runtime/core/file_names.h"
#include "runtime/term/terminal.h"

namespace con {

namespace {

long systemWrite(int fd, const void* data, size_t size) { return long(::write(fd, data, size)); }
WriteFunction gWriter = systemWrite;

// An open descriptor, closed when the scope ends.
class Fd {
 public:
  explicit Fd(int fd = -1) : fd_(fd) {}
  ~Fd() { close(); }
  Fd(const Fd&) = delete;
  Fd& operator=(const Fd&) = delete;
  int get() const { return fd_; }
  bool ok() const { return fd_ >= 0; }
  void close() {
    if (fd_ >= 0) ::close(fd_);
    fd_ = -1;
  }

 private:
  int fd_;
};

// The cursor's place and shape, given back on every way out; hidden meanwhile.
class CursorKeeper {
 public:
  CursorKeeper()
      : row_(rt::term::screen().row()),
        col_(rt::term::screen().col()),
        shape_(rt::term::screen().cursorShape()) {
    rt::term::screen().setCursorShape(rt::term::CursorShape::None);
  }
  ~CursorKeeper() {
    rt::term::screen().setCursor(row_, col_);
    rt::term::screen().setCursorShape(shape_);
  }
  CursorKeeper(const CursorKeeper&) = delete;
  CursorKeeper& operator=(const CursorKeeper&) = delete;

 private:
  int row_, col_;
  rt::term::CursorShape shape_;
};

bool isBlank(std::string_view s) { return s.find_first_not_of(' ') == std::string_view::npos; }

// "999 %  ": the percentage in three positions, then " %  ".
std::string copyPercent(double percent) {
  std::string digits = std::to_string(long(std::trunc(percent)));
  if (digits.size() > 3) digits = "***";
  digits.insert(0, 3 - digits.size(), ' ');
  return digits + " %  ";
}

bool sameFile(const std::string& a, const std::string& b) {
  struct stat sa {}, sb {};
  if (::stat(a.c_str(), &sa) != 0 || ::stat(b.c_str(), &sb) != 0) return false;
  return sa.st_dev == sb.st_dev && sa.st_ino == sb.st_ino;
}

class ProgressWindow {
 public:
  ProgressWindow(std::string_view source, std::string_view destination)
      : window_(WindowSpec{-kTitleBar, 19, 10, 22, 70, std::string(), kProgressSet, false}) {
    auto& scr = rt::term::screen();
    rt::term::DispGuard burst;
    std::string head = copyPercent(0);
    scr.put(19, 11, head, attr(kTitlePair));
    scr.put(19, 11 + int(head.size()),
            displayText("Kopiuje " + shortCopyName(source) + " do " + shortCopyName(destination)),
            attr(kTitlePair));
    scr.put(21, 12, std::string(57, '-'), attr(kStandardPair));
  }
  void show(double done, double size) {
    auto& scr = rt::term::screen();
    rt::term::DispGuard burst;
    scr.put(19, 11, copyPercent(done / size * 100), attr(kTitlePair));
    double cells = std::trunc(done / size * 57);
    if (cells > 0) scr.put(21, 12, std::string(size_t(std::min(cells, 57.0)), '-'), attr(kBoldPair));
  }

 private:
  static rt::term::Attr attr(int element) {
    return rt::term::firstPairAttr(pairString(kProgressSet, element),
                                   rt::term::screen().colors().standard());
  }
  Window window_;
};

}  // namespace

WriteFunction setCopyWriter(WriteFunction writer) {
  WriteFunction previous = gWriter;
  gWriter = writer ? writer : systemWrite;
  return previous;
}

std::string shortCopyName(std::string_view name) {
  if (name.size() <= 20) return std::string(name);
  return "..." + std::string(name.substr(name.size() - 17));
}

int COPYFILE(std::string_view source, std::string_view destination, bool progress) {
  CursorKeeper cursor;
  if (isBlank(source) || isBlank(destination)) {
    showWarning({kBadCopyNames});
    return kCopyBadNames;
  }
  if (!rt::fileExists(source)) return kCopyNoSource;
  std::string from = rt::mapPath(source);
  std::string to = rt::mapPath(destination, rt::PathUse::Create);
  // Copying a file onto itself would truncate it before the first read: refused.
  if (sameFile(from, to)) return kCopyOntoItself;

  Fd in(::open(from.c_str(), O_RDONLY | O_CLOEXEC));
  if (!in.ok()) return errno ? errno : EIO;
  if (rt::fileExists(destination)) E_SETFATTR(destination, 0);
  Fd out(::open(to.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666));
  if (!out.ok()) return errno ? errno : EIO;

  std::optional<ProgressWindow> window;
  double size = 1;
  if (progress) {
    off_t end = ::lseek(in.get(), 0, SEEK_END);
    size = end > 0 ? double(end) : 1;
    ::lseek(in.get(), 0, SEEK_SET);
    window.emplace(source, destination);
  }

  std::string buffer(kCopyBlock, ' ');
  double total = 0;
  int result = kCopyOk;
  for (;;) {
    std::fill(buffer.begin(), buffer.end(), ' ');
    ssize_t got;
    do got = ::read(in.get(), buffer.data(), kCopyBlock);
    while (got < 0 && errno == EINTR);
    if (got < 0) {
      result = errno ? errno : EIO;
      break;
    }
    if (got == 0) break;
    // One write per block, as the block was read: fewer bytes stored than read means the disk
    // took no more.
    long n;
    do n = gWriter(out.get(), buffer.data(), size_t(got));
    while (n < 0 && errno == EINTR);
    if (n < 0) {
      result = errno ? errno : EIO;
      break;
    }
    size_t written = size_t(n);
    if (written < size_t(got)) {
      result = kCopyShortWrite;
      break;
    }
    total += double(written);
    if (window) window->show(total, size);
  }
  out.close();
  in.close();
  return result;
}

}  // namespace con
