// The real terminal through ncursesw.
//
// Cells are shown as Unicode glyphs (glyphs.h) in the PC colours mapped to the terminal's: 16
// colours where the terminal has them, else 8 with bold for the bright foregrounds; monochrome
// (ISCOLOR off, or a terminal without colours) shows light backgrounds reversed, bright
// foregrounds bold and the underline colour underlined. Keys typed are read as the runtime's key
// codes (keys.h): cursor and function keys with Shift, Ctrl and Alt, Alt+letter sent as Esc and
// the letter, UTF-8 characters as code page 852 bytes.
//
// TerminalSession opens the terminal and installs the back end; closing it (also on exit and on
// the usual termination signals) gives the terminal back as it was.
#pragma once

#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "runtime/term/backend.h"

namespace rt::term {

class CursesBackend;

class TerminalSession {
 public:
  // Opens the terminal; throws rt::Error with a message for the user when there is no terminal
  // or it is smaller than 80 x 25.
  TerminalSession();
  ~TerminalSession();
  TerminalSession(const TerminalSession&) = delete;
  TerminalSession& operator=(const TerminalSession&) = delete;

 private:
  std::unique_ptr<CursesBackend> backend_;
  Backend* previous_ = nullptr;
};

// The message shown when the terminal has `cols` x `rows` cells, too few for the screen.
std::string terminalTooSmallMessage(int cols, int rows);

// The runtime key code of an escape sequence the terminal description did not know, given the
// text after Esc ("[1;5H" is Ctrl+Home, "[3~" Del, "OP" F1, "[Z" Shift+Tab, ...); nothing when
// the sequence means no key we have a code for.
std::optional<int> decodeEscapeSequence(std::string_view afterEsc);

// The runtime key code of an ncurses function-key code, or nothing for a key we do not map.
// `extended` holds the codes ncurses gave the modified keys of this terminal (Ctrl/Alt arrows...).
std::optional<int> mapCursesKey(int code);

}  // namespace rt::term
