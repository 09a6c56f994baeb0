// One print: lines counted against the page length, the title routine at the top of each page,
// and Esc to cut it short.
//
// The first output of a page begins it: a page break on the device (not before the first page),
// the page number advanced, the line count set to 0, then the title routine, called by name, whose
// own lines go to the same page. A line is counted when it ends. With a page length of 0 the
// print is one long page.
//
// Before each line the keyboard is looked at: Esc waiting anywhere in the typeahead cuts the print short (throws
// PrintCancelled). However the job ends - close(), an exception, Esc - its device is closed; the
// destructor closes a device still open as a print cut short. abandon() drops it instead.
#pragma once

#include <functional>
#include <memory>
#include <stdexcept>
#include <string>
#include <string_view>

#include "runtime/print/device.h"

namespace rt::print {

struct PrintCancelled : std::runtime_error {
  PrintCancelled() : std::runtime_error("print cut short by Esc") {}
};

class PrintJob;

struct PageSetup {
  int pageLength = 0;                        // lines per page, titles included; 0: no pages
  std::string titleRoutine;                  // called by name at the top of each page
  std::function<void(PrintJob&)> titleHook;  // or this, from C++
  bool escapeCancels = true;
};

class PrintJob {
 public:
  PrintJob(std::unique_ptr<Device> device, PageSetup setup);
  ~PrintJob();
  PrintJob(const PrintJob&) = delete;
  PrintJob& operator=(const PrintJob&) = delete;

  // A whole line.
  void line(std::string_view text);
  // Text added to the line being built (the runtime's ?? to the printer) and the line's end (?).
  void text(std::string_view fragment);
  void endLine();
  // The next output begins a new page.
  void newPage();

  int page() const { return page_; }                // pages begun so far
  int lineOnPage() const { return lineOnPage_; }    // lines ended on this page
  void setLineOnPage(int n) { lineOnPage_ = n; }
  int pageLength() const { return setup_.pageLength; }
  // Whether a line is being built, and its printed width so far (style codes not counted).
  bool lineStarted() const { return lineStarted_; }
  int pendingWidth() const;
  void setTitleRoutine(std::string name) { setup_.titleRoutine = std::move(name); }

  // Ends the print normally; the device shows, writes or sends it.
  void close();
  // Drops the print after a failure of its device: nothing more is written, shown or sent (a
  // file print leaves the previous file as it was).
  void abandon();
  bool isOpen() const { return device_ != nullptr; }
  bool cutShort() const { return cutShort_; }
  Device* device() const { return device_.get(); }

 private:
  void beginPageIfDue();
  void checkEscape();
  void finish(bool cutShort);

  std::unique_ptr<Device> device_;
  PageSetup setup_;
  std::string pending_;
  bool lineStarted_ = false;
  bool ejectPending_ = false;
  bool inTitle_ = false;
  bool cutShort_ = false;
  int page_ = 0;
  int lineOnPage_ = 0;
  PrintJob* previousActive_ = nullptr;
};

// The print job open now (the innermost), for the runtime's console output to the printer; null
// when none is open.
PrintJob* activeJob();

}  // namespace rt::print
