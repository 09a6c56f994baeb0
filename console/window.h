// Windows with frames, titles and shadows, opened by ROZWIN and closed by ZWIN with their handle.
//
// A window handle is a character string: top, left, saved bottom and saved right row/column, each
// right-aligned in two characters, followed by the screen saved beneath the window. The library
// keeps no list of windows: the caller owns the handle and closes its windows last-opened first.
// Windows are kept on the screen (coordinates are clamped to rows 0-24 and columns 0-79), and
// ZWIN ignores any handle that is not one of this form.
//
// This file also holds the console shims of the new-look font switch (this console has no such
// font, so the classic frames are always drawn) and the display-text hook `_P`.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace con {

// Window types: 1 framed, 2 title bar; negative asks for a shadow.
inline constexpr int kFramed = 1;
inline constexpr int kTitleBar = 2;

struct WindowSpec {
  int type = kFramed;
  int top = 0, left = 0, bottom = 0, right = 0;
  std::optional<std::string> title;  // none (or blank): no title
  std::optional<int> set;            // none: the current colour set
  bool explode = false;              // the opening animation
};

std::string ROZWIN(const WindowSpec& layout);
void ZWIN(std::string_view handle);

// The rectangle a handle saved; nullopt for anything that is not a well-formed handle.
struct HandleRect {
  int top, left, bottom, right;
};
std::optional<HandleRect> parseHandle(std::string_view handle);

// A window closed when it goes out of scope (unless closed or released before).
class Window {
 public:
  explicit Window(const WindowSpec& layout) : handle_(ROZWIN(layout)) {}
  explicit Window(std::string handle) : handle_(std::move(handle)) {}
  ~Window() { close(); }
  Window(const Window&) = delete;
  Window& operator=(const Window&) = delete;
  const std::string& handle() const { return handle_; }
  void close() {
    if (!handle_.empty()) ZWIN(handle_);
    handle_.clear();
  }
  std::string release() { return std::exchange(handle_, std::string()); }

 private:
  std::string handle_;
};

// Frame strings, 8 characters: corners top-left, top-right, bottom-left, bottom-right, then the
// top, bottom, left and right edges.
std::string frameString(int type);

// The glyph to show for the first character of `code` (variant 1-4 for fill glyphs).
std::string KODY_RAMEK(std::string_view code, int variant = 0);
// The new-look glyph table: empty, as this console has no new-look font.
std::vector<std::pair<int, int>> K_DAJ_NOWE();
bool NOWY_GEN();   // blink attribute off
void STARY_GEN();  // cursor hidden, blink attribute off
int CZY_NOWY();    // 0: no new-look font
bool newLookOn();

// Passes a label or message through the display-text hook `_P` as registered by name (the
// program may register its own); the library's own hook returns its argument unchanged.
std::string displayText(const std::string& text);

}  // namespace con
