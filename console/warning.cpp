// Where the library's failure reports go: the message window unless a sink was installed.
#include "console/warning.h"

#include "console/message_window.h"


namespace con {

namespace {
WarningSink& currentSink() {
  static WarningSink sink;
  return sink;
}
}  // namespace

void showWarning(const std::vector<std::string>& lines) {
  if (currentSink()) {
    currentSink()(lines);
    return;
  }
  if (lines.size() == 1)
    showMessage(std::string_view(lines.front()), kWarningSet, true);
  else
    showMessage(lines, kWarningSet, true);
}

WarningSink setWarningSink(WarningSink sink) {
  WarningSink previous = std::move(currentSink());
  currentSink() = std::move(sink);
  return previous;
}

WarningCapture::WarningCapture() {
  previous_ = setWarningSink([this](const std::vector<std::string>& lines) {
    messages_.push_back(lines);
  });
}

WarningCapture::~WarningCapture() { setWarningSink(std::move(previous_)); }

}  // namespace con
