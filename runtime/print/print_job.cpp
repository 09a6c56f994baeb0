// Page counting, title routine and Esc for one print.
#include "runtime/print/print_job.h"

#include "runtime/core/functions.h"
#include "runtime/print/styled_text.h"
#include "runtime/term/keys.h"
#include "runtime/term/terminal.h"

namespace rt::print {
namespace {
PrintJob* gActive = nullptr;
}

PrintJob* activeJob() { return gActive; }

PrintJob::PrintJob(std::unique_ptr<Device> device, PageSetup setup)
    : device_(std::move(device)), setup_(std::move(setup)), previousActive_(gActive) {
  gActive = this;
}

PrintJob::~PrintJob() {
  if (device_) {
    try {
      finish(true);
    } catch (...) {
      // A destructor must not throw; the device's own failure is lost here only when the print
      // was already being abandoned.
    }
  }
  gActive = previousActive_;
}

void PrintJob::checkEscape() {
  if (!setup_.escapeCancels || inTitle_) return;
  if (term::keyboard().takeWaiting(term::K_ESC)) {
    cutShort_ = true;
    finish(true);
    throw PrintCancelled();
  }
}

void PrintJob::beginPageIfDue() {
  if (inTitle_) return;
  bool due = page_ == 0 || ejectPending_ ||
             (setup_.pageLength > 0 && lineOnPage_ >= setup_.pageLength);
  if (!due) return;
  if (page_ > 0) device_->pageBreak();
  ++page_;
  lineOnPage_ = 0;
  ejectPending_ = false;
  if (setup_.titleHook || !setup_.titleRoutine.empty()) {
    inTitle_ = true;
    struct Reset {
      bool& flag;
      ~Reset() { flag = false; }
    } reset{inTitle_};
    if (setup_.titleHook)
      setup_.titleHook(*this);
    else
      functions().call(setup_.titleRoutine);
    // A title left unfinished ends with the title.
    if (lineStarted_) endLine();
  }
}

void PrintJob::text(std::string_view fragment) {
  if (!device_) return;
  if (!lineStarted_) {
    checkEscape();
    beginPageIfDue();
    lineStarted_ = true;
  }
  pending_ += fragment;
}

void PrintJob::endLine() {
  if (!device_) return;
  if (!lineStarted_) {
    checkEscape();
    beginPageIfDue();
  }
  device_->line(pending_);
  pending_.clear();
  lineStarted_ = false;
  ++lineOnPage_;
}

void PrintJob::line(std::string_view text) {
  this->text(text);
  endLine();
}

int PrintJob::pendingWidth() const { return printedWidth(pending_); }

void PrintJob::newPage() {
  if (lineStarted_) endLine();
  ejectPending_ = true;
}

void PrintJob::close() {
  if (!device_) return;
  if (lineStarted_) endLine();
  finish(false);
}

void PrintJob::abandon() {
  pending_.clear();
  lineStarted_ = false;
  device_.reset();
}

void PrintJob::finish(bool cutShort) {
  std::unique_ptr<Device> device = std::move(device_);
  cutShort_ = cutShort_ || cutShort;
  device->close(cutShort);
}

}  // namespace rt::print
