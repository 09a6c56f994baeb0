// Registration of the benefit reports' routines for calls by name.
#pragma once

namespace zus {

void registerReportFunctions();

void registerCardFunctions();     // print set-up, benefit card, settlement
void registerListingFunctions();  // the two benefit listings

}  // namespace zus
