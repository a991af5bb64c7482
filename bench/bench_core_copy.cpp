// A whole-disc copy by the copy engine against `cp -r` of the same tree on the same file
// system, side by side in one run with a warm cache: one large file and many small files
// (1 to 64 KB) in nested folders. Arguments: the large file's size in MiB (1024) and the
// number of small files (5000), so a quick run can use less.

#include "benchfiles.h"
#include "posix/actions/copyengine.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include <fcntl.h>
#include <unistd.h>

namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

constexpr int kRounds = 5;

// The disc: README.TXT in its root, the large file, and the small files 50 to a folder, the
// folders two deep.
void makeDisc(const std::string& disc, std::size_t largeMiB, int smallFiles) {
    std::uint64_t state = 42;
    writeBytes(disc + "/README.TXT", "The disc.\r\n");
    fs::create_directories(disc + "/BIG");
    const std::string block = pseudoRandomBytes(std::size_t{1} << 20, state);
    writeBytes(disc + "/BIG/IMAGE.BIN", block, static_cast<int>(largeMiB));
    for (int i = 0; i < smallFiles; ++i) {
        const std::string folder =
            disc + "/DATA" + std::to_string(i / 500) + "/SET" + std::to_string(i / 50 % 10);
        if (i % 50 == 0)
            fs::create_directories(folder);
        const std::size_t size = 1024 + (state >> 33) % (63 * 1024);
        writeBytes(folder + "/FILE" + std::to_string(i) + ".DAT", pseudoRandomBytes(size, state));
    }
}

// Flushes the file system the copies are made on.
void syncEverything(const std::string& folder) {
    const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    ::syncfs(fd);
    ::close(fd);
}

class QuietObserver final : public qubrix::CopyObserver {
public:
    void copyProgress(const qubrix::CopyProgress&) override {}
    qubrix::OverwriteAnswer askOverwrite(const qubrix::OverwriteQuestion&) override {
        return qubrix::OverwriteAnswer::Cancel;
    }
    void copyFinished(const qubrix::CopyReport& report) override {
        failures = report.failures.size();
    }
    std::size_t failures = 0;
};

double copyWithEngine(const std::string& disc, const std::string& destination) {
    QuietObserver observer;
    const qubrix::CopyPlan plan =
        qubrix::planCopy(disc, {"README.TXT"}, qubrix::CopyMode::Folder, destination);
    const Clock::time_point start = Clock::now();
    const qubrix::CopyReport report = qubrix::runCopy(plan, observer, {});
    const double seconds = std::chrono::duration<double>(Clock::now() - start).count();
    if (report.outcome != qubrix::CopyReport::Outcome::Finished || observer.failures != 0) {
        std::fprintf(stderr, "the engine's copy failed\n");
        std::exit(1);
    }
    return seconds;
}

double copyWithCp(const std::string& disc, const std::string& destination) {
    const std::string command = "cp -r '" + disc + "' '" + destination + "'";
    const Clock::time_point start = Clock::now();
    if (std::system(command.c_str()) != 0) {
        std::fprintf(stderr, "cp -r failed\n");
        std::exit(1);
    }
    return std::chrono::duration<double>(Clock::now() - start).count();
}

// Times one copy; the written data is flushed and the copy removed before the next one, so
// that neither pays for the other's write-back.
double timed(double (*copy)(const std::string&, const std::string&), const std::string& disc,
             const std::string& destination) {
    syncEverything(disc);
    const double seconds = copy(disc, destination);
    syncEverything(disc);
    fs::remove_all(destination);
    syncEverything(disc);
    return seconds;
}

double median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

double fastest(const std::vector<double>& values) {
    return *std::min_element(values.begin(), values.end());
}

} // namespace

int main(int argc, char** argv) {
    const std::size_t largeMiB = argc > 1 ? std::strtoul(argv[1], nullptr, 10) : 1024;
    const int smallFiles = argc > 2 ? std::atoi(argv[2]) : 5000;
    std::string root = (fs::temp_directory_path() / "qubrix-bench-copy-XXXXXX").string();
    if (::mkdtemp(root.data()) == nullptr) {
        std::perror("mkdtemp");
        return 1;
    }
    const std::string disc = root + "/disc";
    fs::create_directory(disc);
    std::printf("making the disc: %zu MiB file and %d small files in %s\n", largeMiB, smallFiles,
                disc.c_str());
    makeDisc(disc, largeMiB, smallFiles);
    // Warm the cache: one untimed copy each.
    timed(copyWithCp, disc, root + "/warm");
    timed(copyWithEngine, disc, root + "/warm");

    std::vector<double> cpTimes, engineTimes;
    for (int round = 0; round < kRounds; ++round) {
        // Alternate who goes first.
        if (round % 2 == 0) {
            cpTimes.push_back(timed(copyWithCp, disc, root + "/copy"));
            engineTimes.push_back(timed(copyWithEngine, disc, root + "/copy"));
        } else {
            engineTimes.push_back(timed(copyWithEngine, disc, root + "/copy"));
            cpTimes.push_back(timed(copyWithCp, disc, root + "/copy"));
        }
        std::printf("round %d: cp -r %.3f s, engine %.3f s\n", round + 1, cpTimes.back(),
                    engineTimes.back());
    }
    // On a shared machine other work only ever adds time: the fastest round is the fairest.
    std::printf("median: cp -r %.3f s, engine %.3f s, ratio %.3f\n", median(cpTimes),
                median(engineTimes), median(cpTimes) / median(engineTimes));
    std::printf("fastest: cp -r %.3f s, engine %.3f s\n", fastest(cpTimes), fastest(engineTimes));
    std::printf("throughput ratio engine / cp -r: %.3f\n", fastest(cpTimes) / fastest(engineTimes));
    fs::remove_all(root);
    return 0;
}
