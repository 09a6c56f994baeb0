// Fixture of the installer's tests: every by-name function registered, a headless screen with
// the default palette, a temporary source and destination directory, the messages the installer
// shows collected, and plenty of Enter keys queued for the windows that wait.
#pragma once

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "console/palette.h"
#include "patch/interpreter.h"
#include "patch/messages.h"
#include "patch/register.h"
#include "patch/script_reader.h"
#include "patch/startup.h"
#include "runtime/core/context.h"
#include "runtime/core/expr.h"
#include "runtime/core/functions.h"
#include "runtime/term/headless.h"
#include "runtime/term/keys.h"

namespace patchtest {

namespace fs = std::filesystem;

inline std::string readFile(const fs::path& p) {
  std::ifstream in(p, std::ios::binary);
  std::stringstream s;
  s << in.rdbuf();
  return s.str();
}

inline void writeFile(const fs::path& p, const std::string& bytes) {
  fs::create_directories(p.parent_path());
  std::ofstream out(p, std::ios::binary);
  out << bytes;
}

// Script text from lines joined by CR LF.
inline std::string scriptText(const std::vector<std::string>& lines) {
  std::string s;
  for (const auto& l : lines) s += l + "\r\n";
  return s;
}

inline std::string scramble(std::string s) {
  for (char& c : s) c = char(255 - static_cast<unsigned char>(c));
  return s;
}

class InstallerTest : public ::testing::Test {
 protected:
  void SetUp() override {
    patch::registerAllFunctions();
    con::resetPaletteState();
    con::K_ZMIEN_PALETE();
    patch::applyStartupSettings();
    char pattern[] = "/tmp/patch-test-XXXXXX";
    root = ::mkdtemp(pattern);
    src = root / "upd";
    dst = root / "zef";
    fs::create_directories(src);
    fs::create_directories(dst);
    previousCwd = fs::current_path();
    fs::current_path(src);
    patch::setMessageObserver([this](const std::vector<std::string>& lines) {
      messages.push_back(lines);
    });
    if (queueEnters) {
      std::vector<int> enters(200, rt::term::K_ENTER);
      h.keys(enters);
    }
    rt::context().memvars.declarePublic("t_log", rt::Value::text(""));
  }
  void TearDown() override {
    patch::setMessageObserver(nullptr);
    rt::functions().call("DBCLOSEALL");
    fs::current_path(previousCwd);
    std::error_code ec;
    fs::remove_all(root, ec);
    con::resetPaletteState();
  }

  // Directories as the installer passes them: Windows style with the final "\".
  std::string srcDir() const { return src.string() + "\\"; }
  std::string dstDir() const { return dst.string() + "\\"; }

  // Runs a plain script through the interpreter.
  bool runScript(const std::vector<std::string>& lines) {
    std::string text = scriptText(lines);
    size_t pos = 0;
    patch::ScriptReader reader(
        [&](char* into, size_t n) {
          size_t k = std::min(n, text.size() - pos);
          std::copy_n(text.data() + pos, k, into);
          pos += k;
          return k;
        },
        false);
    return patch::UAKTUALNIENIE(reader, src.string(), dst.string());
  }

  // Evaluates expression text.
  rt::Value run(const std::string& expr) { return rt::evalText(expr); }

  // What the script's blocks wrote with note('...').
  std::string logged() const { return rt::context().memvars.get("t_log").str(); }

  // All message lines shown, joined, for searching.
  std::string allMessages() const {
    std::string s;
    for (const auto& m : messages)
      for (const auto& l : m) s += l + "\n";
    return s;
  }

  bool queueEnters = true;  // an Enter for every window that waits
  fs::path root, src, dst, previousCwd;
  std::vector<std::vector<std::string>> messages;
  rt::term::Headless h;
};

}  // namespace patchtest
