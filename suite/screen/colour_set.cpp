// Colour-set scopes over the console library's `K_SET_ZESTAW`, with fixed stand-in colours.
#include "suite/screen/colour_set.h"

#include "runtime/core/functions.h"
#include "runtime/term/terminal.h"

namespace suite {

const char* fallbackColours(int set) {
  switch (set) {
    case kSetBackground: return "W/B,N/W,,,W/B";
    case kSetDescription: return "GR+/B,N/W,,,W/B";
    case kSetStatusLine: return "N/W,W+/N,,,N/W";
    case kSetBrowse: return "W/B,N/BG,,,W/B";
    case kSetMenu: return "N/W,W+/R,,,N/W";
    case kSetWarning: return "W+/R,N/W,,,W/R";
    case kSetInformation: return "N/BG,W+/B,,,N/BG";
    case kSetProgress: return "W+/G,N/W,,,W/G";
    default: return "W/N,N/W,,,W/N";
  }
}

ColourSetScope::ColourSetScope(int set) {
  const rt::NativeFunction* kSet = rt::functions().find("K_SET_ZESTAW");
  if (kSet) {
    rt::Args a({rt::Value::integer(set)});
    saved_ = (*kSet)(a);
    viaConsole_ = true;
  } else {
    savedColours_ = rt::term::screen().setColorString(fallbackColours(set));
  }
}

ColourSetScope::~ColourSetScope() {
  try {
    if (viaConsole_) {
      rt::Args a({saved_});
      rt::functions().call("K_SET_ZESTAW", a);
    } else {
      rt::term::screen().setColorString(savedColours_);
    }
  } catch (...) {
    // Restoring colours never throws out of a destructor.
  }
}

}  // namespace suite
