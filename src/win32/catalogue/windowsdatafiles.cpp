#include "core/catalogue/datafiles.h"

#include "core/catalogue/stagingnames.h"
#include "core/text/ascii.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>
#include <system_error>
#include <utility>
#include <vector>

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

// A path cut after its last separator: the folder, with the separator, and the file's name.
std::pair<std::string, std::string> splitPath(const std::string& path) {
    const auto slash = path.find_last_of("/\\");
    const std::size_t nameStart = slash == std::string::npos ? 0 : slash + 1;
    return {path.substr(0, nameStart), path.substr(nameStart)};
}

std::string foldedCase(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(), lowerAscii);
    return text;
}

// The suffixes of the staging names found beside path: each user's save of the Linux program
// stages under names of its own. Windows matches names whatever their case, and so does this.
void addStagingSuffixes(const std::string& path, std::vector<std::string>& suffixes) {
    const auto [folder, name] = splitPath(path);
    const std::string foldedName = foldedCase(name);
    std::error_code error;
    for (fs::directory_iterator it(pathOf(folder.empty() ? "." : folder), error), end;
         !error && it != end; it.increment(error)) {
        const std::u8string found = it->path().filename().u8string();
        const std::optional<std::string> suffix =
            stagingSuffixOf(foldedCase(std::string(found.begin(), found.end())), foldedName);
        if (suffix && std::find(suffixes.begin(), suffixes.end(), *suffix) == suffixes.end())
            suffixes.push_back(*suffix);
    }
}

std::string stagedPathOf(const std::string& path, const std::string& suffix) {
    const auto [folder, name] = splitPath(path);
    return folder + stagedNameOf(name, suffix);
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

namespace {

// The pair the Linux program's recovery would read while it cannot put a committed save in
// place: of the committed staged catalogues under every user's names, the one written last,
// with the staged notes of the same save where they are still there. Where two were written
// at the same moment, the one found later is taken, as that recovery takes it.
DataFilePair committedOrInPlace(const DataFilePair& files) {
    std::vector<std::string> suffixes = {""};
    addStagingSuffixes(files.catalogue, suffixes);
    addStagingSuffixes(files.notes, suffixes);
    std::optional<std::pair<fs::file_time_type, std::string>> latest;
    for (const std::string& suffix : suffixes) {
        const std::string staged = stagedPathOf(files.catalogue, suffix);
        if (!isCommitted(staged))
            continue;
        std::error_code error;
        const fs::file_time_type written = fs::last_write_time(pathOf(staged), error);
        if (!latest || !(written < latest->first))
            latest = {written, suffix};
    }
    if (!latest)
        return files;
    const std::string notes = stagedPathOf(files.notes, latest->second);
    return {stagedPathOf(files.catalogue, latest->second), exists(notes) ? notes : files.notes};
}

} // namespace

PairRead readDataFiles(const DataFilePair& files) {
    const DataFilePair toRead = committedOrInPlace(files);
    PairRead read{readDataFile(toRead.catalogue), readDataFile(toRead.notes), {}};
    read.stamp = {stampOf(read.catalogue), stampOf(read.notes)};
    return read;
}

} // namespace qubrix
