// The version record reader on arbitrary bytes: the field lookup through the translation, the
// fixed part, and the number and parts read from what comes back.
#include "core/version/exever.h"
#include "core/version/versionrecord.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::span<const std::uint8_t> record(data, size);
    for (const char* name : {"FileVersion", "CompanyName", "Translation", ""}) {
        if (const std::optional<std::string> text = qubrix::versionRecordField(record, name)) {
            qubrix::versionNumber(*text);
            qubrix::majorVersionPart(*text);
            qubrix::versionPart(*text, 3);
        }
    }
    qubrix::readFixedFileInfo(record);
    return 0;
}
