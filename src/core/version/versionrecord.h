#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace qubrix {

// The fixed part of a version record (VS_FIXEDFILEINFO). Each version is two 32-bit halves:
// major << 16 | minor, then release << 16 | build.
struct FixedFileInfo {
    std::uint32_t fileVersionMS = 0;
    std::uint32_t fileVersionLS = 0;
    std::uint32_t productVersionMS = 0;
    std::uint32_t productVersionLS = 0;
    std::uint32_t fileFlagsMask = 0x3f;
    std::uint32_t fileFlags = 0;
    std::uint32_t fileOS = 0;
    std::uint32_t fileType = 0;
    std::uint32_t fileSubtype = 0;
};

// One StringFileInfo table: its key (language and code page as eight hexadecimal digits, such
// as "040904E4") and its fields, names and values in UTF-8.
struct VersionStringTable {
    std::string key;
    std::vector<std::pair<std::string, std::string>> strings;
};

struct VersionInfo {
    FixedFileInfo fixed;
    std::vector<VersionStringTable> stringTables;
    // VarFileInfo\Translation: the language in the low half, the code page in the high half.
    std::vector<std::uint32_t> translations;
};

// Writes the standard binary version record (VS_VERSIONINFO): UTF-16 keys and values,
// every node 32-bit aligned, the text fields under StringFileInfo and the translations under
// VarFileInfo.
std::vector<std::uint8_t> buildVersionRecord(const VersionInfo& info);

// A value found in a record: the bytes as stored, cut at the end of their node. A text value
// holds UTF-16 code units.
struct VersionValue {
    bool text = false;
    std::span<const std::uint8_t> bytes;
};

// Looks a path such as "\StringFileInfo\040904e4\FileVersion" up in a record; "\" is the
// fixed part. Keys compare case-blindly. A damaged record never reads outside record: what
// cannot be walked is simply not found. Stands in for VerQueryValue.
std::optional<VersionValue> queryVersionValue(std::span<const std::uint8_t> record,
                                              std::string_view path);

// The text of a value in UTF-8, up to its terminating zero or the end of the value.
std::string versionText(const VersionValue& value);

// The fixed part, when the record has one with the right signature.
std::optional<FixedFileInfo> readFixedFileInfo(std::span<const std::uint8_t> record);

} // namespace qubrix
