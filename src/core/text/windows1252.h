#pragma once

#include <optional>

namespace qubrix {

// Windows-1252 byte to code point. The five bytes the code page leaves undefined (0x81,
// 0x8D, 0x8F, 0x90, 0x9D) map to the C1 control of the same value, so that any byte
// sequence survives a trip through UTF-8.
char32_t windows1252ToCodePoint(char byte);
// The byte that carries the code point; std::nullopt when Windows-1252 has none.
std::optional<char> codePointToWindows1252(char32_t codePoint);

} // namespace qubrix
