// A framed window of the listing generator's screens, closed when it goes out of scope (also
// when an expression evaluated meanwhile raises an error).
#pragma once

#include <string>
#include <string_view>

#include "suite/screen/window.h"

namespace suite {

class ListingWindow {
 public:
  ListingWindow(int top, int left, int bottom, int right, std::string_view title)
      : handle_(openWindow(top, left, bottom, right, title)) {}
  ~ListingWindow() { closeWindow(handle_); }
  ListingWindow(const ListingWindow&) = delete;
  ListingWindow& operator=(const ListingWindow&) = delete;

 private:
  std::string handle_;
};

}  // namespace suite
