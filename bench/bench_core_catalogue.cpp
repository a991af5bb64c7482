// Loading and saving a large catalogue, each against the bare file work it cannot avoid,
// measured in the same run: 100,000 listings in 1,000 categories with 50,000 notes.

#include "core/catalogue/catalogue.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include <fcntl.h>
#include <unistd.h>

namespace {

using qubrix::Catalogue;

constexpr int kCategories = 1000;
constexpr int kListingsPerCategory = 100;
constexpr int kRepeats = 11;

struct Files {
    std::string folder;
    std::string catalogue;
    std::string notes;
};

void writeBytes(const std::string& path, const std::string& bytes, bool flush) {
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (fd < 0 || ::write(fd, bytes.data(), bytes.size()) != static_cast<ssize_t>(bytes.size())) {
        std::perror(path.c_str());
        std::exit(1);
    }
    if (flush)
        ::fsync(fd);
    ::close(fd);
}

void syncFolder(const std::string& folder) {
    const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    ::fsync(fd);
    ::close(fd);
}

Files generate() {
    std::string pattern = (std::filesystem::temp_directory_path() / "qubrix-bench-XXXXXX").string();
    if (::mkdtemp(pattern.data()) == nullptr) {
        std::perror("mkdtemp");
        std::exit(1);
    }
    Files files{pattern, pattern + "/qubrix.dat", pattern + "/descript.txt"};
    std::string catalogue;
    std::string notes;
    int note = 0;
    for (int k = 0; k < kCategories; ++k) {
        catalogue += "[Category " + std::to_string(k) + "]\r\n";
        for (int i = 0; i < kListingsPerCategory; ++i) {
            const std::string n = std::to_string(k * kListingsPerCategory + i);
            // Every second listing has a note.
            const std::string noteField = i % 2 == 0 ? std::to_string(note++) : "-1";
            catalogue += "Program number " + n + " of the disc;TOOLS\\SUB" + std::to_string(k) +
                         "\\PROG" + n + ".EXE;" + noteField + "\r\n";
        }
    }
    catalogue += "110\r\n";
    for (int i = 0; i < note; ++i)
        notes += "A note of some length describing program " + std::to_string(i) + ".\r\n";
    writeBytes(files.catalogue, catalogue, false);
    writeBytes(files.notes, notes, false);
    return files;
}

// The baseline reading: the whole file into memory and one string per line, written plainly.
std::vector<std::string> readAndSplitPlainly(const std::string& path) {
    std::string bytes;
    if (FILE* file = std::fopen(path.c_str(), "rb")) {
        char buffer[65536];
        std::size_t got = 0;
        while ((got = std::fread(buffer, 1, sizeof buffer, file)) > 0)
            bytes.append(buffer, got);
        std::fclose(file);
    }
    std::vector<std::string> lines;
    std::string line;
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        const char c = bytes[i];
        if (c == '\0')
            break;
        if (c != '\r' && c != '\n') {
            line += c;
            continue;
        }
        if (c == '\r' && i + 1 < bytes.size() && bytes[i + 1] == '\n')
            ++i;
        lines.push_back(std::move(line));
        line.clear();
    }
    if (!line.empty())
        lines.push_back(std::move(line));
    return lines;
}

double milliseconds(const std::function<void()>& work) {
    const auto start = std::chrono::steady_clock::now();
    work();
    const auto end = std::chrono::steady_clock::now();
    return std::chrono::duration<double, std::milli>(end - start).count();
}

double median(std::vector<double> times) {
    std::sort(times.begin(), times.end());
    return times[times.size() / 2];
}

struct Medians {
    double model;
    double baseline;
};

// The two runs alternate so that a busy moment of the machine weighs on both alike.
Medians compare(const std::function<void()>& model, const std::function<void()>& baseline) {
    std::vector<double> modelTimes;
    std::vector<double> baselineTimes;
    for (int i = 0; i < kRepeats; ++i) {
        modelTimes.push_back(milliseconds(model));
        baselineTimes.push_back(milliseconds(baseline));
    }
    return {median(modelTimes), median(baselineTimes)};
}

void printRow(const char* what, double model, double baseline, double goal) {
    const double ratio = model / baseline;
    std::printf("%-44s %10.2f %10.2f %7.2fx %6.1fx  %s\n", what, model, baseline, ratio, goal,
                ratio <= goal ? "met" : "MISSED");
}

} // namespace

int main() {
    const Files files = generate();
    std::size_t sink = 0;

    const Medians load = compare(
        [&] {
            Catalogue catalogue;
            catalogue.LoadCatalogue(files.catalogue, files.notes);
            sink += catalogue.BuildCategories();
            catalogue.showCategory(0);
            sink += catalogue.rowCount();
        },
        [&] {
            sink += readAndSplitPlainly(files.catalogue).size();
            sink += readAndSplitPlainly(files.notes).size();
        });

    Catalogue catalogue;
    catalogue.LoadCatalogue(files.catalogue, files.notes);
    const std::string catalogueBytes = catalogue.catalogueBytes(110);
    const std::string notesBytes = catalogue.notesBytes();
    const Medians save = compare(
        [&] {
            const auto outcome = catalogue.SaveCatalogue(files.catalogue, files.notes, 110);
            if (!outcome.ok)
                std::fprintf(stderr, "save failed: %s: %s\n", outcome.failedPath.c_str(),
                             outcome.error.c_str());
        },
        [&] {
            writeBytes(files.notes, notesBytes, true);
            writeBytes(files.catalogue, catalogueBytes, true);
            syncFolder(files.folder);
        });

    std::printf("Catalogue of %d listings in %d categories, %zu notes; %zu + %zu bytes in %s\n",
                kCategories * kListingsPerCategory, kCategories, catalogue.lstMemo().size(),
                catalogueBytes.size(), notesBytes.size(), files.folder.c_str());
    std::printf("Medians of %d runs, in milliseconds.\n\n", kRepeats);
    std::printf("%-44s %10s %10s %8s %7s\n", "operation", "model", "baseline", "ratio", "goal");
    printRow("load + build categories + show first", load.model, load.baseline, 3.0);
    printRow("atomic save of both files", save.model, save.baseline, 1.5);
    std::printf("\nBaselines: plain read and line split of both files; plain overwrite of both\n"
                "files with an fsync each and one of the folder.\n");

    std::filesystem::remove_all(files.folder);
    return sink == 0 ? 1 : 0;
}
