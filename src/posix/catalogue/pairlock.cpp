#include "posix/catalogue/pairlock.h"

#include "posix/catalogue/fileio.h"

#include <cerrno>

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace qubrix::posixdata {

namespace {

bool sameInode(const struct stat& a, const struct stat& b) {
    return a.st_dev == b.st_dev && a.st_ino == b.st_ino;
}

bool lockWholly(int fd) {
    for (;;) {
        if (::flock(fd, LOCK_EX) == 0)
            return true;
        if (errno != EINTR)
            return false;
    }
}

} // namespace

PairLock::PairLock(const DataFilePair& files, Purpose purpose)
    : m_path(followLinks(files.catalogue)), m_purpose(purpose),
      m_folderFd(::open(folderOf(m_path).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC)) {
    if (m_folderFd >= 0 && !lockWholly(m_folderFd)) {
        ::close(m_folderFd);
        m_folderFd = -1;
    }
    lockFile();
}

PairLock::~PairLock() {
    if (m_fileFd >= 0)
        ::close(m_fileFd);
    if (m_folderFd >= 0)
        ::close(m_folderFd);
}

bool PairLock::current() const {
    struct stat now {};
    const bool exists = ::stat(m_path.c_str(), &now) == 0 && S_ISREG(now.st_mode);
    if (m_fileFd < 0)
        return !exists;
    struct stat locked {};
    return exists && ::fstat(m_fileFd, &locked) == 0 && sameInode(now, locked);
}

void PairLock::renew() {
    if (m_fileFd >= 0)
        ::close(m_fileFd);
    m_fileFd = -1;
    lockFile();
}

void PairLock::removeCreated() {
    struct stat now {};
    struct stat locked {};
    if (m_created && m_fileFd >= 0 && ::stat(m_path.c_str(), &now) == 0 &&
        ::fstat(m_fileFd, &locked) == 0 && sameInode(now, locked) && now.st_size == 0)
        ::unlink(m_path.c_str());
}

void PairLock::lockFile() {
    for (int attempt = 0; attempt < 1000 && m_fileFd < 0; ++attempt) {
        struct stat info {};
        int fd = -1;
        if (::stat(m_path.c_str(), &info) != 0) {
            if (errno != ENOENT || m_purpose != Purpose::Save)
                return;
            fd = ::open(m_path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NOCTTY, 0666);
            if (fd < 0 && errno == EEXIST)
                continue;
            if (fd < 0)
                return;
            m_created = true;
        } else {
            // Only a regular file is opened: opening a device may act on it.
            if (!S_ISREG(info.st_mode))
                return;
            fd = ::open(m_path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
            if (fd < 0 && errno == EACCES)
                fd = ::open(m_path.c_str(), O_WRONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
            if (fd < 0 && errno == ENOENT)
                continue;
            if (fd < 0)
                return;
        }
        if (!lockWholly(fd)) {
            // Some network file systems lock only files open for writing.
            const bool tryWriting = errno == EBADF && !m_created;
            ::close(fd);
            fd = tryWriting ? openForWriting(m_path) : -1;
            if (fd < 0 || !lockWholly(fd)) {
                if (fd >= 0)
                    ::close(fd);
                return;
            }
        }
        m_fileFd = fd;
        if (!current()) {
            ::close(m_fileFd);
            m_fileFd = -1;
            m_created = false;
        }
    }
}

} // namespace qubrix::posixdata
