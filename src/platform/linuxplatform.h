#pragma once

#include "platform/platform.h"

// The real platform on a Linux desktop.
class LinuxPlatform final : public Platform {
public:
    QString currentDirectory() override;
    QString mountPointOf(const QString& path) override;      // volume.cpp
    QString volumeLabel(const QString& mountPoint) override; // volume.cpp

    std::optional<FileAttributes> fileAttributes(const QString& path) override;
    bool setReadOnly(const QString& path) override;
    bool clearReadOnly(const QString& path) override;

    Answer messageBox(const QString& text, const QString& caption, Icon icon,
                      Buttons buttons) override;
    void beep() override;
    void openUrl(const QUrl& url) override;
    void openHelp() override;

    void playSound1000() override; // sound.cpp
    bool runAndWait(const QString& program, const QStringList& arguments,
                    const QString& workingDirectory,
                    const std::function<void()>& onStarted) override; // process.cpp

    void endProcess(int status) override;
};
