// A headless screen that keeps a picture of the screen each time a key is read, so a test can
// look at a dialog while it waited for the user.
#pragma once

#include <string>
#include <vector>

#include "runtime/term/glyphs.h"
#include "runtime/term/headless.h"

namespace contest {

struct ScreenPicture {
  std::vector<std::string> lines;               // code page 852 bytes
  std::vector<std::vector<rt::term::Attr>> attrs;
  std::string utf8(int row, int col, int width) const {
    return rt::term::glyphsToUtf8(lines[size_t(row)].substr(size_t(col), size_t(width)));
  }
  rt::term::Attr attr(int row, int col) const { return attrs[size_t(row)][size_t(col)]; }
};

class RecordingHeadless : public rt::term::Headless {
 public:
  std::optional<int> readKey(double timeoutSeconds) override {
    ScreenPicture p;
    p.lines = lines();
    for (int r = 0; r < 25; ++r) {
      std::vector<rt::term::Attr> row;
      for (int c = 0; c < 80; ++c) row.push_back(attrAt(r, c));
      p.attrs.push_back(row);
    }
    pictures.push_back(std::move(p));
    return Headless::readKey(timeoutSeconds);
  }
  std::vector<ScreenPicture> pictures;
};

}  // namespace contest
