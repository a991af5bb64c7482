#include "posix/catalogue/inplacejournal.h"

#include "posix/catalogue/fileio.h"

#include <cerrno>
#include <cstring>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <optional>

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/xattr.h>
#include <unistd.h>

namespace qubrix::posixdata {

namespace {

const std::string kUnfinished = "An interrupted save of the catalogue cannot be finished: ";

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

} // namespace

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

} // namespace qubrix::posixdata
