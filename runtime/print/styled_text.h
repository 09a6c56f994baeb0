// Printed lines with bold and underline codes embedded, split into styled runs.
//
// A line is code page 852 text in which the print layer's codes switch bold and underline on and
// off. Every device splits a line the same way: the printer file and the text file drop the
// codes, the screen viewer shows them as attributes. Widths count only printed characters, so a
// line of 171 columns stays 171 however many codes it holds.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace rt::print {

struct StyleCodes {
  std::string boldOn = "\x1b" "E";
  std::string boldOff = "\x1b" "F";
  std::string underlineOn = "\x1b" "-1";
  std::string underlineOff = "\x1b" "-0";
};

// The codes in use (the print layer reads them into its variables).
const StyleCodes& styleCodes();
void setStyleCodes(const StyleCodes& codes);

struct StyledRun {
  std::string text;  // code page 852
  bool bold = false;
  bool underline = false;
  bool operator==(const StyledRun&) const = default;
};

// Bold and underline state carried from one line to the next (a code left on stays on).
struct StyleState {
  bool bold = false;
  bool underline = false;
};

// Splits a line into runs; `state` is updated by the codes met.
std::vector<StyledRun> splitStyled(std::string_view line, StyleState& state,
                                   const StyleCodes& codes = styleCodes());
// The line without its codes.
std::string stripCodes(std::string_view line, const StyleCodes& codes = styleCodes());
// Printed characters of a line (codes excluded).
int printedWidth(std::string_view line, const StyleCodes& codes = styleCodes());

// The box-drawing characters of code page 852 as ASCII ('-', '|', '+', '='), for printers
// without a graphic character set; other bytes unchanged.
std::string boxToAscii(std::string_view line);

}  // namespace rt::print
