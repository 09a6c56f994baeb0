// The text file and the printer: UTF-8 text with the style codes dropped; the printer's text is
// handed to `lp` when the print ends.
//
// A print file is written under a temporary name beside the file it replaces and renamed into
// place when it ends, so that the previous print stays whole until the new one is written; a
// print that fails is dropped with its temporary file. A print cut short keeps what was printed
// and ends with a line that says so.
#include <unistd.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "runtime/core/cp852.h"
#include "runtime/core/error.h"
#include "runtime/print/device.h"
#include "runtime/print/styled_text.h"
#include "runtime/term/glyphs.h"

extern char** environ;

namespace rt::print {
namespace {

WriteFault& writeFault() {
  static WriteFault fault;
  return fault;
}

// A message written here in UTF-8, in code page 852 as the message windows show it.
std::string pl(std::string_view utf8) { return utf8ToCp852(utf8); }

// Why a file operation failed, in words for the user.
std::string reason(int code) {
  switch (code) {
    case ENOSPC:
    case EDQUOT:
    case EFBIG: return pl("brak miejsca na dysku");
    case EACCES:
    case EPERM: return pl("brak uprawnień");
    case ENOENT:
    case ENOTDIR: return pl("brak katalogu");
    case EROFS: return pl("dysk tylko do odczytu");
    case EISDIR: return pl("istnieje katalog o tej nazwie");
    default: return pl("błąd systemu nr ") + std::to_string(code);
  }
}

// The file and the system's reason are the error's fields, so a long path cannot push the
// reason out of the message.
[[noreturn]] void cannotCreate(const std::string& path, int code) {
  throw userError(ErrorKind::Create, pl("Nie można utworzyć pliku wydruku"), "print", path, code);
}

[[noreturn]] void cannotWrite(const std::string& path, int code) {
  throw userError(ErrorKind::Write, pl("Nie można zapisać pliku wydruku"), "print", path, code);
}

std::string findOnPath(const std::string& program) {
  const char* path = std::getenv("PATH");
  std::string dirs = path ? path : "/usr/bin:/bin";
  size_t start = 0;
  while (start <= dirs.size()) {
    size_t end = dirs.find(':', start);
    if (end == std::string::npos) end = dirs.size();
    std::string dir = dirs.substr(start, end - start);
    if (dir.empty()) dir = ".";
    std::string candidate = dir + "/" + program;
    if (access(candidate.c_str(), X_OK) == 0) return candidate;
    start = end + 1;
  }
  return {};
}

// A file made afresh under a unique name from `templ` ("...XXXXXX"); its name goes back in templ.
FILE* createUnique(std::string& templ, const std::string& shownName) {
  std::vector<char> buf(templ.begin(), templ.end());
  buf.push_back('\0');
  int fd = mkstemp(buf.data());
  if (fd < 0) cannotCreate(shownName, errno);
  templ = buf.data();
  // The print gets the permissions a file created in the ordinary way would get.
  mode_t mask = ::umask(0);
  ::umask(mask);
  ::fchmod(fd, 0666 & ~mask);
  FILE* f = fdopen(fd, "wb");
  if (!f) {
    int code = errno;
    ::close(fd);
    std::remove(templ.c_str());
    cannotCreate(shownName, code);
  }
  return f;
}

// Writes lines as UTF-8 into a temporary file it owns; close() renames it to `finalPath` when one
// is given. Destroyed without close(), it removes its temporary file.
class TextFile {
 public:
  TextFile(std::string finalPath, std::string templ, const DeviceOptions& options)
      : final_(std::move(finalPath)), options_(options) {
    file_ = createUnique(templ, final_.empty() ? templ : final_);
    temp_ = templ;
  }
  ~TextFile() {
    if (file_) std::fclose(file_);
    if (!temp_.empty()) std::remove(temp_.c_str());
  }
  TextFile(const TextFile&) = delete;
  TextFile& operator=(const TextFile&) = delete;

  void line(std::string_view text) {
    std::string plain = stripCodes(text);
    if (options_.asciiBoxes) plain = boxToAscii(plain);
    std::string out = term::glyphsToUtf8(plain);
    out += '\n';
    write(out);
    widest_ = std::max(widest_, printedWidth(text));
  }
  void pageBreak() {
    if (options_.formFeeds) write("\f");
  }
  // Ends the file; `cutShort` adds the line that says the print was interrupted.
  void close(bool cutShort) {
    if (cutShort) line("*** Wydruk przerwany ***");
    FILE* f = file_;
    file_ = nullptr;
    int failed = std::fflush(f) != 0 ? errno : 0;
    if (!failed && ::fsync(fileno(f)) != 0 && errno != EINVAL) failed = errno;
    if (std::fclose(f) != 0 && !failed) failed = errno;
    if (failed) cannotWrite(shownName(), failed);
    if (final_.empty()) return;
    if (std::rename(temp_.c_str(), final_.c_str()) != 0) cannotWrite(shownName(), errno);
    temp_.clear();
  }
  const std::string& tempPath() const { return temp_; }
  int widest() const { return widest_; }

