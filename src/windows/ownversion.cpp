#include "windows/ownversion.h"

#include "core/text/ascii.h"
#include "core/text/utf8.h"
#include "core/version/exever.h"

#include <windows.h>

#include <cstdint>
#include <span>
#include <vector>

namespace winmenu {

namespace {

constexpr std::size_t kMostCharacters = 259;

std::wstring ownExecutable() {
    std::wstring path(MAX_PATH, L'\0');
    for (;;) {
        const DWORD length =
            GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
        if (length == 0)
            return {};
        if (length < path.size()) {
            path.resize(length);
            return path;
        }
        path.resize(path.size() * 2);
    }
}

// Cut to the buffer the getters have always had, never inside a UTF-8 sequence.
std::string cut(std::string text) {
    if (text.size() <= kMostCharacters)
        return text;
    std::size_t count = kMostCharacters;
    while (count > 0 && qubrix::isUtf8Continuation(text[count]))
        --count;
    text.resize(count);
    return text;
}

} // namespace

std::string ownVersionField(const char* fieldName) {
    const std::wstring file = ownExecutable();
    if (file.empty())
        return {};
    DWORD handle = 0;
    const DWORD size = GetFileVersionInfoSizeW(file.c_str(), &handle);
    if (size == 0)
        return {};
    std::vector<std::uint8_t> record(size);
    if (!GetFileVersionInfoW(file.c_str(), 0, size, record.data()))
        return {};
    const std::optional<std::string> text =
        qubrix::versionRecordField(std::span<const std::uint8_t>(record), fieldName);
    if (!text)
        return {};
    return std::string(qubrix::trimmedText(cut(*text)));
}

} // namespace winmenu
