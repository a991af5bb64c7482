#include "core/catalogue/datafiles.h"

#include "posix/catalogue/fileio.h"
#include "posix/catalogue/inplacejournal.h"
#include "posix/catalogue/pairlock.h"
#include "posix/catalogue/stagingfiles.h"

#include <cerrno>
#include <ctime>

#include <algorithm>
#include <functional>
#include <optional>
#include <utility>
#include <vector>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace qubrix {

namespace posixdata {

namespace {

SaveStepHook g_saveStepHook = nullptr;

} // namespace

void reached(SaveStep step) {
    if (g_saveStepHook)
        g_saveStepHook(step);
}

} // namespace posixdata

using namespace posixdata;

namespace {

constexpr const char* kNotRegular = "Not a regular file";
constexpr const char* kSameFile = "The catalogue and the notes file are the same file";

// Why the file may not be replaced, or the empty text. A file without any write bit is
// write-protected even for root.
std::string refusalOf(const Target& target) {
    if (target.statError != 0)
        return systemReason(target.statError);
    if (!target.exists)
        return {};
    if (S_ISDIR(target.info.st_mode))
        return systemReason(EISDIR);
    if (!S_ISREG(target.info.st_mode))
        return kNotRegular;
    if ((target.info.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0)
        return systemReason(EACCES);
    if (::geteuid() != 0 && ::access(target.path.c_str(), W_OK) != 0)
        return systemReason(errno);
    return {};
}

// Owner and group are given back apart: a member of the file's group may give the group back
// although only root may give the owner back. The mode comes last, as a change of owner clears
// the set-id bits.
void keepOwnerGroupAndMode(int fd, const struct stat& info) {
    if (info.st_gid != ::getegid()) [[maybe_unused]]
        const int ignored = ::fchown(fd, static_cast<uid_t>(-1), info.st_gid);
    if (info.st_uid != ::geteuid()) [[maybe_unused]]
        const int ignored = ::fchown(fd, info.st_uid, static_cast<gid_t>(-1));
    [[maybe_unused]] const int ignored = ::fchmod(fd, info.st_mode & 07777);
}

// Writes the bytes to a new, flushed staging file; returns 0 or the errno.
int stage(const Target& target, const std::string& stagingPath, std::string_view bytes) {
    const int fd =
        ::open(stagingPath.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NOCTTY, 0666);
    if (fd < 0)
        return errno;
    if (target.exists)
        keepOwnerGroupAndMode(fd, target.info);
    int error = 0;
    if (!writeAll(fd, bytes) || ::fsync(fd) != 0)
        error = errno;
    error = closeReportingFirst(fd, error);
    if (error != 0)
        ::unlink(stagingPath.c_str());
    return error;
}

// A rename keeps the file only when the staged copy carries its owner, group and mode and no
// other name shares it.
bool renameKeepsTheFile(const struct stat& old, const struct stat& staged) {
    return old.st_nlink == 1 && old.st_uid == staged.st_uid && old.st_gid == staged.st_gid &&
           (old.st_mode & 07777) == (staged.st_mode & 07777);
}

bool renameRefused(int error) {
    return error == EPERM || error == EACCES;
}

// Puts a staged file in place; returns 0 or the errno. Repeating it after a crash gives the
// same result, so an interrupted save can be finished at the next start. A staged file that
// was copied over its target rather than renamed is retired: removed, or, where a sticky
// folder keeps another user's file, left for the caller.
int putInPlace(const std::string& staged, const std::string& target,
               const std::function<int()>& retire) {
    struct stat stagedInfo {};
    struct stat targetInfo {};
    if (::stat(staged.c_str(), &stagedInfo) != 0)
        return errno;
    const bool targetExists = ::stat(target.c_str(), &targetInfo) == 0;
    if (!targetExists || renameKeepsTheFile(targetInfo, stagedInfo)) {
        if (::rename(staged.c_str(), target.c_str()) == 0)
            return 0;
        // In a sticky folder only its owner may rename another user's staged file.
        if (!targetExists || !renameRefused(errno))
            return errno;
    }
    const ReadOutcome bytes = readDataFile(staged);
    if (bytes.status != ReadOutcome::Status::Read)
        return EIO;
    const int fd = openForWriting(target);
    if (fd < 0)
        return errno;
    if (const int error = writeInPlace(fd, bytes.bytes))
        return error;
    return retire();
}

int removeOrLeave(const std::string& path) {
    ::unlink(path.c_str());
    return 0;
}

// A committed catalogue is never empty (it ends with the options line), so an empty staged
// catalogue marks a save already finished whose file could not be removed.
int removeOrEmpty(const std::string& path) {
    if (::unlink(path.c_str()) == 0 || errno == ENOENT)
        return 0;
    if (::truncate(path.c_str(), 0) == 0)
        return 0;
    return errno;
}

void syncFolder(const std::string& folder) {
    const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0)
        return;
    ::fsync(fd);
    ::close(fd);
}

void syncFolders(const Target& catalogue, const Target& notes) {
    syncFolder(folderOf(catalogue.path));
    if (folderOf(notes.path) != folderOf(catalogue.path))
        syncFolder(folderOf(notes.path));
}

bool sameFile(const Target& a, const Target& b) {
    if (a.exists && b.exists)
        return a.info.st_dev == b.info.st_dev && a.info.st_ino == b.info.st_ino;
    return a.path == b.path;
}

bool folderRefusesNewFiles(int error) {
    return error == EACCES || error == EPERM;
}

ReadOutcome readFailure(std::string reason) {
    return {ReadOutcome::Status::Failed, {}, std::move(reason)};
}

ReadOutcome readOpenFile(int fd) {
    struct stat info {};
    if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode))
        return readFailure(S_ISDIR(info.st_mode) ? systemReason(EISDIR) : kNotRegular);
    if (static_cast<std::size_t>(info.st_size) > kMaxDataFileSize)
        return readFailure(systemReason(EFBIG));
    // The size is only a hint: the file may grow or shrink while it is read.
    ReadOutcome outcome{ReadOutcome::Status::Read, {}, {}};
    std::size_t used = 0;
    outcome.bytes.resize(info.st_size > 0 ? static_cast<std::size_t>(info.st_size) + 1 : 4096);
    for (;;) {
        if (used == outcome.bytes.size())
            outcome.bytes.resize(outcome.bytes.size() * 2);
        const ssize_t got = ::read(fd, outcome.bytes.data() + used, outcome.bytes.size() - used);
        if (got < 0 && errno == EINTR)
            continue;
        if (got < 0)
            return readFailure(systemReason(errno));
        if (got == 0)
            break;
        used += static_cast<std::size_t>(got);
        if (used > kMaxDataFileSize)
            return readFailure(systemReason(EFBIG));
    }
    outcome.bytes.resize(used);
    return outcome;
}

} // namespace

