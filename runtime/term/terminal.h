// The runtime's one screen and keyboard, and the choice of back end they draw on and read from.
//
// A program starts a TerminalSession (the real terminal) or a test makes a Headless back end
// (headless.h); either installs itself here for its lifetime and puts the previous back end back
// when it ends. With no back end installed, output stays in the screen cells and key reads find
// nothing.
#pragma once

#include "runtime/term/backend.h"
#include "runtime/term/keyboard.h"
#include "runtime/term/screen.h"

namespace rt::term {

Screen& screen();
Keyboard& keyboard();

// Installs a back end (not owned; nullptr for none) and returns the one it replaces.
Backend* installBackend(Backend* backend);
Backend* currentBackend();

// Draws every cell again (after the terminal was resized or its contents disturbed).
void redrawAll();

// Installs a back end for a scope and puts the previous one back.
class BackendGuard {
 public:
  explicit BackendGuard(Backend* backend) : previous_(installBackend(backend)) {}
  ~BackendGuard() { installBackend(previous_); }
  BackendGuard(const BackendGuard&) = delete;
  BackendGuard& operator=(const BackendGuard&) = delete;

 private:
  Backend* previous_;
};

// Saves and restores the colours, cursor position and shape around a dialog or a window.
class ScreenStateGuard {
 public:
  ScreenStateGuard();
  ~ScreenStateGuard();
  ScreenStateGuard(const ScreenStateGuard&) = delete;
  ScreenStateGuard& operator=(const ScreenStateGuard&) = delete;

 private:
  Colors colors_;
  int row_, col_;
  CursorShape shape_;
};

// DISPBEGIN in the constructor, DISPEND in the destructor.
class DispGuard {
 public:
  DispGuard() { screen().dispBegin(); }
  ~DispGuard() { screen().dispEnd(); }
  DispGuard(const DispGuard&) = delete;
  DispGuard& operator=(const DispGuard&) = delete;
};

}  // namespace rt::term
