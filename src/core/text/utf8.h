#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace qubrix {

constexpr char32_t kReplacementCharacter = 0xFFFD;

// A byte that continues a multi-byte sequence and carries no character of its own.
constexpr bool isUtf8Continuation(char byte) {
    return (static_cast<unsigned char>(byte) & 0xC0) == 0x80;
}

// Decodes the sequence at pos and moves pos past it. Overlong forms, surrogates, values
// beyond U+10FFFF and cut sequences are refused: std::nullopt, and pos moves past the lead
// byte only, so a caller can go on with the next byte.
std::optional<char32_t> decodeUtf8(std::string_view text, std::size_t& pos);
// Appends the UTF-8 form of a code point up to U+10FFFF.
void appendUtf8(std::string& out, char32_t codePoint);
bool isValidUtf8(std::string_view text);

} // namespace qubrix
