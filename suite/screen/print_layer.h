// The suite's print layer by name, over the runtime's print jobs.
//
//   DEV()           declares the layer's variables: `urzadzenie` (0 none, 1 screen, 2 file,
//                   3 printer), `dev_ll` (lines printed on the page), `dev_ss` (pages begun),
//                   `p_licz_wie` (lines per page), `dev_linia` (line width), `tytul_proc` (the
//                   routine called by name at the top of each page), `dev_tytul`, `dev_stopka`
//   WYB_URZ()       lets the user choose the device; Esc leaves `urzadzenie` 0
//   DEV_OPEN()      opens the chosen device (nothing when `urzadzenie` is 0)
//   DEV_LINIA(text) prints a line, beginning pages as they fill
//   DEV_EJECT()     the next line begins a new page
//   DEV_CLOSE()     ends the print: the screen shows it, the file keeps it in "WYDRUKI\wydruk.txt"
//                   (and a message names the file), the printer gets it
//   DEV_PRZERWANY() .T. when the print opened last was cut short (Esc or a failure of its device);
//                   loops over many items stop on it
//   _PRNN(text)     a stored text in printable form
// A print the user cuts short with Esc says "Wydruk przerwany": the device is closed (a file keeps
// what was printed, ending with a line saying so) and later lines of the same print go nowhere. A
// device that fails (a full disk, a printer that refuses) drops the print with a message, leaving
// the previous print file whole. Messages go through KOM3.
#pragma once

namespace suite {

void registerPrintLayerFunctions();

}  // namespace suite
