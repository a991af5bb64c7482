#include "core/catalogue/catalogue.h"

namespace qubrix {

// Saving takes the POSIX side of the data files (staging, locks, renames).
WriteOutcome Catalogue::SaveCatalogue(const std::string& catalogPath, const std::string& notesPath,
                                      int options, const PairStamp* replacing) {
    const DataFilePair files{catalogPath, notesPath};
    return SaveCatalogue(
        files, options, replacing,
        [&files](std::string_view catalogue, std::string_view notes, const PairStamp* expected) {
            return saveDataFiles(files, catalogue, notes, expected);
        });
}

} // namespace qubrix
