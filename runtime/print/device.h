// Print devices: where the finished lines of a print go.
//
//   Screen  - the lines are kept and shown in the viewer when the print ends;
//   File    - UTF-8 text, one line per line, a form feed before each new page;
//   Printer - the same text handed to the system's `lp` command when the print ends.
//
// A device gets whole lines (code page 852 with style codes embedded) and page breaks; close()
// finishes it. A print cut short still closes its device: the file keeps what was printed, the
// printer gets it, the viewer is not shown.
#pragma once

#include <memory>
#include <string>
#include <string_view>

namespace rt::print {

enum class DeviceKind { Screen = 1, File = 2, Printer = 3 };

struct DeviceOptions {
  std::string title;          // the viewer's heading and the printer job's name
  std::string path;           // File: where to write
  bool asciiBoxes = false;    // box characters as '-', '|', '+'
  bool formFeeds = true;      // File/Printer: a form feed between pages
};

class Device {
 public:
  virtual ~Device() = default;
  virtual DeviceKind kind() const = 0;
  virtual void line(std::string_view text) = 0;
  virtual void pageBreak() = 0;
  // Finishes the device; `cutShort` when the print was interrupted. Called once.
  virtual void close(bool cutShort) = 0;
};

// Opens a device; throws rt::Error with a message for the user when it cannot (a file that
// cannot be created, no `lp` on the system).
std::unique_ptr<Device> openDevice(DeviceKind kind, const DeviceOptions& options);

// Whether the system's print command is present (searched on PATH).
bool printerAvailable();
// The message shown when it is not.
std::string noPrinterMessage();

}  // namespace rt::print
