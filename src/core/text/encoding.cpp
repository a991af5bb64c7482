#include "core/text/encoding.h"

#include "core/text/utf8.h"
#include "core/text/windows1252.h"

namespace qubrix {

std::string toUtf8(std::string_view bytes, TextEncoding encoding) {
    std::string out;
    out.reserve(bytes.size());
    if (encoding == TextEncoding::Windows1252) {
        for (const char c : bytes)
            appendUtf8(out, windows1252ToCodePoint(c));
        return out;
    }
    for (std::size_t pos = 0; pos < bytes.size();)
        appendUtf8(out, decodeUtf8(bytes, pos).value_or(kReplacementCharacter));
    return out;
}

std::optional<std::string> fromUtf8(std::string_view utf8, TextEncoding encoding) {
    if (encoding == TextEncoding::Utf8) {
        if (!isValidUtf8(utf8))
            return std::nullopt;
        return std::string(utf8);
    }
    std::string out;
    out.reserve(utf8.size());
    for (std::size_t pos = 0; pos < utf8.size();) {
        const auto codePoint = decodeUtf8(utf8, pos);
        const auto byte = codePoint ? codePointToWindows1252(*codePoint) : std::nullopt;
        if (!byte)
            return std::nullopt;
        out += *byte;
    }
    return out;
}

} // namespace qubrix
