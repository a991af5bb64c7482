// qubrix-medium image against `xorriso -as mkisofs -R -J` of the same tree into the same file
// system, interleaved in one run with a warm cache: a few large files and many small ones
// (1 to 8 KB, 50 to a folder). Ours runs with --no-verify, as the other does not read its image
// back; one verified run is timed on its own. Ours flushes its image before it takes its name;
// the other leaves that to the system, so every image is flushed after its run (and the ratio
// is told both without and with that flush for the other). Each program runs as a child, whose peak
// memory wait4 reports. Arguments: the large files' total in MiB (1024) and the number of small
// files (5000), so a quick run can use less.

#include "benchfiles.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include <fcntl.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

constexpr int kRounds = 5;
constexpr int kLargeFiles = 4;

void makeTree(const std::string& top, std::size_t largeMiB, int smallFiles) {
    std::uint64_t state = 7;
    fs::create_directories(top + "/BIG");
    for (int i = 0; i < kLargeFiles; ++i)
        writeBytes(top + "/BIG/part" + std::to_string(i) + ".bin",
                   pseudoRandomBytes(std::size_t{1} << 20, state),
                   static_cast<int>(largeMiB / kLargeFiles));
    for (int i = 0; i < smallFiles; ++i) {
        const std::string folder =
            top + "/small/" + std::to_string(i / 500) + "/" + std::to_string(i / 50 % 10);
        fs::create_directories(folder);
        writeBytes(folder + "/file" + std::to_string(i) + ".txt",
                   pseudoRandomBytes(1024 + state % 7168, state));
    }
}

struct Run {
    double seconds = 0;
    long peakKiB = 0;
    // What flushing the image to the disc took after the program ended: ours flushes before
    // it renames, xorriso leaves that to the system.
    double flushSeconds = 0;
};

// Flushes the image, so that no run's write-back falls into the next run's time.
double flush(const std::string& image) {
    const Clock::time_point start = Clock::now();
    const int fd = ::open(image.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0 || ::fsync(fd) != 0) {
        std::perror(image.c_str());
        std::exit(1);
    }
    ::close(fd);
    return std::chrono::duration<double>(Clock::now() - start).count();
}

Run runChild(std::vector<std::string> arguments) {
    std::vector<char*> argv;
    for (std::string& argument : arguments)
        argv.push_back(argument.data());
    argv.push_back(nullptr);
    const Clock::time_point start = Clock::now();
    const pid_t child = ::fork();
    if (child == 0) {
        const int null = ::open("/dev/null", O_WRONLY);
        ::dup2(null, STDOUT_FILENO);
        ::dup2(null, STDERR_FILENO);
        ::execvp(argv[0], argv.data());
        ::_exit(127);
    }
    int status = 0;
    rusage usage{};
    ::wait4(child, &status, 0, &usage);
    const double seconds = std::chrono::duration<double>(Clock::now() - start).count();
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) {
        std::fprintf(stderr, "%s failed\n", arguments[0].c_str());
        std::exit(1);
    }
    return {seconds, usage.ru_maxrss};
}

double median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

} // namespace

int main(int argc, char* argv[]) {
    const std::size_t largeMiB = argc > 1 ? std::strtoul(argv[1], nullptr, 10) : 1024;
    const int smallFiles = argc > 2 ? std::atoi(argv[2]) : 5000;
    char pattern[] = "/var/tmp/qubrix-bench-image-XXXXXX";
    if (::mkdtemp(pattern) == nullptr) {
        std::perror("mkdtemp");
        return 1;
    }
    const std::string work = pattern;
    const std::string tree = work + "/DEMO";
    const std::string image = work + "/out.iso";
    makeTree(tree, largeMiB, smallFiles);
    const std::vector<std::string> ours = {QUBRIX_MEDIUM, "image", tree, image, "--no-verify"};
    const std::vector<std::string> theirs = {"xorriso", "-as", "mkisofs", "-R", "-J",
                                             "-quiet",  "-o",  image,     tree};
    const auto timed = [&](const std::vector<std::string>& command) {
        Run run = runChild(command);
        run.flushSeconds = flush(image);
        fs::remove(image);
        return run;
    };
    // Warm the cache with one run of each.
    timed(ours);
    timed(theirs);
    std::vector<double> ourSeconds, theirSeconds, theirFlushed;
    long ourPeak = 0, theirPeak = 0;
    for (int round = 0; round < kRounds; ++round) {
        const bool oursFirst = round % 2 == 0;
        const Run first = timed(oursFirst ? ours : theirs);
        const Run second = timed(oursFirst ? theirs : ours);
        const Run& our = oursFirst ? first : second;
        const Run& their = oursFirst ? second : first;
        ourSeconds.push_back(our.seconds);
        theirSeconds.push_back(their.seconds);
        theirFlushed.push_back(their.seconds + their.flushSeconds);
        ourPeak = std::max(ourPeak, our.peakKiB);
        theirPeak = std::max(theirPeak, their.peakKiB);
    }
    std::vector<std::string> verified = ours;
    verified.pop_back();
    const Run check = timed(verified);
    fs::remove_all(work);

    const double megabytes = static_cast<double>(largeMiB) * 1.048576;
    const double our = median(ourSeconds);
    const double their = median(theirSeconds);
    std::printf("tree: %zu MiB in %d files and %d small files\n", largeMiB, kLargeFiles,
                smallFiles);
    std::printf("qubrix-medium image:   %6.2f s  %7.1f MB/s  peak %ld KiB\n", our, megabytes / our,
                ourPeak);
    std::printf("xorriso -as mkisofs:   %6.2f s  %7.1f MB/s  peak %ld KiB\n", their,
                megabytes / their, theirPeak);
    std::printf("with reading back:     %6.2f s  peak %ld KiB\n", check.seconds, check.peakKiB);
    const double flushed = median(theirFlushed);
    std::printf("xorriso, then flushed: %6.2f s  %7.1f MB/s\n", flushed, megabytes / flushed);
    std::printf("throughput ratio (ours / xorriso): %.2f\n", their / our);
    std::printf("throughput ratio (ours / xorriso with its image flushed): %.2f\n", flushed / our);
    return 0;
}
