#pragma once

#include "platform/fileservice.h"

#include <QStringList>

// A disc at a scripted mount point with a scripted label. Attributes are the real file's
// write bits, so tests can prepare a write-protected catalogue with chmod; lockedPaths behave
// like files on a read-only medium.
class FakeFileService final : public FileService {
public:
    QString directory;
    QString mountPoint = "/";
    QString label;
    QStringList lockedPaths;

    QString currentDirectory() override { return directory; }
    QString mountPointOf(const QString&) override { return mountPoint; }
    QString volumeLabel(const QString&) override { return label; }

    std::optional<FileAttributes> fileAttributes(const QString& path) override;
    bool setReadOnly(const QString& path) override;
    bool clearReadOnly(const QString& path) override;
};
