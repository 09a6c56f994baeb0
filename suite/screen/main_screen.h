// The suite's main screen, console window object, loading window, closing routine and the small
// console services the program calls by name at start-up (TFONTEKRAN, OKNOSTART, MAIN_SCR,
// LAD_SCR, FILE_SIEC, E_POLZNAK, STATION_NR, JESZCZE_NO, MEMORXPF, CALC, FLUSH, CLEAR_KEYBOARD,
// MFKONIEC, HASLO, OPERATOR, FIL_UTIL, PAR_SYS).
#pragma once

#include <string>

namespace suite {

// The title the console window was opened with ("System ZEFIRON - program ZUS").
const std::string& windowTitle();

// Draws the background, the title line and the status line.
void drawMainScreen();

void registerMainScreenFunctions();

}  // namespace suite
