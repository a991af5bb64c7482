#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>

namespace qubrix {

// Reads the text fields of the version record of the running program's own executable file.
// Nothing is kept between calls, so every getter is a class operation.
class TExeVersion final {
public:
    // Copies the text field fieldName of fileName's version record (the string table chosen
    // by the record's first translation) into buffer, cut to bufferSize - 1 characters, and
    // reads it as a version number into number (up to four parts, one byte each,
    // left-aligned: "3.1" gives 0x03010000). buffer and number may be null. Returns the
    // length of the text, or 0 when the record or the field is missing.
    static std::size_t GetFileVersionField(const char* fileName, const char* fieldName,
                                           char* buffer, std::size_t bufferSize,
                                           std::uint32_t* number);

    static std::string GetCompanyName();
    static std::string GetFileDescription();
    static std::string GetFileVersion();
    static std::string GetInternalName();
    static std::string GetLegalCopyright();
    static std::string GetLegalTrademarks();
    static std::string GetOriginalFilename();
    static std::string GetProductName();
    static std::string GetProductVersion();
    static std::string GetComments();
    // The parts of FileVersion: "3.", "1", "2" and "9" for "3.1.2.9".
    static std::string GetMajorVersion();
    static std::string GetMinorVersion();
    static std::string GetRelease();
    static std::string GetBuild();
};

// The text of fieldName in the string table that the record's first translation names; the
// lookup of keys and field names is case-blind.
std::optional<std::string> versionRecordField(std::span<const std::uint8_t> record,
                                              std::string_view fieldName);

// What the text getters do, for any file: the field cut to 259 characters, without the
// blanks and control characters around it; empty when missing.
std::string versionFieldText(const std::string& fileName, const char* fieldName);

// A version text as a number: up to four parts separated by "." or ",", each read like
// scanf's %i (decimal, 0x hexadecimal, leading-0 octal) and kept to its low byte. Reading
// stops at a part that is not a number; empty parts are skipped, as the part getters do.
std::uint32_t versionNumber(std::string_view text);

// Everything up to and including the first "."; empty when there is none.
std::string majorVersionPart(std::string_view fileVersion);
// Part index (from 0) of fileVersion split at "."; runs of "." count as one and leading ones
// are skipped. Empty when there is no such part.
std::string versionPart(std::string_view fileVersion, std::size_t index);

} // namespace qubrix
