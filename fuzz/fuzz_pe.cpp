// The PE resource directory walk on arbitrary files: whatever it finds must lie inside the file,
// and the record found there is read as the About box would.
#include "version/exever.h"
#include "version/versionfile.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::span<const std::uint8_t> file(data, size);
    const std::optional<qubrix::FileExtent> extent =
        qubrix::findPeVersionResource(qubrix::MemorySource(file));
    if (!extent)
        return 0;
    if (extent->offset > size || extent->size > size - extent->offset)
        __builtin_trap();
    qubrix::versionRecordField(file.subspan(extent->offset, extent->size), "FileVersion");
    return 0;
}
