#include "core/version/exever.h"

#include "core/text/ascii.h"
#include "core/text/utf8.h"
#include "core/version/versionfile.h"
#include "core/version/versionrecord.h"

#include <algorithm>
#include <array>
#include <cstdio>
#include <optional>
#include <vector>

namespace qubrix {
namespace {

// The kernel's link to the running program's file: it still opens after the file has been
// replaced or deleted, which the path it names would not.
constexpr const char* kOwnExecutable = "/proc/self/exe";
constexpr std::size_t kTextBufferSize = 260;

std::optional<std::string> readVersionField(const char* fileName, const char* fieldName) {
    const std::uint32_t size = fileVersionInfoSize(fileName);
    if (size == 0)
        return std::nullopt;
    std::vector<std::uint8_t> block(size);
    if (!fileVersionInfo(fileName, size, block.data()))
        return std::nullopt;
    return versionRecordField(block, fieldName);
}

// Cuts to bufferSize - 1 bytes, but never inside a UTF-8 sequence.
void copyCut(const std::string& text, char* buffer, std::size_t bufferSize) {
    const std::size_t room = bufferSize - 1;
    std::size_t count = std::min(text.size(), room);
    while (count > 0 && count < text.size() && isUtf8Continuation(text[count]))
        --count;
    std::copy_n(text.data(), count, buffer);
    buffer[count] = '\0';
    buffer[room] = '\0';
}

// One part read like %i. Only the low byte counts, so the value may wrap freely.
std::optional<std::uint32_t> scanInteger(std::string_view part) {
    std::size_t i = 0;
    while (i < part.size() && isAsciiBlank(part[i]))
        ++i;
    const bool negative = i < part.size() && part[i] == '-';
    if (i < part.size() && (part[i] == '-' || part[i] == '+'))
        ++i;
    unsigned base = 10;
    if (i < part.size() && part[i] == '0') {
        base = 8;
        const bool hex = i + 2 < part.size() && (part[i + 1] == 'x' || part[i + 1] == 'X') &&
                         hexDigitValue(part[i + 2]) >= 0;
        if (hex) {
            base = 16;
            i += 2;
        }
    }
    std::uint32_t value = 0;
    std::size_t digits = 0;
    for (; i < part.size() && static_cast<unsigned>(hexDigitValue(part[i])) < base; ++i, ++digits)
        value = value * base + static_cast<std::uint32_t>(hexDigitValue(part[i]));
    if (digits == 0)
        return std::nullopt;
    return negative ? 0u - value : value;
}

// The parts of text between separators, runs of separators counting as one.
std::vector<std::string_view> splitParts(std::string_view text, std::string_view separators) {
    std::vector<std::string_view> parts;
    std::size_t at = text.find_first_not_of(separators);
    while (at != std::string_view::npos) {
        const std::size_t end = text.find_first_of(separators, at);
        parts.push_back(text.substr(at, end == std::string_view::npos ? end : end - at));
        at = text.find_first_not_of(separators, end);
    }
    return parts;
}

std::string ownField(const char* fieldName) {
    return versionFieldText(kOwnExecutable, fieldName);
}

} // namespace

std::size_t TExeVersion::GetFileVersionField(const char* fileName, const char* fieldName,
                                             char* buffer, std::size_t bufferSize,
                                             std::uint32_t* number) {
    if (number != nullptr)
        *number = 0;
    if (fileName == nullptr || fieldName == nullptr)
        return 0;
    const std::optional<std::string> text = readVersionField(fileName, fieldName);
    if (!text)
        return 0;
    if (buffer != nullptr && bufferSize > 0)
        copyCut(*text, buffer, bufferSize);
    if (number != nullptr)
        *number = versionNumber(*text);
    return text->size();
}

std::optional<std::string> versionRecordField(std::span<const std::uint8_t> record,
                                              std::string_view fieldName) {
    const std::optional<VersionValue> translation =
        queryVersionValue(record, "\\VarFileInfo\\Translation");
    if (!translation || translation->bytes.size() < 4)
        return std::nullopt;
    // The entry holds the language in its low half; the table key wants it first.
    const std::span<const std::uint8_t> entry = translation->bytes;
    const unsigned long key = static_cast<unsigned long>(entry[0] | entry[1] << 8) << 16 |
                              static_cast<unsigned long>(entry[2] | entry[3] << 8);
    std::array<char, 9> keyText{};
    std::snprintf(keyText.data(), keyText.size(), "%08lx", key);
    std::string path = std::string("\\StringFileInfo\\") + keyText.data() + "\\";
    path += fieldName;
    const std::optional<VersionValue> value = queryVersionValue(record, path);
    if (!value)
        return std::nullopt;
    return versionText(*value);
}

std::string versionFieldText(const std::string& fileName, const char* fieldName) {
    std::array<char, kTextBufferSize> buffer{};
    if (TExeVersion::GetFileVersionField(fileName.c_str(), fieldName, buffer.data(), buffer.size(),
                                         nullptr) == 0)
        return {};
    return std::string(trimmedText(buffer.data()));
}

std::uint32_t versionNumber(std::string_view text) {
    constexpr std::size_t kParts = 4;
    std::uint32_t number = 0;
    std::size_t read = 0;
    for (const std::string_view part : splitParts(text, ".,")) {
        const std::optional<std::uint32_t> value = scanInteger(part);
        if (!value || read == kParts)
            break;
        number = number << 8 | (*value & 0xFF);
        ++read;
    }
    for (; read < kParts; ++read)
        number <<= 8;
    return number;
}

std::string majorVersionPart(std::string_view fileVersion) {
    const std::size_t point = fileVersion.find('.');
    return point == std::string_view::npos ? std::string{}
                                           : std::string(fileVersion.substr(0, point + 1));
}

std::string versionPart(std::string_view fileVersion, std::size_t index) {
    const std::vector<std::string_view> parts = splitParts(fileVersion, ".");
    return index < parts.size() ? std::string(parts[index]) : std::string{};
}

std::string TExeVersion::GetCompanyName() {
    return ownField("CompanyName");
}
std::string TExeVersion::GetFileDescription() {
    return ownField("FileDescription");
}
std::string TExeVersion::GetFileVersion() {
    return ownField("FileVersion");
}
std::string TExeVersion::GetInternalName() {
    return ownField("InternalName");
}
std::string TExeVersion::GetLegalCopyright() {
    return ownField("LegalCopyright");
}
std::string TExeVersion::GetLegalTrademarks() {
    return ownField("LegalTrademarks");
}
std::string TExeVersion::GetOriginalFilename() {
    return ownField("OriginalFilename");
}
std::string TExeVersion::GetProductName() {
    return ownField("ProductName");
}
std::string TExeVersion::GetProductVersion() {
    return ownField("ProductVersion");
}
std::string TExeVersion::GetComments() {
    return ownField("Comments");
}
std::string TExeVersion::GetMajorVersion() {
    return majorVersionPart(GetFileVersion());
}
std::string TExeVersion::GetMinorVersion() {
    return versionPart(GetFileVersion(), 1);
}
std::string TExeVersion::GetRelease() {
    return versionPart(GetFileVersion(), 2);
}
std::string TExeVersion::GetBuild() {
    return versionPart(GetFileVersion(), 3);
}

} // namespace qubrix
