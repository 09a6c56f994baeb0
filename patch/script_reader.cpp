// Script lines out of the chunked, scrambled script file.
#include "patch/script_reader.h"

#include <unistd.h>

#include <cerrno>

#include "runtime/core/error.h"

namespace patch {

namespace {

bool isBlankChar(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }

}  // namespace

std::string cleanScriptLine(std::string_view raw) {
  size_t semicolon = raw.find(';');
  if (semicolon != std::string_view::npos) raw = raw.substr(0, semicolon);
  size_t b = 0, e = raw.size();
  while (b < e && raw[b] == ' ') ++b;
  while (e > b && raw[e - 1] == ' ') --e;
  return std::string(raw.substr(b, e - b));
}

ScriptReader::ScriptReader(ChunkSource source, bool scrambled)
    : source_(std::move(source)), scrambled_(scrambled) {}

ScriptReader ScriptReader::overDescriptor(int fd, bool scrambled) {
  return ScriptReader(
      [fd](char* into, size_t n) -> size_t {
        size_t got = 0;
        while (got < n) {
          ssize_t r = ::read(fd, into + got, n - got);
          if (r < 0 && errno == EINTR) continue;
          if (r < 0)
            throw rt::Error(rt::ErrorKind::Read, "Read error", "READLN", "update.dat", errno);
          if (r == 0) break;
          got += size_t(r);
        }
        return got;
      },
      scrambled);
}

bool ScriptReader::readChunk() {
  if (fileEnded_) return false;
  char chunk[kScriptChunk];
  size_t got = source_(chunk, kScriptChunk);
  // A short chunk is the file's last: the text after its last CR LF is the last line.
  if (got < kScriptChunk) fileEnded_ = true;
  if (scrambled_)
    for (size_t i = 0; i < got; ++i) chunk[i] = char(255 - static_cast<unsigned char>(chunk[i]));
  buffer_.append(chunk, got);
  return got > 0;
}

bool ScriptReader::bufferBlank() const {
  for (char c : buffer_)
    if (!isBlankChar(c)) return false;
  return true;
}

std::optional<ScriptLine> ScriptReader::next() {
  for (;;) {
    size_t end = buffer_.find("\r\n");
    if (end == std::string::npos) {
      if (!fileEnded_) {
        readChunk();
        continue;
      }
      // The file has ended: what is left is the last line, delivered as it stands.
      if (bufferBlank()) {
        buffer_.clear();
        return std::nullopt;
      }
      ScriptLine last{std::move(buffer_), nextLineNumber_++};
      buffer_.clear();
      return last;
    }
    std::string raw = buffer_.substr(0, end);
    buffer_.erase(0, end + 2);
    int number = nextLineNumber_++;
    std::string line = cleanScriptLine(raw);
    bool empty = true;
    for (char c : line)
      if (!isBlankChar(c)) empty = false;
    if (!empty) return ScriptLine{std::move(line), number};
  }
}

}  // namespace patch
