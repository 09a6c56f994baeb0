// The leave request of SIGHUP and SIGTERM (see leave_request.h).
#include "runtime/term/leave_request.h"

#include <csignal>
#include <exception>
#include <initializer_list>

namespace rt::term {
namespace {

volatile std::sig_atomic_t gLeaveSignal = 0;

extern "C" void onLeaveSignal(int signal) { requestLeave(signal); }

}  // namespace

void requestLeave(int signal) noexcept { gLeaveSignal = signal; }
int leaveRequested() noexcept { return gLeaveSignal; }
void clearLeaveRequest() noexcept { gLeaveSignal = 0; }

void throwIfLeaveRequested() {
  if (gLeaveSignal != 0 && std::uncaught_exceptions() == 0) throw LeaveRequested{gLeaveSignal};
}

void catchLeaveSignals() {
  struct sigaction action {};
  action.sa_handler = onLeaveSignal;
  sigemptyset(&action.sa_mask);
  action.sa_flags = 0;  // no SA_RESTART: a blocked read of the terminal returns
  for (int signal : {SIGHUP, SIGTERM}) sigaction(signal, &action, nullptr);
}

void restoreLeaveSignals() {
  for (int signal : {SIGHUP, SIGTERM}) std::signal(signal, SIG_DFL);
}

}  // namespace rt::term
