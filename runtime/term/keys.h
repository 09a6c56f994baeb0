// Key codes of the runtime's keyboard functions (INKEY, LASTKEY, SETKEY, the wait states).
//
// Characters are their own byte value (32..255, code page 852). Control keys reuse the low ASCII
// codes, so several keys share a code: Ctrl+W and Ctrl+End are both 23, Ctrl+D and Right both 4,
// Ctrl+S and Left both 19. Function keys are zero or negative (F1 alone is 28); extended
// combinations sit above 255.
#pragma once

namespace rt::term {

// No key within the time asked for; also the code a stuffed CHR(0) arrives as (a redraw request).
inline constexpr int K_NONE = 0;

// Cursor movement.
inline constexpr int K_UP = 5;
inline constexpr int K_DOWN = 24;
inline constexpr int K_LEFT = 19;
inline constexpr int K_RIGHT = 4;
inline constexpr int K_HOME = 1;
inline constexpr int K_END = 6;
inline constexpr int K_PGUP = 18;
inline constexpr int K_PGDN = 3;

inline constexpr int K_CTRL_UP = 397;
inline constexpr int K_CTRL_DOWN = 401;
inline constexpr int K_CTRL_LEFT = 26;
inline constexpr int K_CTRL_RIGHT = 2;
inline constexpr int K_CTRL_HOME = 29;
inline constexpr int K_CTRL_END = 23;
inline constexpr int K_CTRL_PGUP = 31;
inline constexpr int K_CTRL_PGDN = 30;

inline constexpr int K_ALT_UP = 408;
inline constexpr int K_ALT_DOWN = 416;
inline constexpr int K_ALT_LEFT = 411;
inline constexpr int K_ALT_RIGHT = 413;
inline constexpr int K_ALT_HOME = 407;
inline constexpr int K_ALT_END = 415;
inline constexpr int K_ALT_PGUP = 409;
inline constexpr int K_ALT_PGDN = 417;

// Editing and control.
inline constexpr int K_ENTER = 13;
inline constexpr int K_RETURN = 13;
inline constexpr int K_SPACE = 32;
inline constexpr int K_ESC = 27;
inline constexpr int K_CTRL_ENTER = 10;
inline constexpr int K_CTRL_RETURN = 10;
inline constexpr int K_ALT_ENTER = 284;
inline constexpr int K_ALT_ESC = 257;
inline constexpr int K_INS = 22;
inline constexpr int K_DEL = 7;
inline constexpr int K_BS = 8;
inline constexpr int K_TAB = 9;
inline constexpr int K_SH_TAB = 271;
inline constexpr int K_CTRL_INS = 402;
inline constexpr int K_CTRL_DEL = 403;
inline constexpr int K_CTRL_BS = 127;
inline constexpr int K_CTRL_TAB = 404;
inline constexpr int K_ALT_BS = 270;

// Ctrl+letter: 1..26.
inline constexpr int K_CTRL_A = 1;
inline constexpr int K_CTRL_B = 2;
inline constexpr int K_CTRL_C = 3;
inline constexpr int K_CTRL_D = 4;
inline constexpr int K_CTRL_E = 5;
inline constexpr int K_CTRL_F = 6;
inline constexpr int K_CTRL_G = 7;
inline constexpr int K_CTRL_H = 8;
inline constexpr int K_CTRL_I = 9;
inline constexpr int K_CTRL_J = 10;
inline constexpr int K_CTRL_K = 11;
inline constexpr int K_CTRL_L = 12;
inline constexpr int K_CTRL_M = 13;
inline constexpr int K_CTRL_N = 14;
inline constexpr int K_CTRL_O = 15;
inline constexpr int K_CTRL_P = 16;
inline constexpr int K_CTRL_Q = 17;
inline constexpr int K_CTRL_R = 18;
inline constexpr int K_CTRL_S = 19;
inline constexpr int K_CTRL_T = 20;
inline constexpr int K_CTRL_U = 21;
inline constexpr int K_CTRL_V = 22;
inline constexpr int K_CTRL_W = 23;
inline constexpr int K_CTRL_X = 24;
inline constexpr int K_CTRL_Y = 25;
inline constexpr int K_CTRL_Z = 26;

// Alt+letter: 256 plus the PC keyboard's scan code of the letter.
inline constexpr int K_ALT_Q = 272;
inline constexpr int K_ALT_W = 273;
inline constexpr int K_ALT_E = 274;
inline constexpr int K_ALT_R = 275;
inline constexpr int K_ALT_T = 276;
inline constexpr int K_ALT_Y = 277;
inline constexpr int K_ALT_U = 278;
inline constexpr int K_ALT_I = 279;
inline constexpr int K_ALT_O = 280;
inline constexpr int K_ALT_P = 281;
inline constexpr int K_ALT_A = 286;
inline constexpr int K_ALT_S = 287;
inline constexpr int K_ALT_D = 288;
inline constexpr int K_ALT_F = 289;
inline constexpr int K_ALT_G = 290;
inline constexpr int K_ALT_H = 291;
inline constexpr int K_ALT_J = 292;
inline constexpr int K_ALT_K = 293;
inline constexpr int K_ALT_L = 294;
inline constexpr int K_ALT_Z = 300;
inline constexpr int K_ALT_X = 301;
inline constexpr int K_ALT_C = 302;
inline constexpr int K_ALT_V = 303;
inline constexpr int K_ALT_B = 304;
inline constexpr int K_ALT_N = 305;
inline constexpr int K_ALT_M = 306;

// Alt+digit: Alt+1 .. Alt+9 are 376..384, Alt+0 is 385.
inline constexpr int K_ALT_1 = 376;
inline constexpr int K_ALT_0 = 385;

// Function keys. F1 is 28, F2..F10 are -1..-9, F11/F12 are -40/-41.
inline constexpr int K_F1 = 28;
inline constexpr int K_F2 = -1;
inline constexpr int K_F3 = -2;
inline constexpr int K_F4 = -3;
inline constexpr int K_F5 = -4;
inline constexpr int K_F6 = -5;
inline constexpr int K_F7 = -6;
inline constexpr int K_F8 = -7;
inline constexpr int K_F9 = -8;
inline constexpr int K_F10 = -9;
inline constexpr int K_F11 = -40;
inline constexpr int K_F12 = -41;

inline constexpr int K_SH_F1 = -10;
inline constexpr int K_SH_F2 = -11;
inline constexpr int K_SH_F3 = -12;
inline constexpr int K_SH_F4 = -13;
inline constexpr int K_SH_F5 = -14;
inline constexpr int K_SH_F6 = -15;
inline constexpr int K_SH_F7 = -16;
inline constexpr int K_SH_F8 = -17;
inline constexpr int K_SH_F9 = -18;
inline constexpr int K_SH_F10 = -19;
inline constexpr int K_SH_F11 = -42;
inline constexpr int K_SH_F12 = -43;

inline constexpr int K_CTRL_F1 = -20;
inline constexpr int K_CTRL_F2 = -21;
inline constexpr int K_CTRL_F3 = -22;
inline constexpr int K_CTRL_F4 = -23;
inline constexpr int K_CTRL_F5 = -24;
inline constexpr int K_CTRL_F6 = -25;
inline constexpr int K_CTRL_F7 = -26;
inline constexpr int K_CTRL_F8 = -27;
inline constexpr int K_CTRL_F9 = -28;
inline constexpr int K_CTRL_F10 = -29;
inline constexpr int K_CTRL_F11 = -44;
inline constexpr int K_CTRL_F12 = -45;

inline constexpr int K_ALT_F1 = -30;
inline constexpr int K_ALT_F2 = -31;
inline constexpr int K_ALT_F3 = -32;
inline constexpr int K_ALT_F4 = -33;
inline constexpr int K_ALT_F5 = -34;
inline constexpr int K_ALT_F6 = -35;
inline constexpr int K_ALT_F7 = -36;
inline constexpr int K_ALT_F8 = -37;
inline constexpr int K_ALT_F9 = -38;
inline constexpr int K_ALT_F10 = -39;
inline constexpr int K_ALT_F11 = -46;
inline constexpr int K_ALT_F12 = -47;

// The code of function key n (1..12) alone and with a modifier (0 none, 1 Shift, 2 Ctrl, 3 Alt).
constexpr int functionKey(int n, int modifier = 0) {
  if (n >= 11) return -40 - 2 * modifier - (n - 11);
  if (modifier == 0) return n == 1 ? K_F1 : -(n - 1);
  return -(10 * modifier + n - 1);
}

// Alt+letter for 'A'..'Z' (either case); 0 for anything else.
int altLetterKey(char letter);

}  // namespace rt::term
