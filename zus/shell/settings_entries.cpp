// One place that registers the settings editors.
#include "zus/shell/settings_entries.h"

#include "zus/shell/link_editor.h"
#include "zus/shell/params_editor.h"
#include "zus/shell/payout_dates.h"
#include "zus/shell/personnel_items.h"
#include "zus/shell/table_function.h"

namespace zus {

void registerSettingsFunctions() {
  registerParameterRoutines();
  registerPayoutDateRoutines();
  registerTableFunctionRoutines();
  registerLinkEditorRoutines();
  registerPersonnelItemRoutines();
}

}  // namespace zus
