// The catalogue on arbitrary files: load, show every category, commit every note a listing
// refers to, save, load again and save again. The second load must give the same model and
// the second save the same bytes.
#include "catalogue/catalogue.h"

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

void showEveryCategoryAndCommitItsNotes(qubrix::Catalogue& model) {
    const std::size_t categories = model.BuildCategories();
    for (std::size_t k = 0; k < categories; ++k) {
        model.showCategory(static_cast<int>(k));
        for (std::size_t row = 0; row < model.lstFiles.size(); ++row) {
            model.GetListingDescription(row);
            if (model.noteIndex[row] >= 0)
                model.CommitNote(static_cast<std::size_t>(model.noteIndex[row]));
        }
    }
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
    return sameText(a.lstAll, a.catalogueEncoding, b.lstAll, b.catalogueEncoding) &&
           sameText(a.lstMemo, a.notesEncoding, b.lstMemo, b.notesEncoding) &&
           a.optionsAtLoad == b.optionsAtLoad &&
           a.catalogueByteOrderMark == b.catalogueByteOrderMark &&
           a.notesByteOrderMark == b.notesByteOrderMark;
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
    showEveryCategoryAndCommitItsNotes(model);
    const bool saved = model.SaveCatalogue(files.catalogue, files.notes, model.optionsAtLoad).ok;
    if (saved != model.notesReadError.empty())
        std::abort();
    if (!saved)
        return 0;
    const std::string first = savedBytes(files);

    qubrix::Catalogue reloaded;
    if (reloaded.LoadCatalogue(files.catalogue, files.notes).status !=
            qubrix::Catalogue::LoadOutcome::Status::Loaded ||
        !sameModel(model, reloaded))
        std::abort();
    if (!reloaded.SaveCatalogue(files.catalogue, files.notes, reloaded.optionsAtLoad).ok ||
        savedBytes(files) != first)
        std::abort();
    return 0;
}
