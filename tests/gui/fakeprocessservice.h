#pragma once

#include "platform/processservice.h"

#include <QList>

// Records every program start and process end. A started program "runs" for as long as
// whileRunning does; its result decides whether the start succeeds, and without whileRunning
// the start fails.
class FakeProcessService final : public ProcessService {
public:
    struct Run {
        QString program;
        QStringList arguments;
        QString workingDirectory;
    };

    std::function<bool()> whileRunning = [] { return true; };
    QList<Run> runs;
    QList<int> endStatuses;

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