 private:
  const std::string& shownName() const { return final_.empty() ? temp_ : final_; }
  void write(const std::string& s) {
    if (writeFault()) {
      if (int code = writeFault()(shownName())) cannotWrite(shownName(), code);
    }
    if (std::fwrite(s.data(), 1, s.size(), file_) != s.size()) cannotWrite(shownName(), errno ? errno : ENOSPC);
  }

  std::string final_, temp_;
  DeviceOptions options_;
  FILE* file_ = nullptr;
  int widest_ = 0;
};

class FileDevice : public Device {
 public:
  explicit FileDevice(const DeviceOptions& o) : file_(o.path, o.path + ".XXXXXX", o) {}
  DeviceKind kind() const override { return DeviceKind::File; }
  void line(std::string_view text) override { file_.line(text); }
  void pageBreak() override { file_.pageBreak(); }
  void close(bool cutShort) override { file_.close(cutShort); }

 private:
  TextFile file_;
};

class PrinterDevice : public Device {
 public:
  PrinterDevice(std::string lp, const DeviceOptions& o)
      : lp_(std::move(lp)),
        options_(o),
        file_("", (std::filesystem::temp_directory_path() / "print-XXXXXX").string(), o) {}
  DeviceKind kind() const override { return DeviceKind::Printer; }
  void line(std::string_view text) override { file_.line(text); }
  void pageBreak() override { file_.pageBreak(); }
  void close(bool cutShort) override {
    file_.close(cutShort);
    send();
  }

 private:
  void send() {
    std::vector<std::string> args = lpArguments(options_, file_.widest());
    args.insert(args.begin(), lp_);
    args.push_back("--");
    args.push_back(file_.tempPath());
    std::vector<char*> argv;
    for (std::string& a : args) argv.push_back(a.data());
    argv.push_back(nullptr);
    pid_t pid;
    int rc = posix_spawn(&pid, lp_.c_str(), nullptr, nullptr, argv.data(), environ);
    if (rc != 0)
      throw userError(ErrorKind::Other, pl("Nie można uruchomić polecenia drukowania ") + lp_ + ": " + reason(rc),
                      "print");
    int status = 0;
    while (waitpid(pid, &status, 0) < 0 && errno == EINTR) {
    }
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0)
      throw userError(ErrorKind::Other,
                  pl("Drukarka nie przyjęła wydruku (polecenie lp zakończone kodem ") +
                      std::to_string(WIFEXITED(status) ? WEXITSTATUS(status) : -1) + ")",
                  "print");
  }

  std::string lp_;
  DeviceOptions options_;
  TextFile file_;
};

}  // namespace

void setWriteFault(WriteFault fault) { writeFault() = std::move(fault); }

std::vector<std::string> lpArguments(const DeviceOptions& options, int widestLine) {
  // An A4 sheet less the printer's margins: about 7.5 by 10.8 inches upright, 11 by 7.4 across.
  constexpr double kUprightWidth = 7.5, kUprightHeight = 10.8, kAcrossWidth = 11.0, kAcrossHeight = 7.4;
  constexpr int kPlainPitch = 10, kCondensedPitch = 17;
  const int columns = std::max(widestLine, 1);
  const bool across = columns > int(kUprightWidth * kCondensedPitch);
  const double width = across ? kAcrossWidth : kUprightWidth, height = across ? kAcrossHeight : kUprightHeight;
  const int pitch = std::max(across ? kCondensedPitch : kPlainPitch, int(std::ceil(columns / width)));
  std::vector<std::string> args;
  if (!options.title.empty()) {
    args.push_back("-t");
    args.push_back(options.title);
  }
  args.insert(args.end(), {"-o", across ? "landscape" : "portrait", "-o", "cpi=" + std::to_string(pitch)});
  if (options.pageLength > 0) {
    int lpi = std::max(6, int(std::ceil(options.pageLength / height)));
    args.insert(args.end(), {"-o", "lpi=" + std::to_string(lpi)});
  }
  return args;
}

bool printerAvailable() { return !findOnPath("lp").empty(); }

std::string noPrinterMessage() {
  return pl("Brak drukarki (w systemie nie ma polecenia lp) - wydrukuj na ekran lub do pliku.");
}

std::unique_ptr<Device> openScreenDevice(const DeviceOptions& options);

std::unique_ptr<Device> openDevice(DeviceKind kind, const DeviceOptions& options) {
  switch (kind) {
    case DeviceKind::Screen:
      return openScreenDevice(options);
    case DeviceKind::File:
      if (options.path.empty())
        throw userError(ErrorKind::Argument, pl("Nie podano nazwy pliku wydruku"), "print");
      return std::make_unique<FileDevice>(options);
    case DeviceKind::Printer: {
      std::string lp = findOnPath("lp");
      if (lp.empty()) throw userError(ErrorKind::Open, noPrinterMessage(), "print");
      return std::make_unique<PrinterDevice>(lp, options);
    }
  }
  throw userError(ErrorKind::Argument, pl("Nieznane urządzenie wydruku"), "print");
}

}  // namespace rt::print
