#include "medium/autoruninf.h"

#include "core/text/utf8.h"
#include "medium/bundle.h"

namespace qubrix {
namespace {

bool isAscii(std::string_view text) {
    for (const char c : text)
        if (static_cast<unsigned char>(c) >= 0x80)
            return false;
    return true;
}

void appendUnit(std::string& out, char16_t unit) {
    out += static_cast<char>(unit & 0xFF);
    out += static_cast<char>(unit >> 8);
}

// UTF-16LE with its byte-order mark; a malformed UTF-8 sequence becomes U+FFFD.
std::string utf16le(std::string_view utf8) {
    std::string out;
    appendUnit(out, 0xFEFF);
    for (std::size_t pos = 0; pos < utf8.size();) {
        const char32_t c = decodeUtf8(utf8, pos).value_or(kReplacementCharacter);
        if (c < 0x10000) {
            appendUnit(out, static_cast<char16_t>(c));
        } else {
            appendUnit(out, static_cast<char16_t>(0xD800 + ((c - 0x10000) >> 10)));
            appendUnit(out, static_cast<char16_t>(0xDC00 + ((c - 0x10000) & 0x3FF)));
        }
    }
    return out;
}

std::string openLine() {
    return "[autorun]\r\nopen=" + windowsProgramPath() + "\r\n";
}

} // namespace

std::string windowsProgramPath() {
    return std::string(kBundleFolder) + "\\" + std::string(kWindowsProgramTarget);
}

std::string autorunInf(std::string_view label) {
    std::string oneLine(label);
    for (char& c : oneLine)
        if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F)
            c = '_';
    const std::string text =
        openLine() + "icon=" + windowsProgramPath() + ",0\r\nlabel=" + oneLine + "\r\n";
    return isAscii(text) ? text : utf16le(text);
}

bool isPreparedAutorunInf(std::string_view bytes) {
    const std::string ascii = openLine();
    return bytes.starts_with(ascii) || bytes.starts_with(utf16le(ascii));
}

} // namespace qubrix
