#include "catalogue/datafiles.h"

#include <cerrno>
#include <climits>
#include <cstring>

#include <functional>
#include <optional>

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/statvfs.h>
#include <unistd.h>

namespace qubrix {

namespace {

SaveStepHook g_saveStepHook = nullptr;

void reached(SaveStep step) {
    if (g_saveStepHook)
        g_saveStepHook(step);
}

constexpr const char* kNotRegular = "Not a regular file";
constexpr const char* kSameFile = "The catalogue and the notes file are the same file";

std::string systemReason(int error) {
    return std::strerror(error);
}

std::string folderOf(const std::string& path) {
    const auto slash = path.rfind('/');
    if (slash == std::string::npos)
        return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

std::string nameOf(const std::string& path) {
    const auto slash = path.rfind('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

// The file a path names once the symbolic links at its end are followed. A dangling link gives
// the path it points to, so that a save creates the file there.
std::string followLinks(std::string path) {
    for (int hop = 0; hop < 40; ++hop) {
        struct stat info {};
        if (::lstat(path.c_str(), &info) != 0 || !S_ISLNK(info.st_mode))
            return path;
        std::string link(PATH_MAX, '\0');
        const ssize_t length = ::readlink(path.c_str(), link.data(), link.size());
        if (length <= 0)
            return path;
        link.resize(static_cast<std::size_t>(length));
        path = link.front() == '/' ? link : folderOf(path) + '/' + link;
    }
    return path;
}

// One of the pair as a save sees it: the file itself and its two staging names beside it.
struct Target {
    std::string path;
    std::string staged;  // complete and, for the catalogue, committed
    std::string partial; // the catalogue while it is being written
    bool exists = false;
    int statError = 0;
    struct stat info {};
};

Target targetOf(const std::string& path) {
    Target target;
    target.path = followLinks(path);
    const std::string hidden = folderOf(target.path) + "/." + nameOf(target.path);
    target.staged = hidden + ".qubrix-new";
    target.partial = hidden + ".qubrix-partial";
    target.exists = ::stat(target.path.c_str(), &target.info) == 0;
    if (!target.exists && errno != ENOENT)
        target.statError = errno;
    return target;
}

bool exists(const std::string& path) {
    struct stat info {};
    return ::lstat(path.c_str(), &info) == 0;
}

bool writeAll(int fd, std::string_view bytes) {
    off_t offset = 0;
    while (!bytes.empty()) {
        const ssize_t done = ::pwrite(fd, bytes.data(), bytes.size(), offset);
        if (done < 0 && errno == EINTR)
            continue;
        if (done < 0)
            return false;
        bytes.remove_prefix(static_cast<std::size_t>(done));
        offset += done;
    }
    return true;
}

int closeReportingFirst(int fd, int error) {
    if (::close(fd) != 0 && error == 0)
        return errno;
    return error;
}

// Takes room on the medium for a file about to grow to length, beyond its end and without
// changing it: a medium too full for the new text refuses here, before the first byte of the
// file is overwritten. Returns 0 or the errno.
int reserve(int fd, std::size_t length) {
    struct stat info {};
    if (::fstat(fd, &info) != 0)
        return errno;
    const auto size = static_cast<std::size_t>(info.st_size);
    if (length <= size)
        return 0;
    const auto growth = static_cast<off_t>(length - size);
    if (::fallocate(fd, FALLOC_FL_KEEP_SIZE, info.st_size, growth) == 0)
        return 0;
    if (errno != EOPNOTSUPP)
        return errno;
    // A file system that cannot set room aside can at least tell how much is free.
    struct statvfs medium {};
    if (::fstatvfs(fd, &medium) == 0 &&
        static_cast<unsigned long long>(medium.f_bavail) * medium.f_frsize <
            static_cast<unsigned long long>(growth))
        return ENOSPC;
    return 0;
}

// Writes bytes over the file itself: its owner, group, mode and other names stay. Room for the
// new length is taken first; written from the start and cut to length afterwards, so the file
// is never empty in between.
int writeInPlace(int fd, std::string_view bytes) {
    if (const int error = reserve(fd, bytes.size()))
        return closeReportingFirst(fd, error);
    if (!writeAll(fd, bytes) || ::ftruncate(fd, static_cast<off_t>(bytes.size())) != 0 ||
        ::fsync(fd) != 0)
        return closeReportingFirst(fd, errno);
    return closeReportingFirst(fd, 0);
}

int openForWriting(const std::string& path) {
    return ::open(path.c_str(), O_WRONLY | O_CLOEXEC | O_NOCTTY);
}

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

bool isCommitted(const std::string& stagedCatalogue) {
    struct stat info {};
    return ::lstat(stagedCatalogue.c_str(), &info) == 0 && info.st_size > 0;
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

WriteOutcome failure(const std::string& path, std::string reason) {
    WriteOutcome outcome;
    outcome.ok = false;
    outcome.failedPath = path;
    outcome.error = std::move(reason);
    return outcome;
}

bool folderRefusesNewFiles(int error) {
    return error == EACCES || error == EPERM;
}

// Where the folder refuses new files, both files are written in place, the notes first. Both
// are opened, and room for their new lengths taken, before either is written, so a refusal
// changes nothing.
WriteOutcome writePairInPlace(const DataFilePair& files, const Target& catalogue,
                              const Target& notes, std::string_view catalogueBytes,
                              std::string_view notesBytes, int stagingError) {
    if (!notes.exists)
        return failure(files.notes, systemReason(stagingError));
    if (!catalogue.exists)
        return failure(files.catalogue, systemReason(stagingError));
    const int notesFd = openForWriting(notes.path);
    if (notesFd < 0)
        return failure(files.notes, systemReason(errno));
    const int catalogueFd = openForWriting(catalogue.path);
    if (catalogueFd < 0) {
        const int error = errno;
        ::close(notesFd);
        return failure(files.catalogue, systemReason(error));
    }
    const int notesRoom = reserve(notesFd, notesBytes.size());
    const int catalogueRoom = notesRoom != 0 ? 0 : reserve(catalogueFd, catalogueBytes.size());
    if (notesRoom != 0 || catalogueRoom != 0) {
        ::close(notesFd);
        ::close(catalogueFd);
        return notesRoom != 0 ? failure(files.notes, systemReason(notesRoom))
                              : failure(files.catalogue, systemReason(catalogueRoom));
    }
    if (const int error = writeInPlace(notesFd, notesBytes)) {
        ::close(catalogueFd);
        return failure(files.notes, systemReason(error));
    }
    if (const int error = writeInPlace(catalogueFd, catalogueBytes))
        return failure(files.catalogue, systemReason(error));
    return {};
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

// Saves and recoveries of every program on one catalogue take turns: an advisory lock on the
// folder that holds it. Where the folder cannot be opened or locked (a file system without
// locks) the work goes on unlocked.
class PairLock {
public:
    explicit PairLock(const DataFilePair& files)
        : m_fd(::open(folderOf(followLinks(files.catalogue)).c_str(),
                      O_RDONLY | O_DIRECTORY | O_CLOEXEC)) {
        while (m_fd >= 0 && ::flock(m_fd, LOCK_EX) != 0 && errno == EINTR) {
        }
    }
    ~PairLock() {
        if (m_fd >= 0)
            ::close(m_fd);
    }
    PairLock(const PairLock&) = delete;
    PairLock& operator=(const PairLock&) = delete;

private:
    int m_fd;
};

struct Recovery {
    DataFilePair toRead;
    int error = 0; // why a committed save could not be finished
    std::string failedPath;
};

Recovery recover(const DataFilePair& files) {
    const Target catalogue = targetOf(files.catalogue);
    const Target notes = targetOf(files.notes);
    ::unlink(catalogue.partial.c_str());
    if (!isCommitted(catalogue.staged)) {
        // Not committed: the old pair stands.
        ::unlink(notes.staged.c_str());
        return {files, 0, {}};
    }
    // Committed: the notes go in place first, and the catalogue, which ends the save, only
    // after them.
    if (exists(notes.staged))
        if (const int error =
                putInPlace(notes.staged, notes.path, [&] { return removeOrLeave(notes.staged); }))
            return {DataFilePair{catalogue.staged, notes.staged}, error, files.notes};
    if (const int error = putInPlace(catalogue.staged, catalogue.path,
                                     [&] { return removeOrEmpty(catalogue.staged); }))
        return {DataFilePair{catalogue.staged, files.notes}, error, files.catalogue};
    syncFolders(catalogue, notes);
    return {files, 0, {}};
}

// Before a save: the staging names of an earlier save, finished or not, are cleared. Returns 0
// or the errno of a name that cannot be cleared (another user's file in a sticky folder).
int clearStagingNames(const Target& catalogue, const Target& notes) {
    for (const std::string* name : {&notes.staged, &catalogue.partial, &catalogue.staged})
        if (::unlink(name->c_str()) != 0 && errno != ENOENT)
            return errno;
    return 0;
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

// The files as they are now, when they no longer hold what they held at stamp: another program
// has saved them since.
std::optional<WriteOutcome> changedSince(const DataFilePair& files, const PairStamp& stamp) {
    ReadOutcome catalogueNow = readDataFile(files.catalogue);
    ReadOutcome notesNow = readDataFile(files.notes);
    const PairStamp now{stampOf(catalogueNow), stampOf(notesNow)};
    if (now == stamp)
        return std::nullopt;
    WriteOutcome changed = failure({}, {});
    changed.changedOnDisk = true;
    changed.onDisk = now;
    changed.catalogueOnDisk = std::move(catalogueNow.bytes);
    changed.notesOnDisk = std::move(notesNow.bytes);
    return changed;
}

void removeStaged(const Target& catalogue, const Target& notes) {
    ::unlink(catalogue.partial.c_str());
    ::unlink(notes.staged.c_str());
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

} // namespace

DataFilePair recoverInterruptedSave(const DataFilePair& files) {
    const PairLock lock(files);
    return recover(files).toRead;
}

PairRead readDataFiles(const DataFilePair& files) {
    const PairLock lock(files);
    const DataFilePair toRead = recover(files).toRead;
    PairRead read{readDataFile(toRead.catalogue), readDataFile(toRead.notes), {}};
    read.stamp = {stampOf(read.catalogue), stampOf(read.notes)};
    return read;
}

WriteOutcome saveDataFiles(const DataFilePair& files, std::string_view catalogueBytes,
                           std::string_view notesBytes, const PairStamp* expected) {
    const PairLock lock(files);
    if (const Recovery recovery = recover(files); recovery.error != 0)
        return failure(recovery.failedPath, systemReason(recovery.error));
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

} // namespace qubrix
