// Registration of the calculation's routines for calls by name.
#pragma once

namespace zus {

void registerCalcFunctions();

void registerCalcRunFunctions();    // the calculation run, record rules, value and net amount
void registerBasisFunctions();      // archive reading, averaging, saved basis record and window

}  // namespace zus
