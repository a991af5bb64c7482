#include "posix/platform/renamenoreplace.h"

#include <cerrno>
#include <cstdio>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace qubrix {

namespace {

bool linkCannotServe(int error) {
    return error == EPERM || error == EOPNOTSUPP || error == ENOSYS || error == EMLINK;
}

} // namespace

bool renameWithoutReplacing(const std::string& from, const std::string& to) {
    if (::renameat2(AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(), RENAME_NOREPLACE) == 0)
        return true;
    // EINVAL also answers a folder moved into itself; the hand-made rename refuses that too.
    if (errno != EINVAL && errno != ENOSYS)
        return false;
    return renameByHandWithoutReplacing(from, to);
}

bool renameByHandWithoutReplacing(const std::string& from, const std::string& to) {
    struct stat entry {};
    if (::lstat(from.c_str(), &entry) != 0)
        return false;
    if (!S_ISDIR(entry.st_mode)) {
        if (::link(from.c_str(), to.c_str()) == 0) {
            if (::unlink(from.c_str()) == 0)
                return true;
            const int error = errno;
            ::unlink(to.c_str());
            errno = error;
            return false;
        }
        if (!linkCannotServe(errno))
            return false;
    }
    struct stat existing {};
    if (::lstat(to.c_str(), &existing) == 0) {
        errno = EEXIST;
        return false;
    }
    if (errno != ENOENT)
        return false;
    return std::rename(from.c_str(), to.c_str()) == 0;
}

} // namespace qubrix
