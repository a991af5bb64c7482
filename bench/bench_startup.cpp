// Start-up: the time from starting a process to the first paint of its main window, for the
// real main window on the demo disc and for a bare QMainWindow in a program of its own
// (startup_bare.cpp), each started 41 times in turn: on a shared machine fewer starts leave the
// ratio of the medians wandering by a tenth from run to run.
// Reports both medians and their ratio.
#include "firstpaint.h"
#include "linux/app/appwindows.h"
#include "platform/linuxservices.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QProcess>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <iostream>
#include <vector>

namespace {

constexpr int kStarts = 41;

// The main window made as the program makes it, with the same libraries linked.
int startQubrix(int argc, char** argv) {
    QApplication application(argc, argv);
    prepareApplication();
    FirstPaint firstPaint;
    LinuxServices linuxServices;
    std::optional<AppWindows> windows = createWindows(linuxServices.services());
    if (!windows)
        return 2;
    windows->frmMain->installEventFilter(&firstPaint);
    windows->frmMain->show();
    return QApplication::exec();
}

// Milliseconds from the start of the process to its first paint; -1 when it never paints.
double timeToFirstPaint(const QString& program, const QStringList& arguments,
                        const QString& folder) {
    QProcess child;
    child.setWorkingDirectory(folder);
    QElapsedTimer timer;
    timer.start();
    child.start(program, arguments);
    while (child.waitForReadyRead(30000)) {
        if (child.readAll().contains("painted")) {
            const double elapsed = timer.nsecsElapsed() / 1e6;
            child.waitForFinished(10000);
            return elapsed;
        }
    }
    child.kill();
    child.waitForFinished();
    return -1;
}

double median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

bool copyFolder(const QString& from, const QString& to) {
    QDir().mkpath(to);
    for (const QFileInfo& entry :
         QDir(from).entryInfoList(QDir::AllEntries | QDir::NoDotAndDotDot)) {
        const QString target = to + '/' + entry.fileName();
        if (entry.isDir() ? !copyFolder(entry.filePath(), target)
                          : !QFile::copy(entry.filePath(), target))
            return false;
    }
    return true;
}

} // namespace

int main(int argc, char** argv) {
    if (argc == 2 && std::string(argv[1]) == "--child")
        return startQubrix(argc, argv);

    QCoreApplication application(argc, argv);
    QTemporaryDir work;
    const QString disc = work.path() + "/disc";
    if (!work.isValid() || !copyFolder(QUBRIX_SOURCE_DIR "/examples/demo-disc", disc)) {
        std::cerr << "cannot copy the demo disc\n";
        return 1;
    }
    const QString bareProgram = QCoreApplication::applicationDirPath() + "/bench_startup_bare";
    std::vector<double> bare;
    std::vector<double> qubrix;
    for (int start = 0; start < kStarts; ++start) {
        bare.push_back(timeToFirstPaint(bareProgram, {}, disc));
        qubrix.push_back(
            timeToFirstPaint(QCoreApplication::applicationFilePath(), {"--child"}, disc));
    }
    if (std::min(*std::min_element(bare.begin(), bare.end()),
                 *std::min_element(qubrix.begin(), qubrix.end())) < 0) {
        std::cerr << "a window never painted\n";
        return 1;
    }
    std::cout << "start to first paint, median of " << kStarts << ": bare QMainWindow "
              << median(bare) << " ms, Qubrix on the demo disc " << median(qubrix) << " ms, ratio "
              << median(qubrix) / median(bare) << '\n';
    return 0;
}