void setSaveStepHook(SaveStepHook hook) {
    g_saveStepHook = hook;
}

ReadOutcome readDataFile(const std::string& path) {
    const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd < 0 && (errno == ENOENT || errno == ENOTDIR))
        return {};
    if (fd < 0)
        return readFailure(systemReason(errno));
    ReadOutcome outcome = readOpenFile(fd);
    ::close(fd);
    return outcome;
}

namespace {

struct Recovery {
    DataFilePair toRead;
    int error = 0; // why a committed save could not be finished
    std::string failedPath;
    std::string unreadable;   // why the pair cannot be read as one
    bool stagingLeft = false; // without a lock: staging files that may be another's save
};

std::timespec changeTimeOf(const std::string& path) {
    struct stat info {};
    ::lstat(path.c_str(), &info);
    return info.st_mtim;
}

Recovery recover(const DataFilePair& files, bool locked) {
    const Target catalogue = targetOf(files.catalogue);
    const Target notes = targetOf(files.notes);
    if (std::string reason = recoverInPlace(catalogue, notes, locked); !reason.empty())
        return {files, 0, {}, std::move(reason), false};
    std::vector<std::string> suffixes = {"", ownStagingSuffix()};
    addStagingSuffixes(catalogue.path, suffixes);
    addStagingSuffixes(notes.path, suffixes);
    std::vector<std::pair<Target, Target>> committed;
    bool stagingLeft = false;
    for (const std::string& suffix : suffixes) {
        Target stagedCatalogue = targetOf(files.catalogue, suffix);
        Target stagedNotes = targetOf(files.notes, suffix);
        stagingLeft = stagingLeft || exists(stagedCatalogue.partial) ||
                      exists(stagedCatalogue.staged) || exists(stagedNotes.staged);
        if (isCommitted(stagedCatalogue.staged)) {
            committed.emplace_back(std::move(stagedCatalogue), std::move(stagedNotes));
        } else if (locked) {
            // Not committed, or finished and emptied: the pair stands.
            ::unlink(stagedCatalogue.partial.c_str());
            ::unlink(stagedCatalogue.staged.c_str());
            ::unlink(stagedNotes.staged.c_str());
        }
    }
    // Only one save can be committed and unfinished, as every save finishes one first; should
    // there be more, the latest is put in place last.
    std::sort(committed.begin(), committed.end(), [](const auto& a, const auto& b) {
        const std::timespec ta = changeTimeOf(a.first.staged);
        const std::timespec tb = changeTimeOf(b.first.staged);
        return ta.tv_sec != tb.tv_sec ? ta.tv_sec < tb.tv_sec : ta.tv_nsec < tb.tv_nsec;
    });
    if (!locked) {
        // Staging files of a save that may still be going on are read, never touched.
        if (committed.empty())
            return {files, 0, {}, {}, stagingLeft};
        const auto& [latest, latestNotes] = committed.back();
        return {DataFilePair{latest.staged,
                             exists(latestNotes.staged) ? latestNotes.staged : files.notes},
                0,
                {},
                {},
                true};
    }
    // Named references rather than a structured binding, which clang 14's lambdas cannot capture.
    for (const auto& staged : committed) {
        const Target& stagedCatalogue = staged.first;
        const Target& stagedNotes = staged.second;
        ::unlink(stagedCatalogue.partial.c_str());
        // Committed: the notes go in place first, and the catalogue, which ends the save, only
        // after them.
        if (exists(stagedNotes.staged))
            if (const int error = putInPlace(stagedNotes.staged, notes.path,
                                             [&] { return removeOrLeave(stagedNotes.staged); }))
                return {DataFilePair{stagedCatalogue.staged, stagedNotes.staged},
                        error,
                        files.notes,
                        {},
                        false};
        if (const int error = putInPlace(stagedCatalogue.staged, catalogue.path,
                                         [&] { return removeOrEmpty(stagedCatalogue.staged); }))
            return {DataFilePair{stagedCatalogue.staged, files.notes},
                    error,
                    files.catalogue,
                    {},
                    false};
    }
    if (!committed.empty())
        syncFolders(catalogue, notes);
    return {files, 0, {}, {}, false};
}

// Takes the pair's lock and finishes or undoes what an interrupted save left. A recovery that
// put a new catalogue in place has replaced the file the lock was taken on: it is taken anew.
Recovery lockAndRecover(const DataFilePair& files, PairLock& lock) {
    Recovery recovery = recover(files, lock.held());
    for (int round = 0; round < 10 && lock.held() && !lock.current(); ++round) {
        lock.renew();
        recovery = recover(files, lock.held());
    }
    return recovery;
}

// Room for the files that will be written in place once the save is committed, taken before
// the commit so that a full medium refuses the save while the old pair stands.
WriteOutcome reserveAfterCommit(const Target& target, const std::string& stagedPath,
                                std::size_t length, const std::string& shownPath) {
    struct stat staged {};
    if (!target.exists || ::stat(stagedPath.c_str(), &staged) != 0 ||
        renameKeepsTheFile(target.info, staged))
        return {};
    const int fd = openForWriting(target.path);
    const int error = fd < 0 ? errno : closeReportingFirst(fd, reserve(fd, length));
    return error == 0 ? WriteOutcome{} : failure(shownPath, systemReason(error));
}

// An empty catalogue is a new one, as a missing one is: a save creates it empty to lock it.
PairStamp asLoaded(PairStamp stamp) {
    if (stamp.catalogue.exists && stamp.catalogue.size == 0)
        stamp.catalogue = {};
    return stamp;
}

// The files as they are now, when they no longer hold what they held at stamp: another program
// has saved them since.
std::optional<WriteOutcome> changedSince(const DataFilePair& files, const PairStamp& stamp) {
    ReadOutcome catalogueNow = readDataFile(files.catalogue);
    ReadOutcome notesNow = readDataFile(files.notes);
    const PairStamp now{stampOf(catalogueNow), stampOf(notesNow)};
    if (asLoaded(now) == asLoaded(stamp))
        return std::nullopt;
    WriteOutcome changed = failure({}, {});
    changed.changedOnDisk = true;
    changed.onDisk = now;
    changed.catalogueOnDisk = std::move(catalogueNow.bytes);
    changed.notesOnDisk = std::move(notesNow.bytes);
    return changed;
}

WriteOutcome stageAndCommit(const DataFilePair& files, const Target& catalogue, const Target& notes,
                            std::string_view catalogueBytes, std::string_view notesBytes) {
    const auto inPlace = [&](int error) {
        return writePairInPlace(files, catalogue, notes, catalogueBytes, notesBytes, error);
    };
    if (const int error = clearStagingNames(catalogue, notes))
        return folderRefusesNewFiles(error) ? inPlace(error)
                                            : failure(files.notes, systemReason(error));
    if (const int error = stage(notes, notes.staged, notesBytes))
        return folderRefusesNewFiles(error) ? inPlace(error)
                                            : failure(files.notes, systemReason(error));
    reached(SaveStep::NotesStaged);
    if (const int error = stage(catalogue, catalogue.partial, catalogueBytes)) {
        removeStaged(catalogue, notes);
        return folderRefusesNewFiles(error) ? inPlace(error)
                                            : failure(files.catalogue, systemReason(error));
    }
    reached(SaveStep::CatalogueStaged);
    for (WriteOutcome room :
         {reserveAfterCommit(notes, notes.staged, notesBytes.size(), files.notes),
          reserveAfterCommit(catalogue, catalogue.partial, catalogueBytes.size(), files.catalogue)})
        if (!room.ok) {
            removeStaged(catalogue, notes);
            return room;
        }
    syncFolders(catalogue, notes);
    if (::rename(catalogue.partial.c_str(), catalogue.staged.c_str()) != 0) {
        const int error = errno;
        removeStaged(catalogue, notes);
        return failure(files.catalogue, systemReason(error));
    }
    syncFolder(folderOf(catalogue.path));
    reached(SaveStep::Committed);
    // From here on the save stands: what cannot be finished now is finished by the next save or
    // the next start.
    if (const int error =
            putInPlace(notes.staged, notes.path, [&] { return removeOrLeave(notes.staged); }))
        return failure(files.notes, systemReason(error));
    reached(SaveStep::NotesInPlace);
    if (const int error = putInPlace(catalogue.staged, catalogue.path,
                                     [&] { return removeOrEmpty(catalogue.staged); }))
        return failure(files.catalogue, systemReason(error));
    reached(SaveStep::CatalogueInPlace);
    syncFolders(catalogue, notes);
    return {};
}

WriteOutcome saveLocked(const DataFilePair& files, std::string_view catalogueBytes,
                        std::string_view notesBytes, const PairStamp* expected, PairLock& lock) {
    const Recovery recovery = lockAndRecover(files, lock);
    if (recovery.error != 0)
        return failure(recovery.failedPath, systemReason(recovery.error));
    if (!recovery.unreadable.empty())
        return failure(files.catalogue, recovery.unreadable);
    // Without a lock, staging files may belong to a save going on now.
    if (recovery.stagingLeft)
        return failure(files.catalogue, kBeingSaved);
    const Target catalogue = targetOf(files.catalogue);
    const Target notes = targetOf(files.notes);
    if (sameFile(catalogue, notes))
        return failure(files.catalogue, kSameFile);
    if (const std::string refusal = refusalOf(notes); !refusal.empty())
        return failure(files.notes, refusal);
    if (const std::string refusal = refusalOf(catalogue); !refusal.empty())
        return failure(files.catalogue, refusal);
    if (expected)
        if (std::optional<WriteOutcome> changed = changedSince(files, *expected))
            return std::move(*changed);
    WriteOutcome outcome = stageAndCommit(files, catalogue, notes, catalogueBytes, notesBytes);
    if (outcome.ok)
        outcome.onDisk = {stampOf(catalogueBytes), stampOf(notesBytes)};
    return outcome;
}

} // namespace

DataFilePair recoverInterruptedSave(const DataFilePair& files) {
    PairLock lock(files, PairLock::Purpose::Read);
    return lockAndRecover(files, lock).toRead;
}

PairRead readDataFiles(const DataFilePair& files) {
    PairLock lock(files, PairLock::Purpose::Read);
    const Recovery recovery = lockAndRecover(files, lock);
    if (!recovery.unreadable.empty())
        return {readFailure(recovery.unreadable), {}, {}};
    const DataFilePair& toRead = recovery.toRead;
    PairRead read{readDataFile(toRead.catalogue), readDataFile(toRead.notes), {}};
    read.stamp = {stampOf(read.catalogue), stampOf(read.notes)};
    return read;
}

WriteOutcome saveDataFiles(const DataFilePair& files, std::string_view catalogueBytes,
                           std::string_view notesBytes, const PairStamp* expected) {
    PairLock lock(files, PairLock::Purpose::Save);
    WriteOutcome outcome = saveLocked(files, catalogueBytes, notesBytes, expected, lock);
    if (!outcome.ok)
        lock.removeCreated();
    return outcome;
}

} // namespace qubrix
