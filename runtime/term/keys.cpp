// Key code helpers.
#include "runtime/term/keys.h"

namespace rt::term {

int altLetterKey(char letter) {
  static constexpr int kByLetter[26] = {
      K_ALT_A, K_ALT_B, K_ALT_C, K_ALT_D, K_ALT_E, K_ALT_F, K_ALT_G, K_ALT_H, K_ALT_I,
      K_ALT_J, K_ALT_K, K_ALT_L, K_ALT_M, K_ALT_N, K_ALT_O, K_ALT_P, K_ALT_Q, K_ALT_R,
      K_ALT_S, K_ALT_T, K_ALT_U, K_ALT_V, K_ALT_W, K_ALT_X, K_ALT_Y, K_ALT_Z};
  if (letter >= 'a' && letter <= 'z') letter = char(letter - 'a' + 'A');
  if (letter < 'A' || letter > 'Z') return 0;
  return kByLetter[letter - 'A'];
}

}  // namespace rt::term
