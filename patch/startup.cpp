// The installer's entry, its directories, the destination dialog, the time stamp and "-koduj".
#include "patch/startup.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>

#include "console/file_utils.h"
#include "console/palette.h"
#include "console/scramblers.h"
#include "console/window.h"
#include "patch/interpreter.h"
#include "patch/messages.h"
#include "patch/script_reader.h"
#include "patch/text_utils.h"
#include "runtime/core/context.h"
#include "runtime/core/file_names.h"
#include "runtime/core/functions.h"
#include "runtime/core/std_system.h"
#include "runtime/term/keys.h"
#include "runtime/term/terminal.h"
#include "runtime/ui/get.h"
#include "runtime/ui/read_modal.h"

namespace patch {

namespace {

rt::Value call(const char* name, std::vector<rt::Value> args = {}) {
  return rt::functions().call(name, std::move(args));
}

long systemWrite(int fd, const void* data, size_t size) { return long(::write(fd, data, size)); }
ScriptWriteFunction g_writer = systemWrite;

// A file descriptor closed when the scope ends.
class Descriptor {
 public:
  explicit Descriptor(int fd) : fd_(fd) {}
  ~Descriptor() {
    if (fd_ >= 0) ::close(fd_);
  }
  Descriptor(const Descriptor&) = delete;
  Descriptor& operator=(const Descriptor&) = delete;
  int get() const { return fd_; }

 private:
  int fd_;
};

// A window closed when the scope ends.
class WindowGuard {
 public:
  explicit WindowGuard(std::string handle) : handle_(std::move(handle)) {}
  ~WindowGuard() { con::ZWIN(handle_); }
  WindowGuard(const WindowGuard&) = delete;
  WindowGuard& operator=(const WindowGuard&) = delete;

