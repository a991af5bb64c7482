#pragma once

#include <QString>
#include <QStringList>

#include <functional>

// Starting programs and ending our own process.
class ProcessService {
public:
    virtual ~ProcessService() = default;

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
