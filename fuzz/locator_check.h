#pragma once

#include "core/version/exever.h"
#include "core/version/versionfile.h"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>

// Runs one locator on arbitrary bytes: whatever it finds must lie inside them, and the record
// found there is read as the About box would.
template <typename Locator>
int checkLocator(const std::uint8_t* data, std::size_t size, Locator locate) {
    const std::span<const std::uint8_t> file(data, size);
    const std::optional<qubrix::FileExtent> extent = locate(qubrix::MemorySource(file));
    if (!extent)
        return 0;
    if (extent->offset > size || extent->size > size - extent->offset)
        __builtin_trap();
    qubrix::versionRecordField(file.subspan(extent->offset, extent->size), "FileVersion");
    return 0;
}
