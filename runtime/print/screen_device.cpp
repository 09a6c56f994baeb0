// The screen as a print device: lines are kept and shown in the viewer when the print ends.
#include "runtime/print/device.h"
#include "runtime/print/viewer.h"

namespace rt::print {
namespace {

class ScreenDevice : public Device {
 public:
  explicit ScreenDevice(const DeviceOptions& o) : asciiBoxes_(o.asciiBoxes) { doc_.title = o.title; }
  DeviceKind kind() const override { return DeviceKind::Screen; }
  void line(std::string_view text) override {
    doc_.addLine(asciiBoxes_ ? boxToAscii(text) : std::string(text));
  }
  void pageBreak() override { doc_.addPageBreak(); }
  void close(bool cutShort) override {
    if (cutShort) return;
    Viewer(doc_).run();
  }

 private:
  PrintedDocument doc_;
  bool asciiBoxes_;
};

}  // namespace

std::unique_ptr<Device> openScreenDevice(const DeviceOptions& options) {
  return std::make_unique<ScreenDevice>(options);
}

}  // namespace rt::print
