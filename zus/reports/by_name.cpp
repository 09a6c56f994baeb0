#include "zus/reports/by_name.h"

namespace zus {

void registerReportFunctions() {
  registerCardFunctions();
  registerListingFunctions();
}

}  // namespace zus
