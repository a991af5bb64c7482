// Processor time Qubrix spends while a started program runs for three seconds, as a share of
// the wall time: the wait on the process's signals against a loop that polls the process state
// and pumps events without pause, measured in the same run.

#include "platform/linuxprocessservice.h"

#include <QCoreApplication>
#include <QProcess>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <functional>

namespace {

const QString sleeper = "sleep";
const QStringList threeSeconds = {"3"};

double seconds(clockid_t clock) {
    timespec now{};
    clock_gettime(clock, &now);
    return double(now.tv_sec) + double(now.tv_nsec) / 1e9;
}

struct Share {
    double cpu = 0;
    double wall = 0;
    double percent() const { return 100.0 * cpu / wall; }
};

Share measure(const std::function<bool()>& wait) {
    const double cpu = seconds(CLOCK_PROCESS_CPUTIME_ID);
    const double wall = seconds(CLOCK_MONOTONIC);
    if (!wait()) {
        std::fprintf(stderr, "could not start %s\n", qPrintable(sleeper));
        std::exit(1);
    }
    return {seconds(CLOCK_PROCESS_CPUTIME_ID) - cpu, seconds(CLOCK_MONOTONIC) - wall};
}

bool waitOnSignals() {
    LinuxProcessService processes;
    return processes.runAndWait(sleeper, threeSeconds, QString(), [] {});
}

// The wait of a design that reads the process state in a loop and lets pending events be
// handled in between, without ever blocking.
bool waitByPolling() {
    QProcess process;
    process.start(sleeper, threeSeconds);
    if (!process.waitForStarted())
        return false;
    while (process.state() != QProcess::NotRunning)
        QCoreApplication::processEvents();
    return true;
}

void report(const char* name, const Share& share) {
    std::printf("%-26s cpu %7.3f s  wall %6.3f s  share %7.3f %%\n", name, share.cpu, share.wall,
                share.percent());
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication application(argc, argv);
    const Share onSignals = measure(waitOnSignals);
    const Share polling = measure(waitByPolling);
    report("runAndWait (signals)", onSignals);
    report("baseline (busy polling)", polling);
    std::printf("goal: at most 1 %% of the wall time; %s\n",
                onSignals.percent() <= 1.0 ? "met" : "NOT met");
    std::printf("processor time, polling / signals: %.0f x\n",
                polling.cpu / std::max(onSignals.cpu, 1e-6));
    return 0;
}
