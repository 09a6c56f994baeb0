// Registration of the transfers' and the RESET export's routines for calls by name.
#pragma once

namespace zus {

void registerTransferFunctions();

void registerModuleTransferFunctions();  // transfers to payroll and to personnel
void registerResetExportFunctions();     // RESET export, its parameters and kind mappings

}  // namespace zus
