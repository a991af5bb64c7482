// The ELF section headers walk on arbitrary files.
#include "locator_check.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    return checkLocator(data, size, [](const qubrix::MemorySource& source) {
        return qubrix::findElfVersionSection(source);
    });
}
