#pragma once

#include <QString>

#include <cstdint>
#include <optional>

// Folders, volumes and file attributes.
class FileService {
public:
    struct FileAttributes {
        bool readOnly = false;
    };

    virtual ~FileService() = default;

    virtual QString currentDirectory() = 0;
    // Mount point of the file system holding path; "/" for the root file system.
    virtual QString mountPointOf(const QString& path) = 0;
    // The label of the file system mounted at mountPoint, or empty.
    virtual QString volumeLabel(const QString& mountPoint) = 0;

    // File attributes (stands in for GetFileAttributes / SetFileAttributes). A read-only file
    // has no write bit for anyone, or lies on a read-only mount. std::nullopt: no such file.
    virtual std::optional<FileAttributes> fileAttributes(const QString& path) = 0;
    // chmod a-w; false when the change cannot be made (a read-only mount, no access).
    virtual bool setReadOnly(const QString& path) = 0;
    // Gives the owner write access back; false when the change cannot be made.
    virtual bool clearReadOnly(const QString& path) = 0;

    // Gives the file or folder at from the name to on the same file system (stands in for
    // MoveFileA). Never replaces an entry that exists at to: that is a failure like any
    // refused rename.
    virtual bool renameWithoutReplacing(const QString& from, const QString& to) = 0;

    // The room on the file system that holds path: the bytes this user may still write there,
    // and the size of the blocks that every file takes whole.
    struct Room {
        std::uint64_t available = 0;
        std::uint64_t blockSize = 4096;
    };
    // Safe to call from any thread. nullopt when the system cannot tell.
    virtual std::optional<Room> freeRoom(const QString& path) = 0;
};
