// The installer's entry: "-koduj IN OUT" scrambles a plain update script (and back); otherwise
// it installs: opens "update.dat" in the current directory, asks for the destination unless
// "-katalog DIR" names an existing directory, interprets the script and writes the time stamp
// "exe\z_n_a_c_z.nik" into the destination.
//
// The entry returns the program's exit code: 0 when the update was installed (or the script
// converted), 1 when it failed or was abandoned. A code set by a script with ERRORLEVEL wins.
#pragma once

#include <string>

#include "runtime/core/value.h"

namespace patch {

inline constexpr const char* kScriptFile = "update.dat";
inline constexpr const char* kStampFile = "z_n_a_c_z.nik";
inline constexpr int kExitOk = 0;
inline constexpr int kExitFailed = 1;

// The runtime settings of the installer (deleted records hidden, soft seek, confirmation, cursor
// off, no scoreboard, date format dd.mm.yyyy, epoch 1960).
void applyStartupSettings();

// Whether the arguments ask for the "-koduj" conversion (which needs no screen).
bool isConversion(const rt::Value& akcja, const rt::Value& plik1, const rt::Value& plik2);

int MAIN(const rt::Value& akcja, const rt::Value& plik1, const rt::Value& plik2);
std::string USTAL_SRC();
std::string USTAL_DST();
bool ZNACZ_CZAS(const std::string& katDocel);

// "-koduj": every byte b of `in` written to `out` as 255 - b, in chunks of 4096. A missing input
// or an output that cannot be created fails; an output that cannot be written whole is removed
// ("Brak miejsca na dysku" on the console) and fails. An output that is the input itself, by any
// spelling or letter case, is refused with a console line before anything is written.
bool KOD_DEKOD(const std::string& in, const std::string& out);

// Writes of the conversion go through this function, so tests can make one fall short.
using ScriptWriteFunction = long (*)(int fd, const void* data, size_t size);
ScriptWriteFunction setScriptWriter(ScriptWriteFunction writer);  // nullptr: the system's write

// Time-stamp lines: "[Parametry]" and "czas=YYYY-MM-DD HH:MM:SS".
std::string stampText();
// The name a message shows: longer than 50 characters, "..." and its last 47.
std::string shortStampName(const std::string& name);

}  // namespace patch
