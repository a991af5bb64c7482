#include "fakefileservice.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace {

constexpr auto writeBits = QFile::WriteOwner | QFile::WriteGroup | QFile::WriteOther;

} // namespace

std::optional<FileService::FileAttributes> FakeFileService::fileAttributes(const QString& path) {
    if (!QFileInfo::exists(path))
        return std::nullopt;
    return FileAttributes{(QFile::permissions(path) & writeBits) == 0};
}

bool FakeFileService::setReadOnly(const QString& path) {
    if (lockedPaths.contains(path) || !QFileInfo::exists(path))
        return false;
    return QFile::setPermissions(path, QFile::permissions(path) & ~(writeBits | QFile::WriteUser));
}

bool FakeFileService::clearReadOnly(const QString& path) {
    if (lockedPaths.contains(path) || !QFileInfo::exists(path))
        return false;
    return QFile::setPermissions(path,
                                 QFile::permissions(path) | QFile::WriteOwner | QFile::WriteUser);
}

bool FakeFileService::renameWithoutReplacing(const QString& from, const QString& to) {
    renames.append({from, to});
    if (lockedPaths.contains(from) || lockedPaths.contains(to) || QFileInfo::exists(to) ||
        QFileInfo(to).isSymLink())
        return false;
    return QDir().rename(from, to);
}
