// The copy window while it copies one large file: the longest gap between ticks of a 10 ms
// timer in its event loop against the longest gap with the window shown and idle for as long,
// measured in the same run, and the time from a click on Cancel until the copy has stopped
// and the window returned. Argument: the file's size in MiB (2048).
// Run with QT_QPA_PLATFORM=offscreen where there is no display.

#include "platform/copyprogressdialog.h"
#include "platform/linuxdialogservice.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>

#include <algorithm>
#include <cstdio>
#include <cstdlib>

#include <fcntl.h>
#include <unistd.h>

namespace {

LinuxDialogService dialogs;

constexpr int kTickMs = 10;
constexpr int kCopyMs = 500;

// The longest gap between the ticks of a timer that runs while this object lives.
class GapMeter {
public:
    GapMeter() {
        QObject::connect(&m_ticks, &QTimer::timeout, [this] {
            if (m_sinceTick.isValid())
                m_longest = std::max(m_longest, m_sinceTick.restart());
            else
                m_sinceTick.start();
        });
        m_ticks.start(kTickMs);
    }
    qint64 longest() const { return m_longest; }

private:
    QTimer m_ticks;
    QElapsedTimer m_sinceTick;
    qint64 m_longest = 0;
};

// Written out in full: the copy skips holes, so a sparse file would take no time.
void makeLargeFile(const QString& path, off_t mebibytes) {
    const int fd = ::open(QFile::encodeName(path).constData(), O_WRONLY | O_CREAT, 0644);
    const QByteArray block(1 << 20, 'x');
    bool written = fd >= 0;
    for (off_t i = 0; written && i < mebibytes; ++i)
        written = ::write(fd, block.constData(), block.size()) == block.size();
    if (!written) {
        std::perror("the large file");
        std::exit(1);
    }
    ::close(fd);
}

qint64 idleGap() {
    CopyProgressDialog dialog(dialogs);
    GapMeter meter;
    QTimer::singleShot(kCopyMs, &dialog, &QDialog::accept);
    dialog.exec();
    return meter.longest();
}

struct CopyTimes {
    qint64 longestGap = 0;
    qint64 cancelMs = 0;
};

CopyTimes copyAndCancel(const QString& disc, const QString& destination) {
    CopyProgressDialog dialog(dialogs);
    GapMeter meter;
    QElapsedTimer sinceCancel;
    QTimer::singleShot(kCopyMs, &dialog, [&] {
        sinceCancel.start();
        dialog.btnCancel->click();
    });
    const qubrix::CopyPlan plan =
        qubrix::planCopy(QFile::encodeName(disc).toStdString(), {"BIG.BIN"}, qubrix::CopyMode::File,
                         QFile::encodeName(destination).toStdString());
    const qubrix::CopyReport report = dialog.run(plan);
    if (report.outcome != qubrix::CopyReport::Outcome::Cancelled) {
        std::fprintf(stderr, "the copy ended before the cancel: use a larger file\n");
        std::exit(1);
    }
    return {meter.longest(), sinceCancel.elapsed()};
}

} // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    const off_t mebibytes = argc > 1 ? std::strtol(argv[1], nullptr, 10) : 2048;
    QTemporaryDir root;
    makeLargeFile(root.path() + "/BIG.BIN", mebibytes);
    const qint64 idle = idleGap();
    const CopyTimes copy = copyAndCancel(root.path(), root.path() + "/copy");
    std::printf("longest gap between %d ms ticks: idle %lld ms, copying %lld ms, ratio %.2f\n",
                kTickMs, static_cast<long long>(idle), static_cast<long long>(copy.longestGap),
                double(copy.longestGap) / double(std::max<qint64>(idle, 1)));
    std::printf("cancel to stopped: %lld ms\n", static_cast<long long>(copy.cancelMs));
    return 0;
}
