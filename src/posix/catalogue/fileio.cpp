#include "posix/catalogue/fileio.h"

#include <cerrno>
#include <climits>
#include <cstring>

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/statvfs.h>
#include <unistd.h>

namespace qubrix::posixdata {

std::string systemReason(int error) {
    return std::strerror(error);
}

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

std::string followLinks(std::string path) {
    for (int hop = 0; hop < 40; ++hop) {
        struct stat info {};
        if (::lstat(path.c_str(), &info) != 0 || !S_ISLNK(info.st_mode))
            return path;
        std::string link(PATH_MAX, '\0');
        const ssize_t length = ::readlink(path.c_str(), link.data(), link.size());
        if (length <= 0)
            return path;
        link.resize(static_cast<std::size_t>(length));
        path = link.front() == '/' ? link : folderOf(path) + '/' + link;
    }
    return path;
}

bool exists(const std::string& path) {
    struct stat info {};
    return ::lstat(path.c_str(), &info) == 0;
}

bool writeAll(int fd, std::string_view bytes, off_t offset) {
    while (!bytes.empty()) {
        const ssize_t done = ::pwrite(fd, bytes.data(), bytes.size(), offset);
        if (done < 0 && errno == EINTR)
            continue;
        if (done < 0)
            return false;
        bytes.remove_prefix(static_cast<std::size_t>(done));
        offset += done;
    }
    return true;
}

int closeReportingFirst(int fd, int error) {
    if (::close(fd) != 0 && error == 0)
        return errno;
    return error;
}

int reserve(int fd, std::size_t length) {
    struct stat info {};
    if (::fstat(fd, &info) != 0)
        return errno;
    const auto size = static_cast<std::size_t>(info.st_size);
    if (length <= size)
        return 0;
    const auto growth = static_cast<off_t>(length - size);
    if (::fallocate(fd, FALLOC_FL_KEEP_SIZE, info.st_size, growth) == 0)
        return 0;
    if (errno != EOPNOTSUPP)
        return errno;
    // A file system that cannot set room aside can at least tell how much is free.
    struct statvfs medium {};
    if (::fstatvfs(fd, &medium) == 0 &&
        static_cast<unsigned long long>(medium.f_bavail) * medium.f_frsize <
            static_cast<unsigned long long>(growth))
        return ENOSPC;
    return 0;
}

int overwrite(int fd, std::string_view bytes, bool cut) {
    if (const int error = reserve(fd, bytes.size()))
        return error;
    if (!writeAll(fd, bytes) || (cut && ::ftruncate(fd, static_cast<off_t>(bytes.size())) != 0) ||
        ::fsync(fd) != 0)
        return errno;
    return 0;
}

int writeInPlace(int fd, std::string_view bytes) {
    return closeReportingFirst(fd, overwrite(fd, bytes, true));
}

int openForWriting(const std::string& path) {
    return ::open(path.c_str(), O_WRONLY | O_CLOEXEC | O_NOCTTY);
}

WriteOutcome failure(const std::string& path, std::string reason) {
    WriteOutcome outcome;
    outcome.ok = false;
    outcome.failedPath = path;
    outcome.error = std::move(reason);
    return outcome;
}

} // namespace qubrix::posixdata
