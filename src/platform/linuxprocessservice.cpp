#include "platform/linuxprocessservice.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QProcess>

// Waits on the process's own signals in a local event loop, so the window stays usable and no
// processor time is spent while the program runs.
bool LinuxProcessService::runAndWait(const QString& program, const QStringList& arguments,
                                     const QString& workingDirectory,
                                     const std::function<void()>& onStarted) {
    auto* process = new QProcess;
    process->setProgram(program);
    process->setArguments(arguments);
    process->setWorkingDirectory(workingDirectory);
    // The program shares our terminal, like any program the desktop starts; nothing it prints
    // piles up here.
    process->setProcessChannelMode(QProcess::ForwardedChannels);
    process->setInputChannelMode(QProcess::ForwardedInputChannel);
    QEventLoop loop;
    QObject::connect(process, &QProcess::finished, &loop, &QEventLoop::quit);
    QObject::connect(process, &QProcess::errorOccurred, &loop, [&loop, process] {
        if (process->state() == QProcess::NotRunning)
            loop.quit();
    });
    process->start();
    if (!process->waitForStarted(-1)) {
        delete process;
        return false;
    }
    onStarted();
    if (process->state() != QProcess::NotRunning)
        loop.exec();
    if (process->state() == QProcess::NotRunning) {
        delete process;
    } else {
        // The application is quitting while the program still runs: leave the program be
        // rather than kill it with its QProcess.
        process->disconnect();
    }
    return true;
}

void LinuxProcessService::endProcess(int status) {
    QCoreApplication::exit(status);
}
