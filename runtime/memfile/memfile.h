// Memory files: saving memory variables by name mask and restoring them, additively or not.
//
// save() writes the visible variables of type C, N, D and L whose names match a mask (arrays,
// code blocks and NIL are not stored). restore() reads and checks the whole file before it
// touches any variable; then, additively, a variable that exists takes the stored value and keeps
// its scope while a new one becomes a private of the current frame (the restoring routine's);
// without ADDITIVE the existing public and private variables are released first and every stored
// variable becomes a private of the current frame.
//
// A name without an extension gets ".mem"; names that carry their own ("zas.zus") keep it. Names
// go through the Windows-style name mapper. Files are written to a unique temporary file in the
// same directory, synced and renamed into place, so a reader sees the old file or the new one.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "runtime/memfile/memfile_format.h"

namespace rt::mem {

inline constexpr std::string_view kExtension = ".mem";

// The name with ".mem" added when its last component has no extension.
std::string withExtension(std::string_view name);

// Reads and checks a whole file (the name as given: no extension is added). Throws rt::Error:
// Open when it cannot be opened, Read when reading fails, Corrupt when it is damaged; the error
// names the file.
std::vector<Variable> readFile(std::string_view name);
// Writes a whole file atomically (the name as given). Throws rt::Error(Create/Write) naming the
// file; on failure the previous file is left as it was.
void writeFile(std::string_view name, const std::vector<Variable>& vars);

// SAVE TO name [ALL LIKE mask | ALL EXCEPT mask]: an empty mask saves every variable.
void save(std::string_view name, std::string_view mask = {}, bool except = false);
// RESTORE FROM name [ADDITIVE].
void restore(std::string_view name, bool additive);

// The variables save() would store, in the order it stores them (by name).
std::vector<Variable> collect(std::string_view mask = {}, bool except = false);
// Applies decoded variables to the memory variables as restore() does.
void applyRestored(const std::vector<Variable>& vars, bool additive);

}  // namespace rt::mem
