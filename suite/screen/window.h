// Framed windows of the suite's libraries, opened and closed by a window handle.
//
// A handle is the text of the four coordinates of the saved rectangle as two-digit numbers (top,
// left, bottom, right) followed by the screen saved beneath it - the form the console library's
// `ZWIN` closes, so any window is closed by it whoever opened it, the last opened first.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace suite {

// Draws a framed window with an optional title (display form) in the current colours, with a
// shadow when asked, and returns its handle. Coordinates are kept on the screen.
std::string openWindow(int top, int left, int bottom, int right, std::string_view title,
                       bool shadow = true);

// Restores the screen saved in a handle; a malformed handle is ignored.
void closeWindow(std::string_view handle);

// A window sized and centred for message lines (display form), its lines drawn; the handle.
std::string openMessageWindow(const std::vector<std::string>& lines, std::string_view title,
                              int row = 0, int col = 0);

}  // namespace suite
