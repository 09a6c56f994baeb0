// The tables of one menu option: whatever ends the option (a return, a runtime error, any other
// exception), the table sets and tables it opened are closed, the locks it took on tables that
// stay open are released, and the work area selected before it is selected again. Without this
// a set left open by a failed option makes every later option's opening fail on its alias.
#pragma once

#include <set>
#include <string>
#include <vector>

namespace suite {

class OptionTables {
 public:
  OptionTables();
  ~OptionTables();
  OptionTables(const OptionTables&) = delete;
  OptionTables& operator=(const OptionTables&) = delete;

 private:
  std::vector<std::string> sets_;  // sets open before the option
  std::set<int> areas_;            // work areas open before the option
  std::set<int> lockFree_;         // those of them that held no lock
  int selected_;
  int unwinding_;                  // exceptions in flight when the option began
};

}  // namespace suite
