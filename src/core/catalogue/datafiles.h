#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace qubrix {

struct ReadOutcome {
    enum class Status { Read, Missing, Failed } status = Status::Missing;
    std::string bytes;
    std::string error; // the system's reason when status is Failed
};
// A data file is a few kilobytes; one beyond this size is no catalogue or notes file, and
// reading it could take all memory.
constexpr std::size_t kMaxDataFileSize = std::size_t{64} << 20;
// Reads a regular file whole. Anything else (a folder, a FIFO, a device) fails at once: a FIFO
// would block the start and a device may never end. So does a file beyond kMaxDataFileSize.
ReadOutcome readDataFile(const std::string& path);

// What a file held when it was read or written, to tell whether someone else has changed it
// since.
struct FileStamp {
    bool exists = false;
    std::size_t size = 0;
    std::size_t hash = 0;
    bool operator==(const FileStamp&) const = default;
};
FileStamp stampOf(const ReadOutcome& read);
FileStamp stampOf(std::string_view writtenBytes);

// The catalogue and its notes file: they change together.
struct DataFilePair {
    std::string catalogue;
    std::string notes;
};

struct PairStamp {
    FileStamp catalogue;
    FileStamp notes;
    bool operator==(const PairStamp&) const = default;
};

// Both files as one reading sees them: a save of another program is never read half done.
struct PairRead {
    ReadOutcome catalogue;
    ReadOutcome notes;
    PairStamp stamp;
};
// Finishes or undoes an interrupted save, then reads both files, while holding the pair's lock.
// A save in place that can be neither finished nor undone makes the catalogue Failed, with the
// reason: the pair is never read half saved.
PairRead readDataFiles(const DataFilePair& files);

struct WriteOutcome {
    bool ok = true;
    std::string failedPath;  // the file that could not be written
    std::string error;       // the system's reason
    bool readFailed = false; // the file could not be read when it was loaded
    // Another program changed the files since they were loaded: nothing was written.
    bool changedOnDisk = false;
    PairStamp onDisk; // with changedOnDisk: what the files hold now; on success: what was written
    std::string catalogueOnDisk; // with changedOnDisk: the bytes of the files now on disk
    std::string notesOnDisk;
};

// Replaces both files as one. Each is first written whole and flushed to a staging file beside
// it (named for the user who saves); the save is committed by renaming the staged catalogue to
// its final staging name, and only then are the staged files put in place, the notes file
// first. A crash before the commit leaves the old pair, a crash after it the new pair once
// recoverInterruptedSave has run. Links are followed, so a save through a symbolic link writes
// its target. A file that cannot be renamed over while keeping its owner, group and mode, or
// that has other hard links, is written in place from its staged copy. Everything that can be
// refused is refused before anything is put in place. When the folder refuses new files but
// both files exist and may be written, the catalogue carries the new text of both beyond its
// end, under a marker (an extended attribute) that the next load reads to finish or undo the
// save; a file that can carry no marker is not written. A file written in place gets room for
// its new length first, so a medium too full for it is refused before the file is touched.
// Saves and recoveries of every program take turns on an advisory lock of the catalogue file
// (a save creates a missing one empty to lock it, and removes it again if the save fails) and
// of its folder where that can be opened. Where nothing can be locked, staging files are read
// but never removed, and a save refuses while any are there. With expected given, a pair that
// no longer holds what it held then is left as it is (changedOnDisk); an empty catalogue counts
// as a missing one.
WriteOutcome saveDataFiles(const DataFilePair& files, std::string_view catalogueBytes,
                           std::string_view notesBytes, const PairStamp* expected = nullptr);

// Finishes a committed save that was interrupted and removes the staging files of one that was
// not, whichever user made it. Returns the files to read: the pair itself, or the committed
// staging files where they could not be put in place (a medium that has become read-only).
// Holds the pair's lock.
DataFilePair recoverInterruptedSave(const DataFilePair& files);

// The moments of a save at which tests stop it.
enum class SaveStep { NotesStaged, CatalogueStaged, Committed, NotesInPlace, CatalogueInPlace };
using SaveStepHook = void (*)(SaveStep);
void setSaveStepHook(SaveStepHook hook);

} // namespace qubrix
