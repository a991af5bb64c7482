#pragma once

#include "platform/platform.h"

#include <QList>
#include <QMap>
#include <QString>
#include <QStringList>

#include <deque>

// Stands in for the system in window tests: records every call and answers message boxes
// from a script (Yes, then No, ...). A box asked without a scripted answer gets No or Ok.
class FakePlatform final : public Platform {
public:
    struct Box {
        QString text;
        QString caption;
        Icon icon;
        Buttons buttons;
    };
    struct Run {
        QString program;
        QStringList arguments;
        QString workingDirectory;
    };

    QString directory;
    QString mountPoint = "/";
    QString label;
    // Paths whose attribute changes fail, as on a read-only mount.
    QStringList lockedPaths;
    std::deque<Answer> answers;
    // What runAndWait does while the started program "runs"; its result decides whether the
    // start succeeds.
    std::function<bool()> whileRunning = [] { return true; };

    QList<Box> boxes;
    int beeps = 0;
    int sounds = 0;
    int helpRequests = 0;
    QList<QUrl> openedUrls;
    QList<Run> runs;
    QList<int> endStatuses;

    QString currentDirectory() override { return directory; }
    QString mountPointOf(const QString&) override { return mountPoint; }
    QString volumeLabel(const QString&) override { return label; }

    std::optional<FileAttributes> fileAttributes(const QString& path) override;
    bool setReadOnly(const QString& path) override;
    bool clearReadOnly(const QString& path) override;

    Answer messageBox(const QString& text, const QString& caption, Icon icon,
                      Buttons buttons) override {
        boxes.append({text, caption, icon, buttons});
        if (!answers.empty()) {
            const Answer answer = answers.front();
            answers.pop_front();
            return answer;
        }
        return buttons == Buttons::YesNo ? Answer::No : Answer::Ok;
    }
    void beep() override { ++beeps; }
    void openUrl(const QUrl& url) override { openedUrls.append(url); }
    void openHelp() override { ++helpRequests; }
    void playSound1000() override { ++sounds; }
    bool runAndWait(const QString& program, const QStringList& arguments,
                    const QString& workingDirectory,
                    const std::function<void()>& onStarted) override {
        runs.append({program, arguments, workingDirectory});
        if (!whileRunning)
            return false;
        onStarted();
        return whileRunning();
    }
    void endProcess(int status) override { endStatuses.append(status); }
};
