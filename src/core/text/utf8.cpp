#include "core/text/utf8.h"

namespace qubrix {

namespace {

struct Lead {
    std::size_t length = 0; // 0: no lead byte
    char32_t bits = 0;
    char32_t smallest = 0; // below it the form is overlong
};

Lead readLead(unsigned char byte) {
    if ((byte & 0xE0) == 0xC0)
        return {2, byte & 0x1Fu, 0x80};
    if ((byte & 0xF0) == 0xE0)
        return {3, byte & 0x0Fu, 0x800};
    if ((byte & 0xF8) == 0xF0)
        return {4, byte & 0x07u, 0x10000};
    return {};
}

} // namespace

std::optional<char32_t> decodeUtf8(std::string_view text, std::size_t& pos) {
    const auto first = static_cast<unsigned char>(text[pos++]);
    if (first < 0x80)
        return first;
    const Lead lead = readLead(first);
    if (lead.length == 0 || text.size() - (pos - 1) < lead.length)
        return std::nullopt;
    char32_t value = lead.bits;
    for (std::size_t i = 0; i + 1 < lead.length; ++i) {
        const char byte = text[pos + i];
        if (!isUtf8Continuation(byte))
            return std::nullopt;
        value = (value << 6) | (static_cast<unsigned char>(byte) & 0x3F);
    }
    if (value < lead.smallest || value > 0x10FFFF || (value >= 0xD800 && value <= 0xDFFF))
        return std::nullopt;
    pos += lead.length - 1;
    return value;
}

void appendUtf8(std::string& out, char32_t codePoint) {
    if (codePoint < 0x80) {
        out += static_cast<char>(codePoint);
    } else if (codePoint < 0x800) {
        out += static_cast<char>(0xC0 | (codePoint >> 6));
        out += static_cast<char>(0x80 | (codePoint & 0x3F));
    } else if (codePoint < 0x10000) {
        out += static_cast<char>(0xE0 | (codePoint >> 12));
        out += static_cast<char>(0x80 | ((codePoint >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (codePoint & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (codePoint >> 18));
        out += static_cast<char>(0x80 | ((codePoint >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((codePoint >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (codePoint & 0x3F));
    }
}

bool isValidUtf8(std::string_view text) {
    for (std::size_t pos = 0; pos < text.size();) {
        if (!decodeUtf8(text, pos))
            return false;
    }
    return true;
}

} // namespace qubrix
