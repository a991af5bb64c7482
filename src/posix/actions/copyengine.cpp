#include "posix/actions/copyengine.h"

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstring>
#include <filesystem>
#include <map>
#include <optional>
#include <set>
#include <system_error>
#include <utility>

#include <dirent.h>
#include <fcntl.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

namespace qubrix {

namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

std::string reasonOf(int error) {
    return std::strerror(error);
}

bool isNoSpace(int error) {
    return error == ENOSPC || error == EDQUOT;
}

std::string joined(const std::string& folder, const std::string& name) {
    return folder.ends_with('/') ? folder + name : folder + "/" + name;
}

std::string parentOf(const std::string& path) {
    const std::size_t slash = path.rfind('/');
    return slash == 0 ? "/" : path.substr(0, slash);
}

std::string nameOf(const std::string& path) {
    return path.substr(path.rfind('/') + 1);
}

std::string realPath(const std::string& path, int& error) {
    char* resolved = ::realpath(path.c_str(), nullptr);
    if (resolved == nullptr) {
        error = errno;
        return {};
    }
    std::string result(resolved);
    ::free(resolved);
    error = 0;
    return result;
}

bool isInside(const std::string& path, const std::string& root) {
    if (root == "/")
        return true;
    return path == root || (path.starts_with(root) && path[root.size()] == '/');
}

// One thing to do, found while the sources are counted.
struct Step {
    enum class Kind { Folder, File, Link, FolderEnd };
    Kind kind = Kind::File;
    std::string source;                   // Folder, File, Link: the path on the medium
    std::string destination;              // every kind
    std::string linkText;                 // Link
    std::uint64_t size = 0;               // File
    mode_t mode = 0;                      // Folder
    std::timespec accessed{}, modified{}; // Folder
    std::size_t end = 0;                  // Folder: index of its FolderEnd
    bool created = false;                 // Folder: made by this copy, so its times are set
};

Step makeStep(Step::Kind kind, std::string source, std::string destination) {
    Step step;
    step.kind = kind;
    step.source = std::move(source);
    step.destination = std::move(destination);
    return step;
}

// Where links inside a copied folder lead in the copy.
struct Tree {
    std::string sourceRoot;      // real path of what is copied
    std::string destinationRoot; // real path where it arrives
};

using FileIdentity = std::pair<dev_t, ino_t>;

FileIdentity identityOf(const struct stat& status) {
    return {status.st_dev, status.st_ino};
}

// Turns the sources into the list of steps, counting files and bytes. Links are followed on
// the medium only, and each folder reached through a link is walked once, so the list stays
// as large as the medium at most.
class Scanner {
public:
    Scanner(std::string medium, std::vector<Step>& steps, std::vector<CopyFailure>& failures,
            CopyProgress& totals, std::stop_token stop)
        : m_medium(std::move(medium)), m_steps(steps), m_failures(failures), m_totals(totals),
          m_stop(std::move(stop)) {}

    void addSource(const ResolvedSource& source, const std::string& destinationRoot) {
        int error = 0;
        const std::string real = realPath(source.path, error);
        struct stat status {};
        if (error != 0 || ::stat(source.path.c_str(), &status) != 0) {
            fail(source.path, error != 0 ? error : errno);
            return;
        }
        if (!isInside(real, m_medium)) {
            addSourceOffTheMedium(source, destinationRoot);
            return;
        }
        if (!source.contentsOnly) {
            const std::string destination = joined(destinationRoot, nameOf(source.path));
            addFollowed(source.path, destination, status, {real, destination});
            return;
        }
        if (!S_ISDIR(status.st_mode)) {
            m_failures.push_back({source.path, "Not a folder"});
            return;
        }
        m_openFolders.insert(identityOf(status));
        addContents(source.path, destinationRoot, {real, destinationRoot});
        m_openFolders.erase(identityOf(status));
    }

private:
    void fail(const std::string& path, int error) { m_failures.push_back({path, reasonOf(error)}); }