 private:
  std::string handle_;
};

bool filled(const rt::Value& v) { return v.isChar() && !trimmed(v.str()).empty(); }

bool readFull(int fd, char* buf, size_t n, size_t& got) {
  got = 0;
  while (got < n) {
    ssize_t r = ::read(fd, buf + got, n - got);
    if (r < 0 && errno == EINTR) continue;
    if (r < 0) return false;
    if (r == 0) break;
    got += size_t(r);
  }
  return true;
}

}  // namespace

ScriptWriteFunction setScriptWriter(ScriptWriteFunction writer) {
  ScriptWriteFunction previous = g_writer;
  g_writer = writer ? writer : systemWrite;
  return previous == systemWrite ? nullptr : previous;
}

void applyStartupSettings() {
  rt::Settings& s = rt::context().settings;
  s.deleted = true;
  s.softSeek = true;
  s.confirm = true;
  s.scoreboard = false;
  s.dateFormat = "dd.mm.yyyy";
  s.epoch = 1960;
  try {
    call("SETCURSOR", {rt::Value::number(0)});
    call("SET", {rt::Value::number(40), rt::Value::text("ON")});
  } catch (const rt::Error&) {
    // a setting this runtime does not know changes nothing
  }
}

bool isConversion(const rt::Value& akcja, const rt::Value& plik1, const rt::Value& plik2) {
  return akcja.isChar() && akcja.str() == "-koduj" && filled(plik1) && filled(plik2);
}

bool KOD_DEKOD(const std::string& in, const std::string& out) {
  Descriptor input(::open(rt::mapPath(in).c_str(), O_RDONLY | O_CLOEXEC));
  if (input.get() < 0) return false;
  std::string outPath = rt::mapPath(out, rt::PathUse::Create);
  // Writing onto the input would truncate it before its first read: the user's script is lost.
  struct stat inStat {}, outStat {};
  if (::fstat(input.get(), &inStat) == 0 && ::stat(outPath.c_str(), &outStat) == 0 &&
      inStat.st_dev == outStat.st_dev && inStat.st_ino == outStat.st_ino) {
    std::puts(("Plik wynikowy jest plikiem zrodlowym: " + out).c_str());
    return false;
  }
  Descriptor output(::open(outPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644));
  if (output.get() < 0) return false;
  char chunk[kScriptChunk];
  for (;;) {
    size_t got = 0;
    bool readOk = readFull(input.get(), chunk, kScriptChunk, got);
    if (!readOk) {
      ::unlink(outPath.c_str());
      return false;
    }
    std::string scrambled = con::A_KODUJ(std::string_view(chunk, got), 2);
    size_t written = 0;
    while (written < scrambled.size()) {
      long w = g_writer(output.get(), scrambled.data() + written, scrambled.size() - written);
      if (w < 0 && errno == EINTR) continue;
      if (w <= 0) break;
      written += size_t(w);
    }
    if (written < scrambled.size()) {
      // Half a script is worse than none: the partial output goes.
      std::puts("Brak miejsca na dysku");
      ::unlink(outPath.c_str());
      return false;
    }
    if (got < kScriptChunk) break;
  }
  if (::fsync(output.get()) != 0 && errno != EINVAL) {
    ::unlink(outPath.c_str());
    return false;
  }
  return true;
}

std::string USTAL_SRC() { return con::DISKNAME() + ":\\" + trimmed(con::DIRNAME()); }

std::string USTAL_DST() {
  con::ColourState saved = con::K_SET_ZESTAW(con::ColourState{con::kInformSet, {}});
  std::string result;
  {
    con::WindowSpec layout;
    layout.type = con::kTitleBar;
    layout.top = 10, layout.left = 10, layout.bottom = 13, layout.right = 70;
    layout.title = "Wprowadz katalog systemu Zefiron";
    WindowGuard window(con::ROZWIN(layout));
    con::K_NORM();
    call("SETCURSOR", {rt::Value::number(1)});
    std::string value(64, ' ');
    for (;;) {
      call("DEVPOS", {rt::Value::number(12), rt::Value::number(12)});
      call("DEVOUT", {rt::Value::text("Katalog:")});
      rt::ui::GetList gets{std::make_shared<rt::ui::Get>(
          12, 21, "katalog", [&] { return rt::Value::text(value); },
          [&](const rt::Value& v) { value = v.strOr(value); }, "@S48!")};
      rt::ui::readModal(gets);
      if (rt::term::keyboard().lastKey() == rt::term::K_ESC) {
        value.clear();
        break;
      }
      if (trimmed(value).empty()) {
        warn({"Nie wprowadzono katalogu docelowego !"});
        continue;
      }
      // A name with a drive, or a Linux absolute name, is taken as it stands.
      if (value.find(':') == std::string::npos && value[0] != '/') {
        std::string dir = con::DIRNAME();
        std::string completed = con::DISKNAME() + ":\\" + dir;
        if (!(value[0] == '\\' || (!dir.empty() && dir.back() == '\\'))) completed += "\\";
        value = completed + value;
      }
      if (con::ISDIR(trimmed(value))) break;
      warn({"Wprowadzony katalog nie istnieje !"});
    }
    call("SETCURSOR", {rt::Value::number(0)});
    result = trimmed(value);
  }
  con::K_SET_ZESTAW(saved);
  return result;
}

std::string stampText() {
  std::string day = call("DTOS", {call("DATE")}).str();
  std::string time = call("TIME").str();
  return "[Parametry]\r\nczas=" + day.substr(0, 4) + "-" + day.substr(4, 2) + "-" +
         day.substr(6, 2) + " " + time + "\r\n";
}

std::string shortStampName(const std::string& name) {
  return name.size() > 50 ? "..." + name.substr(name.size() - 47) : name;
}

bool ZNACZ_CZAS(const std::string& katDocel) {
  std::string text = stampText();
  std::string name = withBackslash(katDocel) + "exe\\" + kStampFile;
  std::string shown = shortStampName(shownPath(name));
  std::FILE* f = std::fopen(rt::mapPath(name, rt::PathUse::Create).c_str(), "wb");
  if (!f) {
    inform({"Plik znacznik czasu uzupel`nienia: " + shown, "Bl`a`d otwarcia pliku!"});
    return false;
  }
  bool ok = std::fwrite(text.data(), 1, text.size(), f) == text.size();
  ok = std::fclose(f) == 0 && ok;
  if (!ok) {
    inform({"Plik znacznik czasu uzupel`nienia: " + shown, "Bl`a`d w trakcie zapisu tablicy linii !"});
    return false;
  }
  return true;
}

int MAIN(const rt::Value& akcja, const rt::Value& plik1, const rt::Value& plik2) {
  applyStartupSettings();
  if (isConversion(akcja, plik1, plik2))
    return KOD_DEKOD(plik1.str(), plik2.str()) ? kExitOk : kExitFailed;

  call("SCROLL");
  call("SETPOS", {rt::Value::number(0), rt::Value::number(0)});
  con::K_ZMIEN_PALETE();
  if (!rt::fileExists(kScriptFile)) {
    inform({std::string("Brak pliku ") + kScriptFile + " !"});
    return kExitFailed;
  }
  Descriptor script(::open(rt::mapPath(kScriptFile).c_str(), O_RDONLY | O_CLOEXEC));
  if (script.get() < 0) {
    inform({std::string("Brak mozliwosci otwarcia pliku ") + kScriptFile + " !"});
    return kExitFailed;
  }
  con::WindowSpec full;
  full.type = con::kTitleBar;
  full.top = 0, full.left = 0, full.bottom = 24, full.right = 79;
  full.title = "Uzupelnienie systemu Zefiron";
  full.set = int(con::ColourSet::Tlo);
  WindowGuard window(con::ROZWIN(full));

  std::string src = USTAL_SRC();
  std::string dst;
  if (akcja.isChar() && akcja.str() == "-katalog" && filled(plik1) && con::ISDIR(plik1.str()))
    dst = plik1.str();
  else
    dst = USTAL_DST();
  if (src.empty() || dst.empty()) {
    warn({"Nie okreslono sciezki zrodlowej i(lub) docelowej !", "Instalacja zostanie przerwana."});
    return kExitFailed;
  }
  ScriptReader reader = ScriptReader::overDescriptor(script.get(), true);
  bool busy = false;
  bool installed = UAKTUALNIENIE(reader, src, dst, &busy);
  // The stamp is written whatever the script's outcome: the system was touched by this run.
  // A system another installer holds was not touched.
  if (busy) return kExitFailed;
  ZNACZ_CZAS(dst);
  if (rt::errorLevel() != 0) return rt::errorLevel();
  return installed ? kExitOk : kExitFailed;
}

}  // namespace patch
