// What each code page 852 byte looks like on a Unicode terminal, and back.
//
// The upper half follows code page 852 (Polish letters, box-drawing characters); the control
// range 1..31 and 127 show the PC text screen's symbols (arrows, triangles, ...), which the
// frames and scroll marks of the programs use; byte 0 shows as a blank.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace rt::term {

char32_t glyphOf(uint8_t byte);
// The byte that shows a code point, or -1 when none does.
int byteOfGlyph(char32_t cp);

// A run of screen bytes in UTF-8.
std::string glyphsToUtf8(std::string_view bytes);
// UTF-8 text to screen bytes; characters with no byte become `replacement`.
std::string utf8ToGlyphs(std::string_view utf8, char replacement = '?');

}  // namespace rt::term
