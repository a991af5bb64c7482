#pragma once

#include <string>
#include <string_view>

// Character rules that hold whatever the locale: data files, command lines and version
// records are read the same on every system.
namespace qubrix {

// A blank as C's isspace reads it in the "C" locale: space, tab, line feed, vertical tab,
// form feed and carriage return.
constexpr bool isAsciiBlank(char c) {
    return c == ' ' || (c >= '\t' && c <= '\r');
}

// The ASCII letters a to z in upper case; every other character, a byte of a multi-byte
// sequence included, stays as it is.
constexpr char32_t upperAscii(char32_t c) {
    return c >= 'a' && c <= 'z' ? c - 'a' + 'A' : c;
}
constexpr char upperAscii(char c) {
    return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
}
// The ASCII letters A to Z in lower case; sorting folds this way, so "_" comes before "a".
constexpr char lowerAscii(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}
// Upper-cases byte for byte, so a position in the result holds for the original.
std::string upperAscii(std::string_view text);
bool equalsIgnoringAsciiCase(std::string_view a, std::string_view b);

// The value of a hexadecimal digit in either letter case; -1 for any other character.
int hexDigitValue(char c);

// The text without the blanks and control characters (codes 0 to 32) at its ends.
std::string_view trimmedText(std::string_view text);

} // namespace qubrix
