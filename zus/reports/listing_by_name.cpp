#include "suite/screen/listing_setup.h"
#include "zus/reports/by_name.h"
#include "zus/reports/listing_benefits.h"
#include "zus/reports/listing_master.h"
#include "zus/reports/listing_pickers.h"

namespace zus {

void registerListingFunctions() {
  suite::registerCatalogueListingGenerator();
  registerListingPickers();
  registerBenefitListing();
  registerMasterListing();
}

}  // namespace zus
