#pragma once

#include <string>
#include <string_view>

namespace qubrix {

struct ReadOutcome {
    enum class Status { Read, Missing, Failed } status = Status::Missing;
    std::string bytes;
    std::string error; // the system's reason when status is Failed
};
// Reads a regular file whole. Anything else (a folder, a FIFO, a device) fails at once: a FIFO
// would block the start and a device may never end.
ReadOutcome readDataFile(const std::string& path);

// The catalogue and its notes file: they change together.
struct DataFilePair {
    std::string catalogue;
    std::string notes;
};

struct WriteOutcome {
    bool ok = true;
    std::string failedPath;  // the file that could not be written
    std::string error;       // the system's reason
    bool readFailed = false; // the file could not be read when it was loaded
};

// Replaces both files as one. Each is first written whole and flushed to a staging file beside
// it; the save is committed by renaming the staged catalogue to its final staging name, and only
// then are the staged files put in place, the notes file first. A crash before the commit leaves
// the old pair, a crash after it the new pair once recoverInterruptedSave has run. Links are
// followed, so a save through a symbolic link writes its target. A file that cannot be renamed
// over while keeping its owner, group and mode, or that has other hard links, is written in
// place from its staged copy. Everything that can be refused is refused before anything is
// put in place. When the folder refuses new files but both files exist and may be written,
// they are written in place without that protection.
WriteOutcome saveDataFiles(const DataFilePair& files, std::string_view catalogueBytes,
                           std::string_view notesBytes);

// Finishes a committed save that was interrupted and removes the staging files of one that was
// not. Returns the files to read: the pair itself, or the committed staging files where they
// could not be put in place (a medium that has become read-only).
DataFilePair recoverInterruptedSave(const DataFilePair& files);

// The moments of a save at which tests stop it.
enum class SaveStep { NotesStaged, CatalogueStaged, Committed, NotesInPlace, CatalogueInPlace };
using SaveStepHook = void (*)(SaveStep);
void setSaveStepHook(SaveStepHook hook);

} // namespace qubrix
