#pragma once

#include "platform/fileservice.h"

// Folders, volumes and attributes of the local file systems.
class LinuxFileService final : public FileService {
public:
    QString currentDirectory() override;
    QString mountPointOf(const QString& path) override;
    QString volumeLabel(const QString& mountPoint) override;

    std::optional<FileAttributes> fileAttributes(const QString& path) override;
    bool setReadOnly(const QString& path) override;
    bool clearReadOnly(const QString& path) override;

    bool renameWithoutReplacing(const QString& from, const QString& to) override;

    std::optional<Room> freeRoom(const QString& path) override;
};