    // A listing that is itself a link off the medium is copied as that link; one that lies
    // off the medium through a linked folder on its way is not copied.
    void addSourceOffTheMedium(const ResolvedSource& source, const std::string& destinationRoot) {
        struct stat status {};
        if (!source.contentsOnly && ::lstat(source.path.c_str(), &status) == 0 &&
            S_ISLNK(status.st_mode))
            addLinkStep(source.path, joined(destinationRoot, nameOf(source.path)),
                        readLink(source.path));
        else
            m_failures.push_back({source.path, "It leads outside the medium"});
    }

    void addEntry(const std::string& source, const std::string& destination, const Tree& tree) {
        struct stat status {};
        if (::lstat(source.c_str(), &status) != 0)
            fail(source, errno);
        else if (S_ISLNK(status.st_mode))
            addLink(source, destination, tree);
        else
            addFollowed(source, destination, status, tree);
    }

    void addFollowed(const std::string& source, const std::string& destination,
                     const struct stat& status, const Tree& tree) {
        if (S_ISDIR(status.st_mode)) {
            addFolder(source, destination, status, tree);
        } else if (S_ISREG(status.st_mode)) {
            Step step = makeStep(Step::Kind::File, source, destination);
            step.size = static_cast<std::uint64_t>(status.st_size);
            m_steps.push_back(std::move(step));
            ++m_totals.filesTotal;
            m_totals.bytesTotal += static_cast<std::uint64_t>(status.st_size);
        } else {
            m_failures.push_back({source, "Not a file or folder"});
        }
    }

    void addLink(const std::string& source, const std::string& destination, const Tree& tree) {
        int error = 0;
        const std::string target = realPath(source, error);
        if (error == ELOOP) {
            m_failures.push_back({source, "Symbolic link loop"});
            return;
        }
        // A dangling link has nothing to copy but the link; one that leads off the medium
        // is not followed.
        if (error == ENOENT || (error == 0 && !isInside(target, m_medium))) {
            addLinkStep(source, destination, readLink(source));
            return;
        }
        struct stat status {};
        if (error != 0 || ::stat(source.c_str(), &status) != 0) {
            fail(source, error != 0 ? error : errno);
            return;
        }
        if (isInside(target, tree.sourceRoot)) {
            const fs::path targetInCopy = fs::path(tree.destinationRoot) /
                                          fs::path(target).lexically_relative(tree.sourceRoot);
            addLinkStepTo(source, destination, targetInCopy);
            return;
        }
        const auto copied = m_walkedFolders.find(identityOf(status));
        if (copied != m_walkedFolders.end() && !m_openFolders.contains(copied->first))
            addLinkStepTo(source, destination, copied->second);
        else
            addFollowed(source, destination, status, tree);
    }

    // A link at destination to the place target in the copy, relative to the link's folder.
    void addLinkStepTo(const std::string& source, const std::string& destination,
                       const fs::path& target) {
        addLinkStep(source, destination,
                    target.lexically_normal().lexically_relative(parentOf(destination)).string());
    }

    static std::string readLink(const std::string& path) {
        std::string text(256, '\0');
        for (;;) {
            const ssize_t length = ::readlink(path.c_str(), text.data(), text.size());
            if (length < 0)
                return {};
            if (static_cast<std::size_t>(length) < text.size()) {
                text.resize(static_cast<std::size_t>(length));
                return text;
            }
            text.resize(text.size() * 2);
        }
    }

    void addLinkStep(const std::string& source, const std::string& destination, std::string text) {
        if (text.empty())
            text = ".";
        Step step = makeStep(Step::Kind::Link, source, destination);
        step.linkText = std::move(text);
        m_steps.push_back(std::move(step));
        ++m_totals.filesTotal;
    }

