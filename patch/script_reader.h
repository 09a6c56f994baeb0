// The update-script reader: script lines out of a scrambled (or plain) script file.
//
// The file is read in chunks of 4096 bytes; unless the script is plain, every byte b of a chunk
// is turned back into 255 - b. A line ends with CR LF; a lone CR or LF is an ordinary character.
// A comment runs from the first ";" to the line's end (also inside quotes); lines are trimmed of
// blanks and empty ones are skipped. The text after the last CR LF is the last line and comes
// back as it stands (neither cut nor trimmed), unless it is blank, which ends the script.
//
// A run of blanks and empty lines filling a whole chunk does not end the script: the reader
// reads on until the file itself ends. Each line carries its line number in the file (1-based),
// so messages can name it.
#pragma once

#include <cstddef>
#include <functional>
#include <optional>
#include <string>

namespace patch {

inline constexpr size_t kScriptChunk = 4096;

struct ScriptLine {
  std::string text;
  int number = 0;  // line number in the script file
};

// Reads up to n bytes into the buffer; returns how many (0 at the end of the file).
using ChunkSource = std::function<size_t(char* into, size_t n)>;

class ScriptReader {
 public:
  ScriptReader(ChunkSource source, bool scrambled);
  // A reader over an open file descriptor (left open).
  static ScriptReader overDescriptor(int fd, bool scrambled);

  // The next script line, or nothing when the script has ended.
  std::optional<ScriptLine> next();

 private:
  bool readChunk();  // false when the file had nothing more
  bool bufferBlank() const;

  ChunkSource source_;
  bool scrambled_;
  bool fileEnded_ = false;
  std::string buffer_;
  int nextLineNumber_ = 1;
};

// Cuts a raw line at its first ";" and trims blanks at both ends.
std::string cleanScriptLine(std::string_view raw);

}  // namespace patch
