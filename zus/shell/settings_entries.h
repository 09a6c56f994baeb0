// Registration of the settings editors for calls by name: the menu entries `ED_ZAOK`,
// `ZUS_PARA`, `_EDITSLOW`, `LOAD_ZUS`, `Z_KADRAMI`, `WSKAZ_FUN`, `ODLACZ_FUN` and the routines
// they share with other options (`ED_PAR`, `ED_DATY`, `_DLEN`, `_OBLICZ_FT`, the link editor's
// table routines, `KDR_OBSL`). The option-screen widgets they call are the suite's.
#pragma once

namespace zus {

void registerSettingsFunctions();

}  // namespace zus
