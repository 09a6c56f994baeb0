// The employee the run's progress window names ("Pracownik:" at `tr_y`, `tr_x`, set by
// TRACE_OPEN). Drawing the name for every employee costs a real terminal more than calculating
// many, so it is drawn at most every 50 ms or so (con::RedrawPace); a name held back is drawn
// before the window closes and before a message or question of the run.
#pragma once

#include <string>

#include "console/progress.h"

namespace zus::calcrun {

class ProgressName {
 public:
  void show(std::string name);
  void showHeldBack();

 private:
  void draw();

  con::RedrawPace pace_;
  std::string name_;
};

}  // namespace zus::calcrun
