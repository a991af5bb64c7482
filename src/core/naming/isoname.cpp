#include "core/naming/isoname.h"

#include "core/text/utf8.h"

#include <algorithm>
#include <cstddef>

namespace qubrix {

namespace {

constexpr std::string_view invalidCharacters = "|<>+;:, ";

// UTF-8 continuation bytes carry no character of their own.
std::size_t characterCount(std::string_view text) {
    return static_cast<std::size_t>(
        std::count_if(text.begin(), text.end(), [](char c) { return !isUtf8Continuation(c); }));
}

} // namespace

bool isIsoName(std::string_view name) {
    if (name.find_first_of(invalidCharacters) != std::string_view::npos)
        return false;
    const std::size_t stop = name.rfind('.');
    const std::string_view base = name.substr(0, stop);
    const std::string_view extension =
        stop == std::string_view::npos ? std::string_view() : name.substr(stop + 1);
    return characterCount(name) <= 12 && characterCount(base) <= 8 &&
           characterCount(extension) <= 3;
}

bool isPlainName(std::string_view name) {
    constexpr std::string_view separators("/\\\0", 3);
    return !name.empty() && name != "." && name != ".." &&
           name.find_first_of(separators) == std::string_view::npos;
}

} // namespace qubrix
