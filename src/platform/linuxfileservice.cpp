#include "platform/linuxfileservice.h"

#include "platform/mountinfo.h"
#include "posix/platform/renamenoreplace.h"

#include <QDir>
#include <QFile>

#include <sys/stat.h>
#include <sys/statvfs.h>
#include <unistd.h>

namespace {

constexpr mode_t writeBits = S_IWUSR | S_IWGRP | S_IWOTH;

QByteArray nativePath(const QString& path) {
    return QFile::encodeName(path);
}

} // namespace

QString LinuxFileService::currentDirectory() {
    return QDir::currentPath();
}

QString LinuxFileService::mountPointOf(const QString& path) {
    return mountinfo::mountPointOf(path);
}

QString LinuxFileService::volumeLabel(const QString& mountPoint) {
    return mountinfo::volumeLabel(mountPoint);
}

std::optional<FileService::FileAttributes> LinuxFileService::fileAttributes(const QString& path) {
    struct stat status {};
    if (::stat(nativePath(path).constData(), &status) != 0)
        return std::nullopt;
    struct statvfs volume {};
    const bool readOnlyMount =
        ::statvfs(nativePath(path).constData(), &volume) == 0 && (volume.f_flag & ST_RDONLY);
    // A file this user may not write (another user's, mode 644) is read-only for this run too.
    const bool writable = ::access(nativePath(path).constData(), W_OK) == 0;
    return FileAttributes{readOnlyMount || (status.st_mode & writeBits) == 0 || !writable};
}

bool LinuxFileService::setReadOnly(const QString& path) {
    struct stat status {};
    const QByteArray native = nativePath(path);
    return ::stat(native.constData(), &status) == 0 &&
           ::chmod(native.constData(), status.st_mode & ~writeBits & 07777) == 0;
}

bool LinuxFileService::clearReadOnly(const QString& path) {
    struct stat status {};
    const QByteArray native = nativePath(path);
    return ::stat(native.constData(), &status) == 0 &&
           ::chmod(native.constData(), (status.st_mode | S_IWUSR) & 07777) == 0;
}

bool LinuxFileService::renameWithoutReplacing(const QString& from, const QString& to) {
    return qubrix::renameWithoutReplacing(nativePath(from).toStdString(),
                                          nativePath(to).toStdString());
}

std::optional<FileService::Room> LinuxFileService::freeRoom(const QString& path) {
    struct statvfs volume {};
    if (::statvfs(nativePath(path).constData(), &volume) != 0)
        return std::nullopt;
    // f_bavail counts blocks of the fragment size, which some file systems leave at 0.
    const std::uint64_t block = volume.f_frsize != 0 ? volume.f_frsize : volume.f_bsize;
    return Room{static_cast<std::uint64_t>(volume.f_bavail) * block, block};
}
