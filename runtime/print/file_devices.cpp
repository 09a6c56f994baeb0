// The text file and the printer: UTF-8 text with the style codes dropped; the printer's text is
// handed to `lp` when the print ends.
#include <unistd.h>
#include <spawn.h>
#include <sys/wait.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "runtime/core/error.h"
#include "runtime/print/device.h"
#include "runtime/print/styled_text.h"
#include "runtime/term/glyphs.h"

extern char** environ;

namespace rt::print {
namespace {

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

// Writes lines as UTF-8 into a stdio file it owns.
class TextFile {
 public:
  TextFile(const std::string& path, const DeviceOptions& options) : path_(path), options_(options) {
    file_ = std::fopen(path.c_str(), "wb");
    if (!file_)
      throw Error(ErrorKind::Create, "cannot create file " + path + ": " + std::strerror(errno),
                  "print", path, errno);
  }
  ~TextFile() {
    if (file_) std::fclose(file_);
  }
  void line(std::string_view text) {
    std::string plain = stripCodes(text);
    if (options_.asciiBoxes) plain = boxToAscii(plain);
    std::string out = term::glyphsToUtf8(plain);
    out += '\n';
    write(out);
  }
  void pageBreak() {
    if (options_.formFeeds) write("\f");
  }
  void close() {
    FILE* f = file_;
    file_ = nullptr;
    if (std::fclose(f) != 0)
      throw Error(ErrorKind::Write, "cannot write file " + path_ + ": " + std::strerror(errno),
                  "print", path_, errno);
  }

 private:
  void write(const std::string& s) {
    if (std::fwrite(s.data(), 1, s.size(), file_) != s.size())
      throw Error(ErrorKind::Write, "cannot write file " + path_ + ": " + std::strerror(errno),
                  "print", path_, errno);
  }
  std::string path_;
  DeviceOptions options_;
  FILE* file_ = nullptr;
};

class FileDevice : public Device {
 public:
  explicit FileDevice(const DeviceOptions& o) : file_(o.path, o) {}
  DeviceKind kind() const override { return DeviceKind::File; }
  void line(std::string_view text) override { file_.line(text); }
  void pageBreak() override { file_.pageBreak(); }
  void close(bool) override { file_.close(); }

 private:
  TextFile file_;
};

std::string tempPrintPath() {
  std::string dir = std::filesystem::temp_directory_path().string();
  std::string templ = dir + "/print-XXXXXX";
  std::vector<char> buf(templ.begin(), templ.end());
  buf.push_back('\0');
  int fd = mkstemp(buf.data());
  if (fd < 0)
    throw Error(ErrorKind::Create, "cannot create a temporary file for the printer: " +
                                       std::string(std::strerror(errno)),
                "print", templ, errno);
  ::close(fd);
  return buf.data();
}

class PrinterDevice : public Device {
 public:
  PrinterDevice(std::string lp, const DeviceOptions& o)
      : lp_(std::move(lp)), title_(o.title), path_(tempPrintPath()), file_(path_, o) {}
  ~PrinterDevice() override { std::remove(path_.c_str()); }
  DeviceKind kind() const override { return DeviceKind::Printer; }
  void line(std::string_view text) override { file_.line(text); }
  void pageBreak() override { file_.pageBreak(); }
  void close(bool) override {
    file_.close();
    send();
  }

 private:
  void send() {
    std::vector<std::string> args{lp_};
    if (!title_.empty()) {
      args.push_back("-t");
      args.push_back(title_);
    }
    args.push_back("--");
    args.push_back(path_);
    std::vector<char*> argv;
    for (std::string& a : args) argv.push_back(a.data());
    argv.push_back(nullptr);
    pid_t pid;
    int rc = posix_spawn(&pid, lp_.c_str(), nullptr, nullptr, argv.data(), environ);
    if (rc != 0)
      throw Error(ErrorKind::Other, "cannot start " + lp_ + ": " + std::strerror(rc), "print");
    int status = 0;
    while (waitpid(pid, &status, 0) < 0 && errno == EINTR) {
    }
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0)
      throw Error(ErrorKind::Other,
                  "the printer refused the print (lp ended with status " +
                      std::to_string(WIFEXITED(status) ? WEXITSTATUS(status) : -1) + ")",
                  "print");
  }

  std::string lp_, title_, path_;
  TextFile file_;
};

}  // namespace

bool printerAvailable() { return !findOnPath("lp").empty(); }

std::string noPrinterMessage() {
  return "Printing needs the system's lp command, which is not installed; print to the screen "
         "or to a file instead.";
}

std::unique_ptr<Device> openScreenDevice(const DeviceOptions& options);

std::unique_ptr<Device> openDevice(DeviceKind kind, const DeviceOptions& options) {
  switch (kind) {
    case DeviceKind::Screen:
      return openScreenDevice(options);
    case DeviceKind::File:
      if (options.path.empty())
        throw Error(ErrorKind::Argument, "no file name given for the print", "print");
      return std::make_unique<FileDevice>(options);
    case DeviceKind::Printer: {
      std::string lp = findOnPath("lp");
      if (lp.empty()) throw Error(ErrorKind::Open, noPrinterMessage(), "print");
      return std::make_unique<PrinterDevice>(lp, options);
    }
  }
  throw Error(ErrorKind::Argument, "unknown print device", "print");
}

}  // namespace rt::print
