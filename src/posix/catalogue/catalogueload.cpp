#include "core/catalogue/catalogue.h"

namespace qubrix {

// The reading of the data files differs between Linux and Windows; what they hold is read alike.
Catalogue::LoadOutcome Catalogue::LoadCatalogue(const std::string& catalogPath,
                                                const std::string& notesPath) {
    return loadFiles(readDataFiles({catalogPath, notesPath}));
}

} // namespace qubrix
