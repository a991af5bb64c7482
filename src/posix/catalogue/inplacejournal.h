#pragma once

#include "core/catalogue/datafiles.h"
#include "posix/catalogue/stagingfiles.h"

#include <string>
#include <string_view>

namespace qubrix::posixdata {

// Where the folder refuses new files, both files are written in place, and the catalogue
// itself carries the save until it is done: the new text of both files goes beyond the end of
// both its old and its new text, and an extended attribute of the catalogue tells where (the
// marker). The marker is set before the catalogue grows, and says "committed" once all of the
// new text is on the medium; only then is either file overwritten. Whatever moment a save is
// stopped at, the next load finds the old pair (a marker not committed: the catalogue is cut
// back) or finishes the new one (a committed marker: both files are written from the text the
// catalogue carries), and the catalogue is cut to its new length before the marker goes.

// Saves the pair in place so; stagingError is why the folder refused the staging files, the
// reason given where a file to write in place does not exist.
WriteOutcome writePairInPlace(const DataFilePair& files, const Target& catalogue,
                              const Target& notes, std::string_view catalogueBytes,
                              std::string_view notesBytes, int stagingError);

// Finishes or undoes a save in place that was stopped. Returns the empty text, or why the pair
// cannot be read as one.
// Without the lock, a save in place found is one that may be going on.
std::string recoverInPlace(const Target& catalogue, const Target& notes, bool locked);

} // namespace qubrix::posixdata
