#include "fakeinstallation.h"
#include "medium/autoruninf.h"
#include "medium/mediumpreparer.h"
#include "ownerrightsonly.h"
#include "platform/linuxfileservice.h"
#include "testfiles.h"

#include <QDirIterator>
#include <QElapsedTimer>
#include <QRegularExpression>
#include <QScopeGuard>
#include <QTemporaryDir>
#include <QTest>

#include <algorithm>
#include <chrono>
#include <thread>

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

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

// Makes every file below folder, and folder itself, read-only, as a copy taken off a disc is.
void sealTree(const QString& folder) {
    QDirIterator it(folder, QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot,
                    QDirIterator::Subdirectories);
    QStringList paths{folder};
    while (it.hasNext())
        paths << it.next();
    // Folders last: their entries must stay reachable until then.
    std::reverse(paths.begin(), paths.end());
    for (const QString& path : paths)
        ::chmod(QFile::encodeName(path).constData(), QFileInfo(path).isDir() ? 0555 : 0444);
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
        // An empty TMPDIR is no temporary folder: one that was not set is unset again.
        const auto restore =
            qScopeGuard([tmpdir = qgetenv("TMPDIR"), wasSet = qEnvironmentVariableIsSet("TMPDIR")] {
                if (wasSet)
                    qputenv("TMPDIR", tmpdir);
                else
                    qunsetenv("TMPDIR");
            });
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

    // What an older disc or a run that was cut short left, and a prepare running at the same
    // time: prepare ends with one whole disc and nothing beside it, or says why not.
    void earlierRunsAndOldDiscs_data() {
        QTest::addColumn<QString>("left");
        QTest::addColumn<QString>("told"); // a piece of the text of a failure, or none
        QTest::newRow("a read-only program folder copied off a disc") << "sealed old"
                                                                      << "";
        QTest::newRow("a read-only half-written new folder") << "sealed new"
                                                             << "";
        QTest::newRow("new folder moved in, autorun.sh still in it") << "swapped"
                                                                     << "";
        QTest::newRow("old folder stepped aside, new one not moved in") << "aside"
                                                                        << "";
        QTest::newRow("an old folder that cannot be removed") << "foreign"
                                                              << "the old one is left beside it";
        QTest::newRow("another prepare writing") << "locked"
                                                 << "Another prepare is writing";
    }

    void earlierRunsAndOldDiscs() {
        QFETCH(QString, left);
        QFETCH(QString, told);
        QTemporaryDir dir;
        const QString folder = dir.path() + "/disc";
        writeFile(folder + "/qubrix.dat", "[Main]\r\n111\r\n");
        writeFile(folder + "/autorun.sh", "old", true);
        const QString old = left == "aside" ? "/.qubrix-old" : "/.qubrix";
        writeFile(folder + old + "/lib/stray", "old");
        writeFile(folder + old + "/bin/qubrix", "old", true);
        if (left == "sealed old") {
            sealTree(folder + "/.qubrix");
            ::chmod(QFile::encodeName(folder + "/autorun.sh").constData(), 0444);
        } else if (left == "sealed new") {
            writeFile(folder + "/.qubrix-new/lib/half", "half");
            sealTree(folder + "/.qubrix-new");
        } else if (left == "swapped") {
            writeFile(folder + "/.qubrix/autorun.sh", "#!/bin/sh\n", true);
            writeFile(folder + "/.qubrix-new/lib/stray", "older");
        } else if (left == "foreign") {
            const QByteArray locked = QFile::encodeName(folder + "/.qubrix/lib");
            if (::chown(locked.constData(), 65534, 65534) != 0)
                QSKIP("handing a folder to another user needs root");
            ::chmod(locked.constData(), 0555);
        }
        // Another prepare holds the folder as long as this descriptor stays open.
        const int holder = ::open(QFile::encodeName(folder).constData(), O_RDONLY | O_DIRECTORY);
        QVERIFY(holder >= 0);
        const auto release = qScopeGuard([holder] { ::close(holder); });
        if (left == "locked")
            QVERIFY(::flock(holder, LOCK_EX | LOCK_NB) == 0);
        LinuxFileService files;
        PrepareReport report;
        {
            const OwnerRightsOnly asAnyUser;
            report =
                MediumPreparer(smallInstallation(dir.path() + "/installed")).prepare(folder, files);
        }
        if (!told.isEmpty()) {
            QVERIFY2(!report.ok(), qPrintable(report.text));
            QVERIFY2(report.text.contains(told), qPrintable(report.text));
            // Locked out, nothing was written; with the new disc in place, it is the old
            // folder beside it that is told about.
            QCOMPARE(readAll(folder + "/autorun.sh").startsWith("#!/bin/sh"), left == "foreign");
            QCOMPARE(QFile::exists(folder + "/.qubrix-new"), left == "foreign");
            return;
        }
        QVERIFY2(report.ok(), qPrintable(report.text));
        QCOMPARE(QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
                 (QStringList{".qubrix", "autorun.sh", "qubrix.dat"}));
        QVERIFY(readAll(folder + "/autorun.sh").startsWith("#!/bin/sh"));
        QVERIFY(!QFile::exists(folder + "/.qubrix/lib/stray"));
        QVERIFY(!QFile::exists(folder + "/.qubrix/autorun.sh"));
        QVERIFY(QFileInfo(folder + "/.qubrix/bin/qubrix").size() > 3);
    }

    // With a Windows program, the program folder carries it and autorun.inf starts it; without
    // one only the Linux files are written, which the report says. A second prepare leaves what
    // the first wrote, and only an autorun.inf that prepare wrote is ever replaced or removed.
    void windowsProgramAndAutorunInf_data() {
        QTest::addColumn<bool>("exe");
        QTest::addColumn<QString>("oldInf"); // what lies at the top before
        QTest::addColumn<QString>("inf");    // what lies there after; "prepared": ours
        const QString own = "[autorun]\r\nopen=setup.exe\r\n";
        const QString ours = QString::fromStdString(qubrix::autorunInf("disc"));
        QTest::newRow("with it") << true << ""
                                 << "prepared";
        QTest::newRow("with it, over an author's autorun.inf") << true << own << "prepared";
        QTest::newRow("without it") << false << ""
                                    << "";
        QTest::newRow("without it, an earlier prepare's goes") << false << ours << "";
        QTest::newRow("without it, an author's stays") << false << own << own;
    }

    void windowsProgramAndAutorunInf() {
        QFETCH(bool, exe);
        QFETCH(QString, oldInf);
        QFETCH(QString, inf);
        QTemporaryDir dir;
        Installation installation = smallInstallation(dir.path() + "/installed");
        installation.windowsProgram = dir.path() + "/windows/qubrix.exe";
        if (exe)
            writeFile(installation.windowsProgram, "MZ the Windows program");
        LinuxFileService files;
        MediumPreparer preparer(installation);
        QStringList states;
        for (const QString& folder : {dir.path() + "/fresh/disc", dir.path() + "/again/disc"}) {
            writeFile(folder + "/qubrix.dat", "[Main]\r\n111\r\n");
            if (!oldInf.isEmpty())
                writeFile(folder + "/autorun.inf", oldInf.toUtf8());
            const int runs = folder.contains("again") ? 2 : 1;
            for (int run = 0; run < runs; ++run) {
                const PrepareReport report = preparer.prepare(folder, files);
                QVERIFY2(report.ok(), qPrintable(report.text));
                QCOMPARE(report.text.contains("\nNo Windows program was found at " +
                                              installation.windowsProgram +
                                              ": the medium starts Qubrix on Linux only."),
                         !exe);
            }
            const QString expected =
                inf == "prepared" ? QString::fromStdString(qubrix::autorunInf("disc")) : inf;
            QCOMPARE(QFile::exists(folder + "/autorun.inf"), !expected.isEmpty());
            if (!expected.isEmpty())
                QCOMPARE(readAll(folder + "/autorun.inf"), expected.toUtf8());
            QCOMPARE(QFile::exists(folder + "/.qubrix/qubrix.exe"), exe);
            QCOMPARE(readAll(folder + "/.qubrix/share/qubrix/help/qubrix.html"), kSmallHelpPage);
            if (exe)
                QCOMPARE(readAll(folder + "/.qubrix/qubrix.exe"), "MZ the Windows program");
            states << stateOf(folder).join('\n');
        }
        QCOMPARE(states[1], states[0]);
    }
};

QTEST_GUILESS_MAIN(TestMediumPreparer)
#include "tst_mediumpreparer.moc"
