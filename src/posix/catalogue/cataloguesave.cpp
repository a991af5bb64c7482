#include "core/catalogue/catalogue.h"

namespace qubrix {

// Saving takes the POSIX side of the data files (staging, locks, renames); the rest of the
// model builds wherever the catalogue is only read.
WriteOutcome Catalogue::SaveCatalogue(const std::string& catalogPath, const std::string& notesPath,
                                      int options, const PairStamp* replacing) {
    // Writing a notes file that could not be read would replace notes never seen.
    if (!notesReadError.empty()) {
        WriteOutcome refused;
        refused.ok = false;
        refused.failedPath = notesPath;
        refused.error = notesReadError;
        refused.readFailed = true;
        return refused;
    }
    keepTextAsShown();
    const PairStamp* expected = replacing ? replacing : filesOnDisk ? &*filesOnDisk : nullptr;
    const WriteOutcome outcome =
        saveDataFiles({catalogPath, notesPath}, catalogueBytes(options), notesBytes(), expected);
    if (outcome.ok) {
        optionsAtLoad = options;
        filesOnDisk = outcome.onDisk;
    }
    return outcome;
}

} // namespace qubrix