    void addFolder(const std::string& source, const std::string& destination,
                   const struct stat& status, const Tree& tree) {
        const FileIdentity identity = identityOf(status);
        if (m_openFolders.contains(identity)) {
            m_failures.push_back({source, "Symbolic link loop"});
            return;
        }
        const std::size_t index = m_steps.size();
        Step step = makeStep(Step::Kind::Folder, source, destination);
        step.mode = status.st_mode;
        step.accessed = status.st_atim;
        step.modified = status.st_mtim;
        m_steps.push_back(std::move(step));
        m_openFolders.insert(identity);
        m_walkedFolders.try_emplace(identity, destination);
        addContents(source, destination, tree);
        m_openFolders.erase(identity);
        m_steps.push_back(makeStep(Step::Kind::FolderEnd, {}, destination));
        m_steps[index].end = m_steps.size() - 1;
    }

    void addContents(const std::string& folder, const std::string& destination, const Tree& tree) {
        std::vector<std::string> names;
        if (!listFolder(folder, names)) {
            fail(folder, errno);
            return;
        }
        for (const std::string& name : names) {
            if (m_stop.stop_requested())
                return;
            addEntry(joined(folder, name), joined(destination, name), tree);
        }
    }

    static bool listFolder(const std::string& folder, std::vector<std::string>& names) {
        DIR* dir = ::opendir(folder.c_str());
        if (dir == nullptr)
            return false;
        errno = 0;
        while (const dirent* entry = ::readdir(dir)) {
            const std::string_view name = entry->d_name;
            if (name != "." && name != "..")
                names.emplace_back(name);
        }
        const int error = errno;
        ::closedir(dir);
        std::sort(names.begin(), names.end());
        errno = error;
        return error == 0;
    }

    std::string m_medium; // real path of the medium's root
    std::vector<Step>& m_steps;
    std::vector<CopyFailure>& m_failures;
    CopyProgress& m_totals;
    std::stop_token m_stop;
    std::set<FileIdentity> m_openFolders;                // the folders being walked, for loops
    std::map<FileIdentity, std::string> m_walkedFolders; // every folder walked: where it goes
};

// Reports progress at most about ten times a second.
class ProgressReporter {
public:
    ProgressReporter(CopyObserver& observer, CopyProgress& progress)
        : m_observer(observer), m_progress(progress) {}
    void maybe() {
        const Clock::time_point now = Clock::now();
        if (now - m_last >= std::chrono::milliseconds(100))
            report(now);
    }
    void now() { report(Clock::now()); }

private:
    void report(Clock::time_point now) {
        m_last = now;
        m_observer.copyProgress(m_progress);
    }
    CopyObserver& m_observer;
    CopyProgress& m_progress;
    Clock::time_point m_last{};
};

class FileDescriptor {
public:
    explicit FileDescriptor(int fd = -1) : m_fd(fd) {}
    ~FileDescriptor() { reset(); }
    FileDescriptor(const FileDescriptor&) = delete;
    FileDescriptor& operator=(const FileDescriptor&) = delete;
    int get() const { return m_fd; }
    bool valid() const { return m_fd >= 0; }
    // Closes now; false (errno set) when the close reports a failed write.
    bool close() {
        const int fd = std::exchange(m_fd, -1);
        return fd < 0 || ::close(fd) == 0;
    }
    void reset(int fd = -1) {
        if (m_fd >= 0)
            ::close(m_fd);
        m_fd = fd;
    }

private:
    int m_fd;
};

// How one transfer ended; error is the errno of a failure. Either side's failure is reported
// against the source: the report lists the files of the medium that were not copied.
struct TransferResult {
    enum class Status { Done, Cancelled, Failed } status = Status::Done;
    int error = 0;
};

// The next stretch of data at or after offset in a file of size bytes, as [begin, end):
// begin is size when only a hole is left. Where the file system cannot tell holes, all of the
// file is data.
std::pair<off_t, off_t> nextData(int fd, off_t offset, off_t size) {
    off_t begin = ::lseek(fd, offset, SEEK_DATA);
    if (begin < 0)
        begin = errno == ENXIO ? size : offset;
    off_t end = begin < size ? ::lseek(fd, begin, SEEK_HOLE) : size;
    if (end < 0 || end > size)
        end = size;
    return {begin, end};
}

// Copies the stretches of data with the kernel's copy_file_range while the file systems allow
// it, else with read and write, in chunks sized to take a few tens of milliseconds each, so
// that progress flows and a cancel is seen quickly however slow the medium. Holes are skipped
// and stay holes in the copy: a large sparse file takes no more room than on the medium.
class Transfer {
public:
    Transfer(CopyProgress& progress, ProgressReporter& reporter, std::stop_token stop)
        : m_progress(progress), m_reporter(reporter), m_stop(std::move(stop)) {}

