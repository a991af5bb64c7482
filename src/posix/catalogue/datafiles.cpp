#include "core/catalogue/datafiles.h"

#include <cerrno>
#include <climits>
#include <cstring>
#include <ctime>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <functional>
#include <optional>
#include <utility>
#include <vector>

#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/statvfs.h>
#include <sys/xattr.h>
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
// Said where nothing could be locked: the staging files may be a save going on now, or the
// left-overs of one cut short, and without a lock the two cannot be told apart.
constexpr const char* kBeingSaved =
    "Another program may be saving the catalogue, and this folder keeps no locks to tell: if "
    "none is, remove the files beside it whose names end in .qubrix-new or .qubrix-partial";
const std::string kUnfinished = "An interrupted save of the catalogue cannot be finished: ";

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

constexpr const char* kStagedEnd = ".qubrix-new";
constexpr const char* kPartialEnd = ".qubrix-partial";

// The staging names of a user end with "-" and the user's id, so that what one user's save
// leaves in a shared sticky folder, which no one else may remove, never stands in another
// user's way. Staging names without an id are those of earlier versions.
std::string ownStagingSuffix() {
    return "-" + std::to_string(::geteuid());
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

Target targetOf(const std::string& path, const std::string& suffix = ownStagingSuffix()) {
    Target target;
    target.path = followLinks(path);
    const std::string hidden = folderOf(target.path) + "/." + nameOf(target.path);
    target.staged = hidden + kStagedEnd + suffix;
    target.partial = hidden + kPartialEnd + suffix;
    target.exists = ::stat(target.path.c_str(), &target.info) == 0;
    if (!target.exists && errno != ENOENT)
        target.statError = errno;
    return target;
}

bool exists(const std::string& path) {
    struct stat info {};
    return ::lstat(path.c_str(), &info) == 0;
}

bool writeAll(int fd, std::string_view bytes, off_t offset = 0) {
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

// Writes bytes over the start of the file itself and flushes them: its owner, group, mode and
// other names stay. Room for the new length is taken first. With cut, the file is cut to their
// length afterwards, so it is never empty in between. Returns 0 or the errno.
int overwrite(int fd, std::string_view bytes, bool cut) {
    if (const int error = reserve(fd, bytes.size()))
        return error;
    if (!writeAll(fd, bytes) || (cut && ::ftruncate(fd, static_cast<off_t>(bytes.size())) != 0) ||
        ::fsync(fd) != 0)
        return errno;
    return 0;
}

int writeInPlace(int fd, std::string_view bytes) {
    return closeReportingFirst(fd, overwrite(fd, bytes, true));
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

// Where the folder refuses new files, both files are written in place, and the catalogue
// itself carries the save until it is done: the new text of both files goes beyond the end of
// both its old and its new text, and an extended attribute of the catalogue tells where (the
// marker). The marker is set before the catalogue grows, and says "committed" once all of the
// new text is on the medium; only then is either file overwritten. Whatever moment a save is
// stopped at, the next load finds the old pair (a marker not committed: the catalogue is cut
// back) or finishes the new one (a committed marker: both files are written from the text the
// catalogue carries), and the catalogue is cut to its new length before the marker goes.
constexpr const char* kInPlaceMarker = "user.qubrix.in-place-save";

struct InPlaceMarker {
    bool committed = false;
    std::uint64_t oldLength = 0; // the old catalogue, which stays before the new text
    std::uint64_t journalAt = 0; // where the new catalogue and the new notes follow it
    std::uint64_t catalogueLength = 0;
    std::uint64_t notesLength = 0;
    std::uint64_t checksum = 0; // of the new text, to tell it is whole
};

std::uint64_t checksumOf(std::string_view bytes) {
    std::uint64_t hash = 14695981039346656037ull;
    for (const char byte : bytes)
        hash = (hash ^ static_cast<unsigned char>(byte)) * 1099511628211ull;
    return hash;
}

int setMarker(int fd, const InPlaceMarker& marker) {
    const std::string text =
        (marker.committed ? "1 committed " : "1 preparing ") + std::to_string(marker.oldLength) +
        ' ' + std::to_string(marker.journalAt) + ' ' + std::to_string(marker.catalogueLength) +
        ' ' + std::to_string(marker.notesLength) + ' ' + std::to_string(marker.checksum);
    if (::fsetxattr(fd, kInPlaceMarker, text.data(), text.size(), 0) != 0 || ::fsync(fd) != 0)
        return errno;
    return 0;
}

int removeMarker(int fd) {
    if (::fremovexattr(fd, kInPlaceMarker) != 0 && errno != ENODATA)
        return errno;
    return ::fsync(fd) == 0 ? 0 : errno;
}

std::optional<InPlaceMarker> markerOf(int fd) {
    char text[256] = {};
    const ssize_t length = ::fgetxattr(fd, kInPlaceMarker, text, sizeof text - 1);
    if (length <= 0)
        return std::nullopt;
    char state[16] = {};
    InPlaceMarker marker;
    unsigned long long fields[5] = {};
    if (std::sscanf(text, "1 %15s %llu %llu %llu %llu %llu", state, &fields[0], &fields[1],
                    &fields[2], &fields[3], &fields[4]) != 6)
        return std::nullopt;
    marker.committed = std::strcmp(state, "committed") == 0;
    marker.oldLength = fields[0];
    marker.journalAt = fields[1];
    marker.catalogueLength = fields[2];
    marker.notesLength = fields[3];
    marker.checksum = fields[4];
    return marker;
}

// Writes the new pair over both files once the marker is committed: the notes first, then the
// catalogue from its start, which leaves the new text beyond it untouched until the catalogue
// is cut to its new length. Repeating it after a crash gives the same result.
int finishInPlace(int notesFd, int catalogueFd, std::string_view catalogueBytes,
                  std::string_view notesBytes) {
    if (const int error = overwrite(notesFd, notesBytes, true))
        return error;
    reached(SaveStep::NotesInPlace);
    if (const int error = overwrite(catalogueFd, catalogueBytes, false))
        return error;
    if (::ftruncate(catalogueFd, static_cast<off_t>(catalogueBytes.size())) != 0 ||
        ::fsync(catalogueFd) != 0)
        return errno;
    reached(SaveStep::CatalogueInPlace);
    return removeMarker(catalogueFd);
}

// Gives the catalogue back its old length and drops the marker: the save never began to
// overwrite either file.
int undoInPlace(int catalogueFd, const InPlaceMarker& marker) {
    if (::ftruncate(catalogueFd, static_cast<off_t>(marker.oldLength)) != 0 ||
        ::fsync(catalogueFd) != 0)
        return errno;
    return removeMarker(catalogueFd);
}

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
    const auto fail = [&](const std::string& path, int error) {
        ::close(notesFd);
        ::close(catalogueFd);
        return failure(path, systemReason(error));
    };
    struct stat info {};
    if (::fstat(catalogueFd, &info) != 0)
        return fail(files.catalogue, errno);
    InPlaceMarker marker;
    marker.oldLength = static_cast<std::uint64_t>(info.st_size);
    marker.journalAt = std::max<std::uint64_t>(marker.oldLength, catalogueBytes.size());
    marker.catalogueLength = catalogueBytes.size();
    marker.notesLength = notesBytes.size();
    std::string journal;
    journal.reserve(catalogueBytes.size() + notesBytes.size());
    journal.append(catalogueBytes).append(notesBytes);
    marker.checksum = checksumOf(journal);
    // Room for everything written below is taken before anything is: a refusal changes nothing.
    if (const int error = reserve(notesFd, notesBytes.size()))
        return fail(files.notes, error);
    if (const int error = reserve(catalogueFd, marker.journalAt + journal.size()))
        return fail(files.catalogue, error);
    // A file that can carry no marker is not written in place: a save stopped half way would
    // leave a pair that does not belong together.
    if (const int error = setMarker(catalogueFd, marker))
        return fail(files.catalogue, error);
    reached(SaveStep::NotesStaged);
    const off_t journalAt = static_cast<off_t>(marker.journalAt);
    if (!writeAll(catalogueFd, journal, journalAt) || ::fsync(catalogueFd) != 0) {
        const int error = errno;
        [[maybe_unused]] const int ignored = undoInPlace(catalogueFd, marker);
        return fail(files.catalogue, error);
    }
    reached(SaveStep::CatalogueStaged);
    marker.committed = true;
    if (const int error = setMarker(catalogueFd, marker)) {
        marker.committed = false;
        [[maybe_unused]] const int ignored = undoInPlace(catalogueFd, marker);
        return fail(files.catalogue, error);
    }
    reached(SaveStep::Committed);
    // From here on the save stands: what cannot be finished now is finished by the next load.
    const int error = finishInPlace(notesFd, catalogueFd, catalogueBytes, notesBytes);
    if (error != 0)
        return fail(files.catalogue, error);
    ::close(notesFd);
    if (const int closed = closeReportingFirst(catalogueFd, 0))
        return failure(files.catalogue, systemReason(closed));
    return {};
}

bool readRange(int fd, std::uint64_t offset, std::uint64_t length, std::string& bytes) {
    bytes.resize(length);
    std::size_t used = 0;
    while (used < length) {
        const ssize_t got =
            ::pread(fd, bytes.data() + used, length - used, static_cast<off_t>(offset + used));
        if (got < 0 && errno == EINTR)
            continue;
        if (got <= 0)
            return false;
        used += static_cast<std::size_t>(got);
    }
    return true;
}

// Finishes or undoes a save in place that was stopped. Returns the empty text, or why the pair
// cannot be read as one.
std::string recoverInPlace(const Target& catalogue, const Target& notes, bool locked) {
    if (!catalogue.exists || !S_ISREG(catalogue.info.st_mode))
        return {};
    const int probe = ::open(catalogue.path.c_str(), O_RDONLY | O_CLOEXEC | O_NOCTTY);
    if (probe < 0)
        return {};
    const std::optional<InPlaceMarker> found = markerOf(probe);
    ::close(probe);
    if (!found)
        return {};
    if (!locked)
        return kBeingSaved;
    const InPlaceMarker marker = *found;
    const int catalogueFd = ::open(catalogue.path.c_str(), O_RDWR | O_CLOEXEC | O_NOCTTY);
    if (catalogueFd < 0)
        return kUnfinished + systemReason(errno);
    const auto done = [&](int error) {
        ::close(catalogueFd);
        return error == 0 ? std::string() : kUnfinished + systemReason(error);
    };
    if (!marker.committed)
        return done(undoInPlace(catalogueFd, marker));
    struct stat info {};
    if (::fstat(catalogueFd, &info) != 0)
        return done(errno);
    const std::uint64_t journalLength = marker.catalogueLength + marker.notesLength;
    // The catalogue is cut to its new length only once both files hold the new pair.
    if (static_cast<std::uint64_t>(info.st_size) < marker.journalAt + journalLength)
        return done(removeMarker(catalogueFd));
    std::string journal;
    if (journalLength > 2 * kMaxDataFileSize ||
        !readRange(catalogueFd, marker.journalAt, journalLength, journal))
        return done(EIO);
    if (checksumOf(journal) != marker.checksum)
        return done(EBADMSG);
    const int notesFd = openForWriting(notes.path);
    if (notesFd < 0)
        return done(errno);
    const std::string_view text = journal;
    const int error = finishInPlace(notesFd, catalogueFd, text.substr(0, marker.catalogueLength),
                                    text.substr(marker.catalogueLength));
    ::close(notesFd);
    return done(error);
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

bool sameInode(const struct stat& a, const struct stat& b) {
    return a.st_dev == b.st_dev && a.st_ino == b.st_ino;
}

// Saves and recoveries of every program on one catalogue take turns. Each takes an advisory
// lock on the catalogue file itself, which anyone who may read or write it can open whatever
// the folder allows, and, where the folder can be opened, on the folder as well, as earlier
// versions did. A save of a catalogue that does not exist yet creates it empty to lock it (an
// empty catalogue is a new one). A save replaces the catalogue, so the lock is taken on the
// file the name holds once locked; one taken on a file a save has just replaced is taken anew.
class PairLock {
public:
    enum class Purpose { Read, Save };
    PairLock(const DataFilePair& files, Purpose purpose)
        : m_path(followLinks(files.catalogue)), m_purpose(purpose),
          m_folderFd(::open(folderOf(m_path).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC)) {
        if (m_folderFd >= 0 && !lockWholly(m_folderFd)) {
            ::close(m_folderFd);
            m_folderFd = -1;
        }
        lockFile();
    }
    ~PairLock() {
        if (m_fileFd >= 0)
            ::close(m_fileFd);
        if (m_folderFd >= 0)
            ::close(m_folderFd);
    }
    PairLock(const PairLock&) = delete;
    PairLock& operator=(const PairLock&) = delete;

    // Where nothing could be locked, another program may be saving at this moment.
    bool held() const { return m_folderFd >= 0 || m_fileFd >= 0; }
    // False once the catalogue the lock was taken on has been replaced, or a catalogue has
    // appeared where there was none: the lock is then taken again.
    bool current() const {
        struct stat now {};
        const bool exists = ::stat(m_path.c_str(), &now) == 0 && S_ISREG(now.st_mode);
        if (m_fileFd < 0)
            return !exists;
        struct stat locked {};
        return exists && ::fstat(m_fileFd, &locked) == 0 && sameInode(now, locked);
    }
    void renew() {
        if (m_fileFd >= 0)
            ::close(m_fileFd);
        m_fileFd = -1;
        lockFile();
    }
    // After a save that failed: the empty catalogue made only to be locked goes again.
    void removeCreated() {
        struct stat now {};
        struct stat locked {};
        if (m_created && m_fileFd >= 0 && ::stat(m_path.c_str(), &now) == 0 &&
            ::fstat(m_fileFd, &locked) == 0 && sameInode(now, locked) && now.st_size == 0)
            ::unlink(m_path.c_str());
    }

private:
    static bool lockWholly(int fd) {
        for (;;) {
            if (::flock(fd, LOCK_EX) == 0)
                return true;
            if (errno != EINTR)
                return false;
        }
    }
    void lockFile() {
        for (int attempt = 0; attempt < 1000 && m_fileFd < 0; ++attempt) {
            struct stat info {};
            int fd = -1;
            if (::stat(m_path.c_str(), &info) != 0) {
                if (errno != ENOENT || m_purpose != Purpose::Save)
                    return;
                fd = ::open(m_path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NOCTTY,
                            0666);
                if (fd < 0 && errno == EEXIST)
                    continue;
                if (fd < 0)
                    return;
                m_created = true;
            } else {
                // Only a regular file is opened: opening a device may act on it.
                if (!S_ISREG(info.st_mode))
                    return;
                fd = ::open(m_path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
                if (fd < 0 && errno == EACCES)
                    fd = ::open(m_path.c_str(), O_WRONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
                if (fd < 0 && errno == ENOENT)
                    continue;
                if (fd < 0)
                    return;
            }
            if (!lockWholly(fd)) {
                // Some network file systems lock only files open for writing.
                const bool tryWriting = errno == EBADF && !m_created;
                ::close(fd);
                fd = tryWriting ? openForWriting(m_path) : -1;
                if (fd < 0 || !lockWholly(fd)) {
                    if (fd >= 0)
                        ::close(fd);
                    return;
                }
            }
            m_fileFd = fd;
            if (!current()) {
                ::close(m_fileFd);
                m_fileFd = -1;
                m_created = false;
            }
        }
    }

    std::string m_path;
    Purpose m_purpose;
    int m_folderFd = -1;
    int m_fileFd = -1;
    bool m_created = false;
};

struct Recovery {
    DataFilePair toRead;
    int error = 0; // why a committed save could not be finished
    std::string failedPath;
    std::string unreadable;   // why the pair cannot be read as one
    bool stagingLeft = false; // without a lock: staging files that may be another's save
};

// The staging names of every user beside path: the suffixes after its staging ends ("" for
// those of earlier versions). A folder that cannot be listed shows only the own suffix.
void addStagingSuffixes(const std::string& path, std::vector<std::string>& suffixes) {
    const std::string folder = folderOf(path);
    const std::string hidden = "." + nameOf(path);
    DIR* listing = ::opendir(folder.c_str());
    if (!listing)
        return;
    while (const dirent* entry = ::readdir(listing)) {
        const std::string_view name = entry->d_name;
        for (const std::string_view end : {kStagedEnd, kPartialEnd}) {
            const std::string start = hidden + std::string(end);
            if (name.size() <= start.size() || name.substr(0, start.size()) != start)
                continue;
            const std::string_view suffix = name.substr(start.size());
            if (suffix.size() > 1 && suffix.front() == '-' &&
                suffix.find_first_not_of("0123456789", 1) == std::string_view::npos &&
                std::find(suffixes.begin(), suffixes.end(), suffix) == suffixes.end())
                suffixes.emplace_back(suffix);
        }
    }
    ::closedir(listing);
}

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
