// Line reading and writing of text files, and the settings-file lookup.
#include "console/settings_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>

#include "console/warning.h"
#include "runtime/core/file_names.h"
#include "runtime/core/names.h"
#include "runtime/core/std_strings.h"

namespace con {

namespace {

std::string quoted(std::string_view name) { return "\"" + std::string(name) + "\""; }

// Reads one chunk into the buffer; at a short read the file is closed and the state marks the end.
void readChunk(ReadState& state, size_t chunkSize) {
  std::string chunk(chunkSize, ' ');
  size_t got = 0;
  int fd = int(state.handle);
  while (got < chunkSize) {
    ssize_t n = ::read(fd, chunk.data() + got, chunkSize - got);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) break;
    got += size_t(n);
  }
  if (got < chunkSize) {
    ::close(fd);
    state.handle = kReadAtEnd;
  }
  state.buffer.append(chunk, 0, got);
}

// The key part of a settings line: the text before its first "=", trimmed and upper-cased; a line
// without "=" has an empty key part.
std::string keyPart(std::string_view line) {
  auto eq = line.find('=');
  if (eq == std::string_view::npos) return {};
  return rt::upperName(rt::trimBlanks(line.substr(0, eq)));
}

}  // namespace

bool isBlankText(std::string_view s) {
  for (char c : s)
    if (c != ' ' && c != '\t' && c != '\r' && c != '\n') return false;
  return true;
}

void closeReadState(ReadState& state) {
  if (state.handle >= 0) {
    ::close(int(state.handle));
    state.handle = kReadAtEnd;
  }
}

std::string READ_LINE(ReadState& state, std::string_view fileName, const LineFormat& format) {
  if (state.handle == kReadNotOpened && isBlankText(state.buffer)) {
    std::string path = rt::mapPath(fileName);
    if (!rt::fileExists(fileName)) {
      showWarning({"Na dysku nie znaleziono pliku:", quoted(fileName)});
      state.handle = kReadFailed;
      state.buffer.clear();
      return {};
    }
    int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    struct stat st {};
    if (fd >= 0 && (::fstat(fd, &st) != 0 || S_ISDIR(st.st_mode))) {
      ::close(fd);  // a directory is no text file to read
      fd = -1;
    }
    if (fd < 0) {
      showWarning({"Brak mox`liwos`ci otwarcia pliku:", quoted(fileName)});
      state.handle = kReadFailed;
      state.buffer.clear();
      return {};
    }
    state.handle = fd;
  }
  const std::string& term = format.terminator.empty() ? std::string("\r\n") : format.terminator;
  size_t chunk = format.chunkSize > 0 ? format.chunkSize : 4096;
  // Read until the buffer holds a whole line or the file has ended, so that neither a long line
  // nor a terminator cut in two by the chunk boundary comes back in pieces.
  while (state.handle >= 0 &&
         (isBlankText(state.buffer) || state.buffer.find(term) == std::string::npos))
    readChunk(state, chunk);

  if (isBlankText(state.buffer)) return {};
  auto at = state.buffer.find(term);
  std::string line;
  if (at == std::string::npos) {
    line.swap(state.buffer);
  } else {
    line = state.buffer.substr(0, at);
    state.buffer.erase(0, at + term.size());
  }
  return line;
}

std::vector<std::string> FILE2ARRAY(std::string_view fileName, bool keepEmpty,
                                    const LineFormat& format) {
  std::vector<std::string> lines;
  ReadState state;
  for (;;) {
    std::string line = READ_LINE(state, fileName, format);
    if (state.handle < 0 && isBlankText(state.buffer) && isBlankText(line)) break;
    if (!isBlankText(line) || keepEmpty) {
      if (lines.size() >= kMaxFileLines) {
        showWarning({"Plik: " + std::string(fileName), "Ilos`c` linii w pliku przekracza 4096 !"});
        closeReadState(state);
        return {};
      }
      lines.push_back(std::move(line));
    }
    if (state.handle < 0 && isBlankText(state.buffer)) break;
  }
  closeReadState(state);
  return lines;
}

bool ARRAY2FILE(std::string_view fileName, const std::vector<std::string>& lines) {
  std::string shown(rt::trimBlanks(fileName));
  if (shown.size() > 50) shown = "..." + shown.substr(shown.size() - 47);
  std::string path = rt::mapPath(fileName, rt::PathUse::Create);
  int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
  if (fd < 0) {
    showWarning({"Plik: " + shown, "Bl`a`d otwarcia pliku do zapisu tablicy linii !"});
    return false;
  }
  bool ok = true;
  for (const std::string& element : lines) {
    std::string text = element.compare(0, 2, "\r\n") == 0 ? element : element + "\r\n";
    size_t done = 0;
    while (done < text.size()) {
      ssize_t n = ::write(fd, text.data() + done, text.size() - done);
      if (n < 0 && errno == EINTR) continue;
      if (n <= 0) break;
      done += size_t(n);
    }
    if (done < text.size()) {
      showWarning({"Plik: " + shown, "Bl`a`d w trakcie zapisu tablicy linii !"});
      ok = false;
      break;
    }
  }
  if (::close(fd) != 0) ok = false;
  return ok;
}

std::string _KAT_INI() {
  const char* env = std::getenv("ZEF_KAT_INI");
  if (env && *env) return env;
  return "C:\\TORV_ZEF";
}

std::optional<std::string> XCZYTPARAM(const std::vector<std::string>& lines,
                                      std::string_view section, std::string_view key) {
  std::string name(section);
  if (name.empty() || name.front() != '[') name.insert(0, "[");
  if (name.back() != ']') name += ']';
  std::string wantedHeader = rt::upperName(name);

  size_t header = lines.size();
  for (size_t i = 0; i < lines.size(); ++i) {
    const std::string& l = lines[i];
    if (!l.empty() && l[0] == '[' && l.size() >= wantedHeader.size() &&
        rt::upperName(l.substr(0, wantedHeader.size())) == wantedHeader) {
      header = i;
      break;
    }
  }
  if (header == lines.size()) return std::nullopt;

  // The range runs through the next header line itself (or the last line).
  size_t end = lines.size() - 1;
  for (size_t i = header + 1; i < lines.size(); ++i)
    if (!lines[i].empty() && lines[i][0] == '[') {
      end = i;
      break;
    }

  std::string wantedKey = rt::upperName(rt::trimBlanks(key));
  for (size_t i = header; i <= end; ++i) {
    if (keyPart(lines[i]) == wantedKey) {
      const std::string& l = lines[i];
      auto last = l.rfind('=');
      return last == std::string::npos ? l : l.substr(last + 1);
    }
  }
  return std::nullopt;
}

std::string CZYTZMSR(std::string_view key, std::string_view section, std::string_view baseName,
                     const LineFormat& format) {
  std::string base(baseName);
  auto slash = base.rfind('\\');
  if (slash != std::string::npos) base.erase(0, slash + 1);
  auto dot = base.find('.');
  if (dot != std::string::npos) base.erase(dot);
  std::string file = _KAT_INI() + "\\" + base + ".INI";
  if (!rt::fileExists(file)) return {};
  std::vector<std::string> lines = FILE2ARRAY(file, false, format);
  if (lines.empty()) return {};
  return XCZYTPARAM(lines, section, key).value_or(std::string());
}

std::string XGETENV(std::string_view key, const LineFormat& format) {
  return CZYTZMSR(key, "[Default]", "FIRMA", format);
}

}  // namespace con
