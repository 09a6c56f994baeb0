// One place that registers all of the suite's routines the program calls by name.
#include "suite/register.h"

#include "suite/company/company.h"
#include "suite/forms/display_text.h"
#include "suite/forms/option_widgets.h"
#include "suite/payroll/batch_runs.h"
#include "suite/payroll/payroll.h"
#include "suite/payroll/payroll_values.h"
#include "suite/payroll/pickers.h"
#include "suite/screen/choices.h"
#include "suite/screen/listing_generator.h"
#include "suite/screen/main_screen.h"
#include "suite/screen/menu_engine.h"
#include "suite/screen/messages.h"
#include "suite/screen/print_layer.h"
#include "suite/screen/services.h"
#include "suite/tables/table_services.h"
#include "suite/tables/table_sets.h"

namespace suite {

void registerSuiteFunctions() {
  registerDisplayTextFunctions();
  registerOptionWidgets();
  registerMessageFunctions();
  registerMainScreenFunctions();
  registerMenuEngine();
  registerCompanyFunctions();
  registerPayrollFunctions();
  registerPickerFunctions();
  registerTableSetFunctions();
  registerTableServiceFunctions();
  registerServiceFunctions();
  registerPrintLayerFunctions();
  registerPayrollValueFunctions();
  registerBatchRunFunctions();
  registerChoiceFunctions();
  registerListingGenerator();
}

}  // namespace suite
