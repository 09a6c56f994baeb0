// Registration of the register's routines for calls by name (menu entries, expression texts,
// browse and form callbacks). Each group registers itself; `registerRegisterFunctions` calls them
// all.
#pragma once

namespace zus {

void registerRegisterFunctions();

void registerRegisterBrowseFunctions();  // the browse, day counters, yearly resets, remarks
void registerBenefitFormFunctions();     // the edit form, its field checks and keys
void registerEntryRuleFunctions();       // entry rules, continuity, months of the basis

}  // namespace zus
