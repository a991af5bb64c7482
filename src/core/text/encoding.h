#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace qubrix {

// The encodings a data file may be in.
enum class TextEncoding { Windows1252, Utf8 };

// Converts bytes of the given encoding to UTF-8; bytes that are no UTF-8 become U+FFFD.
std::string toUtf8(std::string_view bytes, TextEncoding encoding);
// Converts UTF-8 text to the given encoding; std::nullopt when the text is no valid UTF-8 or
// the encoding cannot carry it.
std::optional<std::string> fromUtf8(std::string_view utf8, TextEncoding encoding);

} // namespace qubrix