    TransferResult run(int in, int out, std::uint64_t expected) {
        const off_t size = static_cast<off_t>(expected);
        m_kernelCopy = true;
        m_dataCopied = 0;
        for (off_t offset = 0; offset < size;) {
            const auto [begin, end] = nextData(in, offset, size);
            m_progress.bytesDone += static_cast<std::uint64_t>(begin - offset);
            if (begin == size)
                break;
            if (::lseek(in, begin, SEEK_SET) < 0)
                return {TransferResult::Status::Failed, errno};
            if (::lseek(out, begin, SEEK_SET) < 0)
                return {TransferResult::Status::Failed, errno};
            off_t reached = begin;
            const TransferResult result = copyStretch(in, out, end - begin, reached);
            if (result.status != TransferResult::Status::Done || reached < end)
                return result; // failed, cancelled, or the file is shorter than it was
            offset = end;
        }
        // A hole at the end is made by the size alone.
        if (::ftruncate(out, size) != 0)
            return {TransferResult::Status::Failed, errno};
        return {};
    }

private:
    // Copies length bytes from the files' positions, or up to the end of a file that has got
    // shorter, advancing reached.
    TransferResult copyStretch(int in, int out, off_t length, off_t& reached) {
        for (off_t left = length; left > 0;) {
            if (m_stop.stop_requested())
                return {TransferResult::Status::Cancelled};
            const Clock::time_point start = Clock::now();
            ssize_t count = 0;
            if (m_kernelCopy) {
                count = ::copy_file_range(in, nullptr, out, nullptr,
                                          std::min(m_chunk, static_cast<std::size_t>(left)), 0);
                const bool unsupported =
                    count < 0 && (errno == EXDEV || errno == EINVAL || errno == ENOSYS ||
                                  errno == EOPNOTSUPP || errno == EBADF);
                // Some file systems report an empty file here instead of failing.
                const bool claimsEmpty = count == 0 && m_dataCopied == 0;
                if (unsupported || claimsEmpty) {
                    m_kernelCopy = false;
                    continue;
                }
                if (count < 0 && errno == EINTR)
                    continue;
                if (count < 0)
                    return {TransferResult::Status::Failed, errno};
            } else {
                const TransferResult failure = readWrite(
                    in, out, std::min(readWriteChunk, static_cast<std::size_t>(left)), count);
                if (failure.status != TransferResult::Status::Done)
                    return failure;
            }
            if (count == 0)
                return {};
            left -= count;
            reached += count;
            m_dataCopied += static_cast<std::uint64_t>(count);
            m_progress.bytesDone += static_cast<std::uint64_t>(count);
            m_reporter.maybe();
            adaptChunk(Clock::now() - start);
        }
        return {};
    }

    TransferResult readWrite(int in, int out, std::size_t length, ssize_t& count) {
        m_buffer.resize(readWriteChunk);
        do
            count = ::read(in, m_buffer.data(), length);
        while (count < 0 && errno == EINTR);
        if (count < 0)
            return {TransferResult::Status::Failed, errno};
        for (ssize_t written = 0; written < count;) {
            const ssize_t step =
                ::write(out, m_buffer.data() + written, static_cast<std::size_t>(count - written));
            if (step < 0 && errno == EINTR)
                continue;
            if (step < 0)
                return {TransferResult::Status::Failed, errno};
            written += step;
        }
        return {};
    }

    void adaptChunk(Clock::duration took) {
        if (took < std::chrono::milliseconds(10))
            m_chunk = std::min(m_chunk * 2, maxChunk);
        else if (took > std::chrono::milliseconds(50))
            m_chunk = std::max(m_chunk / 2, minChunk);
    }

