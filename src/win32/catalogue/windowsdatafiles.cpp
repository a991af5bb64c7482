#include "core/catalogue/datafiles.h"

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <system_error>

// The data files as the Windows program reads them. That program only ever reads a catalogue
// (it shows the menu of a finished disc), so it takes no save lock and finishes no interrupted
// save: where a save of the Linux program was committed but not put in place, it reads the
// committed files, which is what that program's recovery would put in place. Paths are UTF-8.

namespace qubrix {

namespace {

namespace fs = std::filesystem;

fs::path pathOf(const std::string& utf8) {
    return fs::path(std::u8string(utf8.begin(), utf8.end()));
}

ReadOutcome readFailure(std::string reason) {
    return {ReadOutcome::Status::Failed, {}, std::move(reason)};
}

// The committed catalogue of an interrupted save is a hidden file beside the catalogue.
std::string stagedName(const std::string& path) {
    const auto slash = path.find_last_of("/\\");
    const std::size_t nameStart = slash == std::string::npos ? 0 : slash + 1;
    return path.substr(0, nameStart) + "." + path.substr(nameStart) + ".qubrix-new";
}

bool isCommitted(const std::string& stagedCatalogue) {
    std::error_code error;
    const auto size = fs::file_size(pathOf(stagedCatalogue), error);
    return !error && size > 0;
}

bool exists(const std::string& path) {
    std::error_code error;
    return fs::exists(pathOf(path), error);
}

} // namespace

ReadOutcome readDataFile(const std::string& path) {
    std::error_code error;
    const fs::file_status status = fs::status(pathOf(path), error);
    if (status.type() == fs::file_type::not_found)
        return {};
    if (error)
        return readFailure(error.message());
    if (status.type() == fs::file_type::directory)
        return readFailure(std::strerror(EISDIR));
    if (status.type() != fs::file_type::regular)
        return readFailure("Not a regular file");
    const auto size = fs::file_size(pathOf(path), error);
    if (error)
        return readFailure(error.message());
    if (size > kMaxDataFileSize)
        return readFailure(std::strerror(EFBIG));
    std::ifstream in(pathOf(path), std::ios::binary);
    if (!in)
        return readFailure(std::strerror(errno != 0 ? errno : EACCES));
    ReadOutcome outcome{ReadOutcome::Status::Read, {}, {}};
    // The size is only a hint: the file may grow while it is read.
    char buffer[65536];
    while (in.read(buffer, sizeof buffer) || in.gcount() > 0) {
        outcome.bytes.append(buffer, static_cast<std::size_t>(in.gcount()));
        if (outcome.bytes.size() > kMaxDataFileSize)
            return readFailure(std::strerror(EFBIG));
    }
    if (in.bad())
        return readFailure(std::strerror(EIO));
    return outcome;
}

PairRead readDataFiles(const DataFilePair& files) {
    DataFilePair toRead = files;
    if (const std::string staged = stagedName(files.catalogue); isCommitted(staged)) {
        toRead.catalogue = staged;
        if (const std::string notes = stagedName(files.notes); exists(notes))
            toRead.notes = notes;
    }
    PairRead read{readDataFile(toRead.catalogue), readDataFile(toRead.notes), {}};
    read.stamp = {stampOf(read.catalogue), stampOf(read.notes)};
    return read;
}

} // namespace qubrix
