// The installer's messages: warning windows in colour set 37 that wait for a key, and the texts
// that name a script line and a runtime error.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "patch/script_block.h"
#include "runtime/core/error.h"

namespace patch {

// Shows the lines in the message window in the warning colours and waits for a key.
void warn(const std::vector<std::string>& lines);
// The same in the message window's default colours.
void inform(const std::vector<std::string>& lines);

// How many messages the installer has shown so far.
size_t messagesShown();

// A text followed by a path: on one line when both fit a message line, else the path on a line
// of its own, cut from the left when even that is too long, so its end (the company and the
// table) stays readable.
std::vector<std::string> withPath(const std::string& text, const std::string& path);
std::string pathLine(const std::string& path);
// A path with one kind of separator: "/" for a Linux name (it starts with "/"), else "\\".
std::string shownPath(std::string path);

// A copy that failed with `code` (COPYFILE's), naming the script line and both files.
void warnCopyFailure(int line, const std::string& source, const std::string& dest, int code);

// Sees every message before it is shown (tests read what the installer told the user).
using MessageObserver = std::function<void(const std::vector<std::string>&)>;
MessageObserver setMessageObserver(MessageObserver observer);

// The section header ("[dbase]") the interpreter is in, named by the script line texts; empty
// before the first section.
void setCurrentSection(std::string header);
// "Blad: [dbase], linia 12 skryptu update.dat" (line 0: the script in general).
std::string scriptLineText(int line);
// A text with the Polish letters' marks of the runtime's texts dropped, as the installer shows it.
std::string plainAscii(const std::string& marked);
// What the user reads of a runtime error, in plain ASCII Polish: the heading of its kind (or the
// installer's own text), operation and file.
std::string errorText(const rt::Error& e);
// The failure of a script line whose file name leads out of its directory with "..".
ScriptFailure climbingName(int line, const std::string& name);
// Both together, after a failure inside a script line.
void warnScriptFailure(const ScriptFailure& f);

}  // namespace patch