    static constexpr std::size_t minChunk = std::size_t{64} << 10;
    static constexpr std::size_t maxChunk = std::size_t{64} << 20;
    static constexpr std::size_t readWriteChunk = std::size_t{1} << 20;
    CopyProgress& m_progress;
    ProgressReporter& m_reporter;
    std::stop_token m_stop;
    std::size_t m_chunk = std::size_t{1} << 20;
    std::vector<char> m_buffer;
    bool m_kernelCopy = true;       // for the file being copied
    std::uint64_t m_dataCopied = 0; // bytes of the file being copied
};

// Carries out the steps.
class Runner {
public:
    Runner(CopyObserver& observer, CopyProgress& progress, CopyReport& report, std::stop_token stop)
        : m_observer(observer), m_progress(progress), m_report(report),
          m_reporter(observer, progress), m_transfer(progress, m_reporter, stop),
          m_stop(std::move(stop)) {}

    void run(std::vector<Step>& steps) {
        m_reporter.now();
        std::size_t next = 0;
        for (; next < steps.size() && !stopped(); ++next) {
            Step& step = steps[next];
            switch (step.kind) {
            case Step::Kind::Folder:
                if (!makeFolder(step)) {
                    skip(steps, next + 1, step.end);
                    next = step.end;
                }
                break;
            case Step::Kind::FolderEnd:
                break;
            case Step::Kind::File:
                copyFile(step);
                break;
            case Step::Kind::Link:
                copyLink(step);
                break;
            }
            m_reporter.maybe();
        }
        for (; next < steps.size(); ++next)
            if (steps[next].kind == Step::Kind::File || steps[next].kind == Step::Kind::Link)
                m_report.notCopied.push_back(steps[next].source);
        // A folder's time is set once its contents are in, as writing them changes it.
        for (const Step& step : steps)
            if (step.kind == Step::Kind::Folder && step.created)
                setTimes(step);
        if (m_stop.stop_requested() && m_report.outcome == CopyReport::Outcome::Finished)
            m_report.outcome = CopyReport::Outcome::Cancelled;
        m_progress.currentFile.clear();
        m_reporter.now();
    }

private:
    enum class Decision { Write, Replace, Skip };

    bool stopped() const {
        return m_report.outcome != CopyReport::Outcome::Finished || m_stop.stop_requested();
    }

    void fail(const std::string& path, int error) {
        if (isNoSpace(error))
            m_report.outcome = CopyReport::Outcome::NoSpace;
        m_report.failures.push_back({path, reasonOf(error)});
    }

    void finishFile(const Step& step, std::uint64_t bytesAlreadyCounted) {
        ++m_progress.filesDone;
        m_progress.bytesDone += step.size - std::min(step.size, bytesAlreadyCounted);
    }

    void skip(const std::vector<Step>& steps, std::size_t from, std::size_t to) {
        for (std::size_t i = from; i < to; ++i)
            if (steps[i].kind == Step::Kind::File || steps[i].kind == Step::Kind::Link)
                finishFile(steps[i], 0);
    }

    bool makeFolder(Step& step) {
        const mode_t mode = (step.mode & 0777) | S_IRWXU;
        if (::mkdir(step.destination.c_str(), mode) == 0) {
            step.created = true;
            return true;
        }
        const int error = errno;
        struct stat existing {};
        if (error == EEXIST && ::stat(step.destination.c_str(), &existing) == 0 &&
            S_ISDIR(existing.st_mode))
            return true; // merged into the folder that is there
        if (error == EEXIST)
            m_report.failures.push_back({step.source, "A file of this name is in the way"});
        else
            fail(step.source, error);
        return false;
    }

    static void setTimes(const Step& step) {
        const std::timespec times[2] = {step.accessed, step.modified};
        ::utimensat(AT_FDCWD, step.destination.c_str(), times, 0);
    }

