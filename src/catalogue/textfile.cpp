#include "catalogue/textfile.h"

#include "text/utf8.h"

#include <algorithm>
#include <array>
#include <cerrno>
#include <cstring>
#include <random>
#include <set>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace qubrix {

namespace {

std::string_view untilNul(std::string_view bytes) {
    return bytes.substr(0, std::min(bytes.find('\0'), bytes.size()));
}

std::string systemReason(int error) {
    return std::strerror(error);
}

} // namespace

TextEncoding detectEncoding(std::string_view bytes) {
    const std::string_view text = untilNul(bytes);
    const bool multiByte = std::any_of(
        text.begin(), text.end(), [](char c) { return static_cast<unsigned char>(c) >= 0x80; });
    return multiByte && isValidUtf8(text) ? TextEncoding::Utf8 : TextEncoding::Windows1252;
}

std::vector<std::string> splitLines(std::string_view bytes) {
    const std::string_view text = untilNul(bytes);
    std::vector<std::string> lines;
    std::size_t start = 0;
    while (start < text.size()) {
        const std::size_t end = std::min(text.find_first_of("\r\n", start), text.size());
        lines.emplace_back(text.substr(start, end - start));
        start = end + 1;
        if (end + 1 < text.size() && text[end] == '\r' && text[end + 1] == '\n')
            ++start;
    }
    return lines;
}

std::string joinLines(const std::vector<std::string>& lines) {
    std::size_t size = 0;
    for (const auto& line : lines)
        size += line.size() + 2;
    std::string out;
    out.reserve(size);
    for (const auto& line : lines) {
        out += line;
        out += "\r\n";
    }
    return out;
}

ReadOutcome readWholeFile(const std::string& path) {
    ReadOutcome outcome;
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        if (errno == ENOENT || errno == ENOTDIR)
            return outcome;
        outcome.status = ReadOutcome::Status::Failed;
        outcome.error = systemReason(errno);
        return outcome;
    }
    outcome.status = ReadOutcome::Status::Read;
    struct stat info {};
    if (::fstat(fd, &info) == 0 && S_ISDIR(info.st_mode)) {
        outcome.status = ReadOutcome::Status::Failed;
        outcome.error = systemReason(EISDIR);
        ::close(fd);
        return outcome;
    }
    // The size is only a hint: the file may grow or shrink while it is read.
    std::size_t capacity = info.st_size > 0 ? static_cast<std::size_t>(info.st_size) + 1 : 4096;
    std::size_t used = 0;
    outcome.bytes.resize(capacity);
    for (;;) {
        if (used == outcome.bytes.size())
            outcome.bytes.resize(outcome.bytes.size() * 2);
        const ssize_t got = ::read(fd, outcome.bytes.data() + used, outcome.bytes.size() - used);
        if (got < 0 && errno == EINTR)
            continue;
        if (got < 0) {
            outcome.status = ReadOutcome::Status::Failed;
            outcome.error = systemReason(errno);
            outcome.bytes.clear();
            ::close(fd);
            return outcome;
        }
        if (got == 0)
            break;
        used += static_cast<std::size_t>(got);
    }
    outcome.bytes.resize(used);
    ::close(fd);
    return outcome;
}

namespace {

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

bool writeAll(int fd, std::string_view bytes) {
    while (!bytes.empty()) {
        const ssize_t done = ::write(fd, bytes.data(), bytes.size());
        if (done < 0 && errno == EINTR)
            continue;
        if (done < 0)
            return false;
        bytes.remove_prefix(static_cast<std::size_t>(done));
    }
    return true;
}

// A temporary file beside the target, created with O_EXCL so the umask applies to a new file
// the same way it would to the target itself.
int createTemporaryBeside(const std::string& target, std::string& temporaryPath) {
    static std::mt19937_64 generator{std::random_device{}()};
    static constexpr char kLetters[] =
        "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";
    const std::string prefix = folderOf(target) + "/." + nameOf(target) + ".";
    for (int attempt = 0; attempt < 100; ++attempt) {
        temporaryPath = prefix;
        for (int i = 0; i < 6; ++i)
            temporaryPath += kLetters[generator() % (sizeof kLetters - 1)];
        const int fd = ::open(temporaryPath.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd >= 0 || errno != EEXIST)
            return fd;
    }
    return -1;
}

// Why the target may not be replaced, or 0. Renaming over a file needs only the folder's write
// permission, so the file's own protection is checked here: a file without any write bit is
// write-protected even for root, and a file the user may not write is refused as well.
int refusalOf(const std::string& target, const struct stat& info) {
    if (S_ISDIR(info.st_mode))
        return EISDIR;
    if ((info.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0)
        return EACCES;
    if (::geteuid() != 0 && ::access(target.c_str(), W_OK) != 0)
        return errno;
    return 0;
}

struct Staged {
    std::string target;
    std::string temporary;
};

// Writes one file's bytes to a flushed temporary beside it; returns 0 or the errno.
int stage(const FileContent& file, Staged& staged) {
    staged.target = file.path;
    struct stat info {};
    const bool exists = ::stat(file.path.c_str(), &info) == 0;
    if (!exists && errno != ENOENT)
        return errno;
    if (exists)
        if (const int refusal = refusalOf(file.path, info))
            return refusal;
    const int fd = createTemporaryBeside(file.path, staged.temporary);
    if (fd < 0) {
        staged.temporary.clear();
        return errno;
    }
    int error = 0;
    if (exists && ::fchmod(fd, info.st_mode & 07777) != 0)
        error = errno;
    if (exists && error == 0 && (info.st_uid != ::geteuid() || info.st_gid != ::getegid())) {
        // Best effort: keep the owner when we may (as root); a user keeps the file as theirs.
        [[maybe_unused]] const int ignored = ::fchown(fd, info.st_uid, info.st_gid);
    }
    if (error == 0 && !writeAll(fd, file.bytes))
        error = errno;
    if (error == 0 && ::fsync(fd) != 0)
        error = errno;
    if (::close(fd) != 0 && error == 0)
        error = errno;
    return error;
}

void syncFolder(const std::string& folder) {
    const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0)
        return;
    ::fsync(fd);
    ::close(fd);
}

void removeTemporaries(const std::vector<Staged>& staged, std::size_t from) {
    for (std::size_t i = from; i < staged.size(); ++i)
        if (!staged[i].temporary.empty())
            ::unlink(staged[i].temporary.c_str());
}

} // namespace

WriteOutcome replaceFilesAtomically(const std::vector<FileContent>& files) {
    WriteOutcome outcome;
    std::vector<Staged> staged;
    staged.reserve(files.size());
    for (const auto& file : files) {
        staged.emplace_back();
        if (const int error = stage(file, staged.back())) {
            removeTemporaries(staged, 0);
            outcome.ok = false;
            outcome.failedPath = file.path;
            outcome.error = systemReason(error);
            return outcome;
        }
    }
    std::set<std::string> folders;
    for (std::size_t i = 0; i < staged.size(); ++i) {
        if (::rename(staged[i].temporary.c_str(), staged[i].target.c_str()) != 0) {
            // Every file is on disk already, so this needs the folder changed under us since
            // staging; the files renamed before this one stay replaced.
            outcome.ok = false;
            outcome.failedPath = staged[i].target;
            outcome.error = systemReason(errno);
            removeTemporaries(staged, i);
            break;
        }
        folders.insert(folderOf(staged[i].target));
    }
    for (const auto& folder : folders)
        syncFolder(folder);
    return outcome;
}

} // namespace qubrix
