#include "fakeinstallation.h"
#include "medium/mediumpreparer.h"
#include "platform/linuxfileservice.h"
#include "testfiles.h"

#include <QDirIterator>
#include <QElapsedTimer>
#include <QRegularExpression>
#include <QScopeGuard>
#include <QTemporaryDir>
#include <QTest>

#include <chrono>
#include <thread>

#include <sys/stat.h>

namespace {

// Every entry below folder with its mode and bytes, to compare before and after.
QStringList stateOf(const QString& folder) {
    QStringList state;
    QDirIterator it(folder, QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot,
                    QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString path = it.next();
        struct stat status {};
        ::stat(QFile::encodeName(path).constData(), &status);
        state << path.mid(folder.size()) + " " + QString::number(status.st_mode, 8) + " " +
                     (it.fileInfo().isDir() ? "" : readAll(path));
    }
    state.sort();
    return state;
}

} // namespace

// Prepare in two steps, with the real ldd, patchelf and strip on a small installation: collect
// builds the program folder on this machine and leaves the staging folder alone, write puts it
// there in place of the old one; a cancel at any point, a running tool included, leaves the
// folder as it was and nothing behind on this machine.
class TestMediumPreparer : public QObject {
    Q_OBJECT

private slots:
    void stepsAndCancels_data() {
        QTest::addColumn<QString>("when"); // a tool that hangs, the step that cancels, or none
        QTest::newRow("not canceled") << "";
        QTest::newRow("while patchelf runs") << "patchelf";
        QTest::newRow("while a file is built") << "Copying bin/qubrix";
        QTest::newRow("while a file is written") << "Writing bin/qubrix";
    }

    void stepsAndCancels() {
        QFETCH(QString, when);
        // The steps run on a thread of their own as in the window, and say nothing on the way.
        QTest::failOnWarning(QRegularExpression("."));
        QTemporaryDir dir;
        const QString folder = dir.path() + "/disc";
        // The scratch folders go here, so that one left behind shows.
        const QString scratch = dir.path() + "/scratch";
        QVERIFY(QDir().mkpath(scratch));
        const auto restore =
            qScopeGuard([tmpdir = qgetenv("TMPDIR")] { qputenv("TMPDIR", tmpdir); });
        qputenv("TMPDIR", QFile::encodeName(scratch));
        writeFile(folder + "/qubrix.dat", "[Main]\r\n111\r\n");
        // What an older run left.
        writeFile(folder + "/autorun.sh", "old", true);
        writeFile(folder + "/.qubrix/stray", "");
        const QStringList before = stateOf(folder);
        std::unique_ptr<HangingTool> hanging;
        if (!when.isEmpty() && !when.contains(' '))
            hanging = std::make_unique<HangingTool>(when, dir.path() + "/tools");
        std::atomic<bool> cancel{false};
        MediumPreparer preparer(
            smallInstallation(dir.path() + "/installed"),
            [&](std::uint64_t done, std::uint64_t, const QString& step) {
                if (step == when && (done > 0 || when.startsWith("Copying")))
                    cancel = true;
            },
            &cancel);
        LinuxFileService files;
        std::variant<PreparePlan, PrepareReport> collected;
        PrepareReport report;
        QStringList afterCollect;
        QElapsedTimer clock;
        clock.start();
        {
            std::jthread worker([&] {
                collected = preparer.collect(folder);
                afterCollect = stateOf(folder);
                const auto* plan = std::get_if<PreparePlan>(&collected);
                report = plan ? preparer.write(*plan, files) : std::get<PrepareReport>(collected);
            });
            if (hanging) {
                std::this_thread::sleep_for(std::chrono::milliseconds(300));
                cancel = true;
            }
        }
        QVERIFY2(clock.elapsed() < 10'000, "the cancel waited for the tool");
        QCOMPARE(afterCollect, before);
        // Nothing of the program folder built on this machine outlives the plan.
        collected = PrepareReport{};
        QVERIFY(QDir(scratch).isEmpty());
        if (when.isEmpty()) {
            QVERIFY2(report.ok(), qPrintable(report.text));
            QVERIFY(!QFile::exists(folder + "/.qubrix/stray"));
            QVERIFY(readAll(folder + "/autorun.sh").startsWith("#!/bin/sh"));
            QVERIFY(QFileInfo(folder + "/.qubrix/bin/qubrix").isExecutable());
            return;
        }
        QCOMPARE(report.outcome, PrepareOutcome::Canceled);
        QCOMPARE(report.text, "Stopped: " + folder + " is as it was.");
        QCOMPARE(stateOf(folder), before);
    }
};

QTEST_GUILESS_MAIN(TestMediumPreparer)
#include "tst_mediumpreparer.moc"