    // What to do with the destination of a file or link: ask before replacing what is there.
    Decision decide(const Step& step, const FileFacts& incoming, const struct stat* source) {
        struct stat existing {};
        if (::lstat(step.destination.c_str(), &existing) != 0)
            return Decision::Write;
        if (S_ISDIR(existing.st_mode)) {
            m_report.failures.push_back({step.source, "A folder of this name is in the way"});
            return Decision::Skip;
        }
        if (source != nullptr && existing.st_dev == source->st_dev &&
            existing.st_ino == source->st_ino) {
            m_report.failures.push_back({step.source, "It is the source file itself"});
            return Decision::Skip;
        }
        if (m_overwriteAll)
            return *m_overwriteAll ? Decision::Replace : Decision::Skip;
        const OverwriteQuestion question{
            step.destination,
            {static_cast<std::uint64_t>(existing.st_size), existing.st_mtim},
            incoming};
        switch (m_observer.askOverwrite(question)) {
        case OverwriteAnswer::YesToAll:
            m_overwriteAll = true;
            return Decision::Replace;
        case OverwriteAnswer::Yes:
            return Decision::Replace;
        case OverwriteAnswer::NoToAll:
            m_overwriteAll = false;
            return Decision::Skip;
        case OverwriteAnswer::No:
            return Decision::Skip;
        case OverwriteAnswer::Cancel:
            m_report.outcome = CopyReport::Outcome::Cancelled;
            m_report.notCopied.push_back(step.source);
            return Decision::Skip;
        }
        return Decision::Skip;
    }

    // A name beside the destination for a replacement written in full before it takes the
    // destination's place, so that the old file survives a cancel or a failure.
    std::string temporaryBeside(const std::string& destination) {
        return joined(parentOf(destination), ".qubrix-copy-" + std::to_string(::getpid()) + "-" +
                                                 std::to_string(++m_temporaryCount));
    }

    void copyFile(const Step& step) {
        m_progress.currentFile = step.source;
        FileDescriptor in(::open(step.source.c_str(), O_RDONLY | O_CLOEXEC));
        struct stat status {};
        if (!in.valid() || ::fstat(in.get(), &status) != 0) {
            fail(step.source, errno);
            finishFile(step, 0);
            return;
        }
        // Most destinations are new: try that first and ask only when something is there.
        const mode_t mode = (status.st_mode & 0777) | S_IRUSR | S_IWUSR;
        std::string target = step.destination;
        FileDescriptor out(createFile(target, mode));
        if (!out.valid() && errno == EEXIST) {
            const Decision decision =
                decide(step, {static_cast<std::uint64_t>(status.st_size), status.st_mtim}, &status);
            if (decision == Decision::Skip) {
                finishFile(step, 0);
                return;
            }
            target = temporaryBeside(step.destination);
            out.reset(createFile(target, mode));
        }
        if (!out.valid()) {
            fail(step.source, errno);
            finishFile(step, 0);
            return;
        }
        const std::uint64_t before = m_progress.bytesDone;
        const bool written = writeCopy(step, in.get(), out, status, target);
        if (written && target != step.destination &&
            ::rename(target.c_str(), step.destination.c_str()) != 0) {
            fail(step.source, errno);
            ::unlink(target.c_str());
        } else if (written) {
            ++m_report.filesCopied;
            m_report.bytesCopied += m_progress.bytesDone - before;
        }
        finishFile(step, m_progress.bytesDone - before);
    }

    static int createFile(const std::string& path, mode_t mode) {
        return ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, mode);
    }

    // Writes the copy to target through out; on any failure or a cancel the file is removed
    // again.
    bool writeCopy(const Step& step, int in, FileDescriptor& out, const struct stat& status,
                   const std::string& target) {
        const TransferResult result =
            m_transfer.run(in, out.get(), static_cast<std::uint64_t>(status.st_size));
        bool ok = result.status == TransferResult::Status::Done;
        if (result.status == TransferResult::Status::Failed)
            fail(step.source, result.error);
        if (result.status == TransferResult::Status::Cancelled)
            m_report.notCopied.push_back(step.source);
        if (ok) {
            const std::timespec times[2] = {status.st_atim, status.st_mtim};
            ::futimens(out.get(), times);
        }
        if (!out.close() && ok) {
            fail(step.source, errno);
            ok = false;
        }
        if (!ok)
            ::unlink(target.c_str());
        return ok;
    }

