#pragma once

#include <sys/stat.h>

#include <string>
#include <vector>

// The staging files of a save beside the catalogue and its notes, under the names of
// core/catalogue/stagingnames.h.
namespace qubrix::posixdata {

// The suffix of the staging names of the user this program runs as.
std::string ownStagingSuffix();

// One of the pair as a save sees it: the file itself and its two staging names beside it.
struct Target {
    std::string path;
    std::string staged;  // complete and, for the catalogue, committed
    std::string partial; // the catalogue while it is being written
    bool exists = false;
    int statError = 0;
    struct stat info {};
};

// The file path names, links followed, and its staging names under suffix.
Target targetOf(const std::string& path, const std::string& suffix = ownStagingSuffix());

// Whether a staged catalogue marks a save committed but not yet put in place.
bool isCommitted(const std::string& stagedCatalogue);

// The staging names of every user beside path: the suffixes after its staging ends ("" for
// those of earlier versions). A folder that cannot be listed shows only the own suffix.
void addStagingSuffixes(const std::string& path, std::vector<std::string>& suffixes);

// Before a save: the staging names of an earlier save, finished or not, are cleared. Returns 0
// or the errno of a name that cannot be cleared (another user's file in a sticky folder).
int clearStagingNames(const Target& catalogue, const Target& notes);

// After a save that failed before its commit: what it staged goes.
void removeStaged(const Target& catalogue, const Target& notes);

} // namespace qubrix::posixdata
