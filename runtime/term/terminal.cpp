// The process's screen and keyboard and the installed back end.
#include "runtime/term/terminal.h"

namespace rt::term {
namespace {

struct Terminal {
  Screen screen;
  Keyboard keyboard;
  Backend* backend = nullptr;
};

Terminal& term() {
  static Terminal t;
  return t;
}

}  // namespace

Screen& screen() { return term().screen; }
Keyboard& keyboard() { return term().keyboard; }
Backend* currentBackend() { return term().backend; }

Backend* installBackend(Backend* backend) {
  Terminal& t = term();
  Backend* previous = t.backend;
  t.backend = backend;
  t.screen.attach(backend);
  t.keyboard.attach(backend, &t.screen);
  return previous;
}

void redrawAll() {
  term().screen.invalidate();
  term().screen.refresh();
}

ScreenStateGuard::ScreenStateGuard()
    : colors_(screen().colors()), row_(screen().row()), col_(screen().col()),
      shape_(screen().cursorShape()) {}

ScreenStateGuard::~ScreenStateGuard() {
  Screen& s = screen();
  s.setColors(colors_);
  s.setCursorShape(shape_);
  s.setCursor(row_, col_);
}

}  // namespace rt::term