    void copyLink(const Step& step) {
        m_progress.currentFile = step.source;
        struct stat status {};
        const bool known = ::lstat(step.source.c_str(), &status) == 0;
        const Decision decision =
            decide(step, {step.linkText.size(), known ? status.st_mtim : std::timespec{}}, nullptr);
        if (decision != Decision::Skip) {
            const std::string target = decision == Decision::Replace
                                           ? temporaryBeside(step.destination)
                                           : step.destination;
            if (::symlink(step.linkText.c_str(), target.c_str()) != 0)
                fail(step.source, errno);
            else if (target != step.destination &&
                     ::rename(target.c_str(), step.destination.c_str()) != 0) {
                fail(step.source, errno);
                ::unlink(target.c_str());
            } else
                ++m_report.filesCopied;
        }
        finishFile(step, 0);
    }

    CopyObserver& m_observer;
    CopyProgress& m_progress;
    CopyReport& m_report;
    ProgressReporter m_reporter;
    Transfer m_transfer;
    std::stop_token m_stop;
    std::optional<bool> m_overwriteAll; // set by Yes to all and No to all
    unsigned long m_temporaryCount = 0;
};

// Makes the destination folder and its missing parents.
bool makeDestination(const std::string& folder, CopyReport& report) {
    std::error_code error;
    fs::create_directories(folder, error);
    if (!error && fs::is_directory(folder, error))
        return true;
    if (!error)
        error = std::make_error_code(std::errc::not_a_directory);
    report.outcome =
        isNoSpace(error.value()) ? CopyReport::Outcome::NoSpace : CopyReport::Outcome::Refused;
    // About no file of the medium: the reason names the folder.
    report.failures.push_back(
        {"", "The folder \"" + folder + "\" cannot be made: " + reasonOf(error.value())});
    return false;
}

// The real path of folder, or folder itself when it cannot be had.
std::string realPathOr(const std::string& folder) {
    int error = 0;
    const std::string real = realPath(folder, error);
    return error == 0 ? real : folder;
}

CopyReport copyResolved(const ResolvedPlan& resolved, const CopyPlan& plan, CopyObserver& observer,
                        std::stop_token stop) {
    CopyReport report;
    for (const std::string& missing : resolved.missing)
        report.failures.push_back({missing, reasonOf(ENOENT)});
    // With nothing found to copy, no folder is made either.
    if (resolved.sources.empty() || !makeDestination(plan.destinationFolder, report))
        return report;
    const std::string destinationRoot = realPathOr(plan.destinationFolder);
    CopyProgress progress;
    std::vector<Step> steps;
    Scanner scanner(realPathOr(plan.mediumRoot), steps, report.failures, progress, stop);
    for (const ResolvedSource& source : resolved.sources)
        scanner.addSource(source, destinationRoot);
    // Cancelled while the sources were counted: the list is not whole, and nothing is copied.
    if (stop.stop_requested()) {
        report.outcome = CopyReport::Outcome::Cancelled;
        return report;
    }
    Runner(observer, progress, report, stop).run(steps);
    return report;
}

} // namespace

CopyReport runCopy(const CopyPlan& plan, CopyObserver& observer, std::stop_token stop) {
    const ResolvedPlan resolved = resolveCopyPlan(plan);
    CopyReport report;
    if (!resolved.error.empty()) {
        report.outcome = CopyReport::Outcome::Refused;
        report.failures.push_back({"", resolved.error});
    } else {
        report = copyResolved(resolved, plan, observer, stop);
    }
    observer.copyFinished(report);
    return report;
}

CopyEngine::CopyEngine(CopyPlan plan, CopyObserver& observer)
    : m_worker([plan = std::move(plan), &observer](std::stop_token stop) {
          runCopy(plan, observer, std::move(stop));
      }) {}

} // namespace qubrix
