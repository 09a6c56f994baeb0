// Small file, directory and number services: current drive and directory, directory tests, file
// attributes, and the integer helpers behind them.
//
// Linux has no hidden, system or archive attributes: read-only is the one attribute with a
// meaning here (the owner's write permission); the others are accepted and ignored.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace con {

// The current directory without drive and leading backslash ("ZEFIRON\PLACE"); with the drive
// when fullPath ("C:\ZEFIRON\PLACE").
std::string DIRNAME(bool fullPath = false);
std::string DISKNAME();

bool ISDIR(std::string_view dir);
// The directory test of the table wrappers: blanks trimmed, a trailing backslash ignored.
bool N_ISDIR(std::string_view dir);

// The attribute text for an attribute number: 0 -> "-R-H-S", else "R", "H", "S", "-A" by bits.
std::string attributeText(double attr);
// Applies the text's read-only part to the file; always answers 0.
int E_SETFATTR(std::string_view fileName, double attr);

double E_INT(double n);
std::vector<double> DZIES2TAB(double n, double base);
std::string BIC_I2UL(double n);

}  // namespace con
