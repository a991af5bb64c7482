#include "fakeplatform.h"

#include <QFile>
#include <QFileInfo>

// Attributes are the real file's write bits, so tests can prepare a write-protected
// catalogue with chmod; lockedPaths behave like a read-only medium.
std::optional<Platform::FileAttributes> FakePlatform::fileAttributes(const QString& path) {
    const QFileInfo info(path);
    if (!info.exists())
        return std::nullopt;
    constexpr auto writeBits = QFile::WriteOwner | QFile::WriteGroup | QFile::WriteOther;
    return FileAttributes{(QFile::permissions(path) & writeBits) == 0};
}

bool FakePlatform::setReadOnly(const QString& path) {
    if (lockedPaths.contains(path) || !QFileInfo::exists(path))
        return false;
    return QFile::setPermissions(
        path, QFile::permissions(path) &
                  ~(QFile::WriteOwner | QFile::WriteGroup | QFile::WriteOther | QFile::WriteUser));
}

bool FakePlatform::clearReadOnly(const QString& path) {
    if (lockedPaths.contains(path) || !QFileInfo::exists(path))
        return false;
    return QFile::setPermissions(path,
                                 QFile::permissions(path) | QFile::WriteOwner | QFile::WriteUser);
}
