// The catalogue on arbitrary files: what was loaded must survive a save as it was; then show
// every category, commit every note a listing refers to (which renumbers the notes) and remove
// the first listing of each category, which must keep every header a header and every listing a
// listing; save, load again and save again. Each load must give the model saved and the second
// save the same bytes.
#include "core/catalogue/catalogue.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include <fcntl.h>
#include <stdlib.h>
#include <unistd.h>

namespace {

// The files live in memory where the system offers it, so that the flushes of a save cost
// nothing.
std::string scratchFolder() {
    std::string pattern =
        (access("/dev/shm", W_OK) == 0 ? std::string("/dev/shm") : std::string("/tmp")) +
        "/qubrix-fuzz-XXXXXX";
    if (mkdtemp(pattern.data()) == nullptr)
        std::abort();
    return pattern;
}

void writeBytes(const std::string& path, std::string_view bytes) {
    const int fd = open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (fd < 0 || write(fd, bytes.data(), bytes.size()) != static_cast<ssize_t>(bytes.size()))
        std::abort();
    close(fd);
}

std::string savedBytes(const qubrix::DataFilePair& files) {
    return qubrix::readDataFile(files.catalogue).bytes + '\x1E' +
           qubrix::readDataFile(files.notes).bytes;
}

std::size_t headerCount(const qubrix::Catalogue& model) {
    return static_cast<std::size_t>(
        std::count_if(model.lstAll().begin(), model.lstAll().end(),
                      [](const std::string& line) { return !line.empty() && line[0] == '['; }));
}

// Returns the number of listings removed.
std::size_t editEveryCategory(qubrix::Catalogue& model) {
    std::size_t removed = 0;
    const std::size_t categories = model.BuildCategories();
    for (std::size_t k = 0; k < categories; ++k) {
        model.showCategory(static_cast<int>(k));
        for (std::size_t row = 0; row < model.rowCount(); ++row) {
            model.GetListingDescription(row);
            if (const auto note = model.noteOfRow(row))
                model.CommitNote(*note);
        }
        if (model.rowCount() > 0 && model.removeListing(0))
            ++removed;
    }
    return removed;
}

// The same lines showing the same text. An encoding may be told differently only where that
// shows no difference (ASCII text reads alike in both).
bool sameText(const std::vector<std::string>& a, qubrix::TextEncoding aEncoding,
              const std::vector<std::string>& b, qubrix::TextEncoding bEncoding) {
    if (a != b)
        return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (qubrix::toUtf8(a[i], aEncoding) != qubrix::toUtf8(b[i], bEncoding))
            return false;
    return true;
}

bool sameModel(const qubrix::Catalogue& a, const qubrix::Catalogue& b) {
    return sameText(a.lstAll(), a.catalogueEncoding, b.lstAll(), b.catalogueEncoding) &&
           sameText(a.lstMemo(), a.notesEncoding, b.lstMemo(), b.notesEncoding) &&
           a.optionsAtLoad == b.optionsAtLoad &&
           a.catalogueByteOrderMark == b.catalogueByteOrderMark &&
           a.notesByteOrderMark == b.notesByteOrderMark;
}

std::vector<std::string> shownText(const std::vector<std::string>& lines,
                                   qubrix::TextEncoding encoding) {
    std::vector<std::string> text;
    for (const std::string& line : lines)
        text.push_back(qubrix::toUtf8(line, encoding));
    return text;
}

// What the user sees of two models is the same, whatever bytes carry it.
bool sameShownText(const qubrix::Catalogue& a, const qubrix::Catalogue& b) {
    return shownText(a.lstAll(), a.catalogueEncoding) ==
               shownText(b.lstAll(), b.catalogueEncoding) &&
           shownText(a.lstMemo(), a.notesEncoding) == shownText(b.lstMemo(), b.notesEncoding) &&
           a.optionsAtLoad == b.optionsAtLoad;
}

// Saves the model and loads it again: false when the save is refused; aborts when the load does
// not give the model saved, or shows other text than the model before the save.
bool saveAndReload(const qubrix::DataFilePair& files, const qubrix::Catalogue& model) {
    qubrix::Catalogue saved = model;
    // Whatever the files hold now is replaced.
    saved.filesOnDisk.reset();
    if (!saved.SaveCatalogue(files.catalogue, files.notes, saved.optionsAtLoad).ok)
        return false;
    qubrix::Catalogue reloaded;
    if (reloaded.LoadCatalogue(files.catalogue, files.notes).status !=
            qubrix::Catalogue::LoadOutcome::Status::Loaded ||
        !sameModel(saved, reloaded) || !sameShownText(model, reloaded))
        std::abort();
    return true;
}

} // namespace

// The first two bytes give the length of the catalogue; the rest after it is the notes file.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const std::string folder = scratchFolder();
    static const qubrix::DataFilePair files{folder + "/qubrix.dat", folder + "/descript.txt"};
    if (size < 2)
        return 0;
    const std::string_view input(reinterpret_cast<const char*>(data) + 2, size - 2);
    const std::size_t split = std::min<std::size_t>(data[0] | data[1] << 8, input.size());
    writeBytes(files.catalogue, input.substr(0, split));
    writeBytes(files.notes, input.substr(split));

    qubrix::Catalogue model;
    if (model.LoadCatalogue(files.catalogue, files.notes).status !=
        qubrix::Catalogue::LoadOutcome::Status::Loaded)
        return 0;
    const bool savable = model.notesReadError.empty();
    if (saveAndReload(files, model) != savable)
        std::abort();
    if (!savable)
        return 0;

    const std::size_t headers = headerCount(model);
    const std::size_t lines = model.lstAll().size();
    // Removing listings is all that changes the number of lines; headers stay headers.
    const std::size_t removed = editEveryCategory(model);
    if (model.lstAll().size() + removed != lines || headerCount(model) != headers)
        std::abort();
    if (!saveAndReload(files, model))
        std::abort();
    const std::string first = savedBytes(files);
    if (!saveAndReload(files, model) || savedBytes(files) != first)
        std::abort();
    return 0;
}
