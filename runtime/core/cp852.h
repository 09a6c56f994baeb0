// Code page 852 text: the letters the case functions know and conversions to and from UTF-8.
//
// Strings inside the runtime are bytes in code page 852, as the tables store them. The case
// functions map every letter of the code page that has a partner of the other case in it (the
// Polish ą ć ę ł ń ó ś ź ż among them); bytes below 128 follow ASCII. The terminal and the print
// files speak UTF-8, so the conversions live here beside the table.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace rt {

unsigned char toUpper852(unsigned char c);
unsigned char toLower852(unsigned char c);
bool isAlpha852(unsigned char c);
bool isUpper852(unsigned char c);
bool isLower852(unsigned char c);

std::string upper852(std::string_view s);
std::string lower852(std::string_view s);

// The Unicode code point of one byte (bytes below 128 are themselves).
char32_t cp852ToUnicode(unsigned char c);
// The byte of a code point, or -1 when code page 852 has no such character.
int unicodeToCp852(char32_t cp);

std::string cp852ToUtf8(std::string_view s);
// Characters that code page 852 lacks, and malformed UTF-8 bytes, become `replacement`.
std::string utf8ToCp852(std::string_view s, char replacement = '?');

// Appends the UTF-8 form of one code point.
void appendUtf8(std::string& out, char32_t cp);

}  // namespace rt
