// Print devices: where the finished lines of a print go.
//
//   Screen  - the lines are kept and shown in the viewer when the print ends;
//   File    - UTF-8 text, one line per line, a form feed before each new page; written under a
//             temporary name and renamed over the previous print when it ends;
//   Printer - the same text handed to the system's `lp` command when the print ends, with the
//             orientation and pitch that fit its widest line.
//
// A device gets whole lines (code page 852 with style codes embedded) and page breaks; close()
// finishes it. A print cut short still closes its device: the file keeps what was printed and
// ends with a line saying the print was cut short, the printer gets it, the viewer is not shown.
// A device destroyed without close() drops its print (a file print leaves the previous file).
// Errors are rt::Error with a message for the user in Polish (code page 852).
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace rt::print {

enum class DeviceKind { Screen = 1, File = 2, Printer = 3 };

struct DeviceOptions {
  std::string title;          // the viewer's heading and the printer job's name
  std::string path;           // File: where to write
  bool asciiBoxes = false;    // box characters as '-', '|', '+'
  bool formFeeds = true;      // File/Printer: a form feed between pages
  int pageLength = 0;         // Printer: lines per page, for the line spacing chosen
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

// The options handed to `lp` before the file: the job's title, then upright or across the sheet
// and the characters per inch so that `widestLine` printed characters fit the sheet's width (the
// condensed pitch, across, for the 171 and 183 columns of the cards), and the lines per inch so
// that a page of `pageLength` lines fits its height.
std::vector<std::string> lpArguments(const DeviceOptions& options, int widestLine);

// Tests make the file devices' writes fail: a non-zero result is the error number a write of
// the named file fails with. An empty function removes the fault.
using WriteFault = std::function<int(const std::string& path)>;
void setWriteFault(WriteFault fault);

// Whether the system's print command is present (searched on PATH).
bool printerAvailable();
// The message shown when it is not.
std::string noPrinterMessage();

}  // namespace rt::print
