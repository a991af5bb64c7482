#pragma once

#include <QString>
#include <QStringList>
#include <QUrl>

#include <functional>
#include <optional>

// Everything the windows need from the operating system and the desktop goes through this
// interface, so that the windows can be driven in tests by a fake that records each call.
class Platform {
public:
    enum class Icon { None, Information, Warning, Error };
    enum class Buttons { Ok, YesNo };
    enum class Answer { Ok, Yes, No };

    struct FileAttributes {
        bool readOnly = false;
    };

    virtual ~Platform() = default;

    // Folders and volumes.
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

    // Message boxes without owner window (stands in for MessageBoxA) and the default beep.
    virtual Answer messageBox(const QString& text, const QString& caption, Icon icon,
                              Buttons buttons) = 0;
    virtual void beep() = 0;

    // The desktop's "open" for a document or a web address (xdg-open).
    virtual void openUrl(const QUrl& url) = 0;
    // Opens the program's help page at its contents.
    virtual void openHelp() = 0;

    // Plays sound 1000 without waiting for it; silent where there is no audio device.
    virtual void playSound1000() = 0;

    // Starts program with its argument vector (no shell) in workingDirectory. Once it runs,
    // onStarted is called; then the call waits for the program's end while the event loop
    // keeps running. Returns false, without calling onStarted, when the start fails.
    virtual bool runAndWait(const QString& program, const QStringList& arguments,
                            const QString& workingDirectory,
                            const std::function<void()>& onStarted) = 0;

    // Ends the process with status once control returns to the event loop; no further
    // window events are handled.
    virtual void endProcess(int status) = 0;
};
