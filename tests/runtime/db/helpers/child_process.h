// Test helper: run a function in a forked child process, and talk to it over pipes.
//
// The parent must hold no open table when it forks: a child would share its open file
// descriptions, and with them its locks. The child leaves with _exit, so the parent's test
// framework state is never torn down twice; it closes its own tables first.
#pragma once

#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <functional>
#include <string>

namespace rt::db::testing {

class Child {
 public:
  // Starts body(child's write end, child's read end) in a child; its return value is the exit code.
  explicit Child(const std::function<int(int toParent, int fromParent)>& body) {
    int up[2], down[2];
    if (::pipe(up) != 0 || ::pipe(down) != 0) return;
    pid_ = ::fork();
    if (pid_ == 0) {
      ::close(up[0]);
      ::close(down[1]);
      int code = 3;
      try {
        code = body(up[1], down[0]);
      } catch (const std::exception& e) {
        std::fprintf(stderr, "child failed: %s\n", e.what());
        code = 2;
      } catch (...) {
        code = 2;
      }
      ::_exit(code);
    }
    ::close(up[1]);
    ::close(down[0]);
    fromChild_ = up[0];
    toChild_ = down[1];
  }
  ~Child() {
    if (pid_ > 0 && !reaped_) {
      ::kill(pid_, SIGKILL);
      wait();
    }
    if (fromChild_ >= 0) ::close(fromChild_);
    if (toChild_ >= 0) ::close(toChild_);
  }
  Child(const Child&) = delete;
  Child& operator=(const Child&) = delete;

  pid_t pid() const { return pid_; }
  int fromChild() const { return fromChild_; }
  // One line from the child ("" at its end).
  std::string readLine() {
    std::string line;
    char c;
    while (::read(fromChild_, &c, 1) == 1) {
      if (c == '\n') return line;
      line += c;
    }
    return line;
  }
  void send(const std::string& text) {
    std::string t = text + "\n";
    [[maybe_unused]] ssize_t n = ::write(toChild_, t.data(), t.size());
  }
  void kill() { ::kill(pid_, SIGKILL); }
  // Exit code, or -signal when killed.
  int wait() {
    int status = 0;
    ::waitpid(pid_, &status, 0);
    reaped_ = true;
    return WIFEXITED(status) ? WEXITSTATUS(status) : -WTERMSIG(status);
  }

 private:
  pid_t pid_ = -1;
  int fromChild_ = -1, toChild_ = -1;
  bool reaped_ = false;
};

inline void sendLine(int fd, const std::string& text) {
  std::string t = text + "\n";
  [[maybe_unused]] ssize_t n = ::write(fd, t.data(), t.size());
}

inline std::string readLineFrom(int fd) {
  std::string line;
  char c;
  while (::read(fd, &c, 1) == 1) {
    if (c == '\n') return line;
    line += c;
  }
  return line;
}

}  // namespace rt::db::testing
