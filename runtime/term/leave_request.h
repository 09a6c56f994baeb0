// A request from outside that the program end its run: SIGHUP (the terminal hung up) and SIGTERM.
//
// The signal handler only notes the request. The next read of a key throws LeaveRequested, which
// unwinds every open form, window and table set to the program's main routine; that ends the run
// its orderly way, so buffered table changes are committed and the tables closed.
#pragma once

namespace rt::term {

// Thrown by the key reader once a leave was requested. On purpose not an rt::Error nor a
// std::exception: no routine that reports errors as messages takes it for one.
struct LeaveRequested {
  int signal;
};

// Notes the request (async-signal-safe: the handler calls only this).
void requestLeave(int signal) noexcept;
// The signal of the request, 0 when none.
int leaveRequested() noexcept;
void clearLeaveRequest() noexcept;
// Throws LeaveRequested when a leave was requested, unless an exception is already unwinding.
void throwIfLeaveRequested();

// Routes SIGHUP and SIGTERM to requestLeave, without restarting an interrupted wait for a key;
// restoreLeaveSignals puts the default actions back.
void catchLeaveSignals();
void restoreLeaveSignals();

}  // namespace rt::term
