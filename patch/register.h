// Registration for calls by name: the installer's own public routines, and everything the
// installer links (runtime, screen, tables, form reader, console library), lowest layer first.
#pragma once

namespace patch {

// MAIN, USTAL_SRC, USTAL_DST, ZNACZ_CZAS, UAKTUALNIENIE and OPEN_INDEKS.
void registerInstallerFunctions();

// Every function an update script may call: the runtime's, the console library's and ours.
void registerAllFunctions();

}  // namespace patch
