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
    struct Rename {
        QString from;
        QString to;
    };
    // Every rename asked for, refused or not.
    QList<Rename> renames;
    // The room on the disc, plenty unless a test says otherwise; nullopt: the system cannot
    // tell.
    std::optional<Room> room = Room{1'000'000'000'000, 4096};

    QString currentDirectory() override { return directory; }
    // Mount points of other media; a path below one of them lies there, any other on the disc.
    QStringList otherMounts;
    QString mountPointOf(const QString& path) override {
        for (const QString& other : otherMounts) {
            if (path == other || path.startsWith(other + '/'))
                return other;
        }
        return mountPoint;
    }
    QString volumeLabel(const QString&) override { return label; }

    std::optional<FileAttributes> fileAttributes(const QString& path) override;
    bool setReadOnly(const QString& path) override;
    bool clearReadOnly(const QString& path) override;
    // Renames the real entry, unless either path is locked or the new name exists.
    bool renameWithoutReplacing(const QString& from, const QString& to) override;
    std::optional<Room> freeRoom(const QString&) override { return room; }
};
