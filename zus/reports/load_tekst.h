// The months of a benefit's basis as text: the stored run of two-digit month numbers read from
// its end, each without its leading zero, joined by commas, in exactly the width asked for.
#pragma once

#include <string>
#include <string_view>

namespace zus {

// "010203" in 14 gives "3,2,1" and nine blanks. A text of odd length loses its first character
// (the walk goes back in steps of two from the end). A width below 0 counts as 0.
std::string LOAD_TEKST(std::string_view months, int width = 14);

}  // namespace zus
