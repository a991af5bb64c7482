#include "app/frmmain.h"
#include "fakeplatform.h"
#include "platform/linuxplatform.h"
#include "testfiles.h"

#include <QDir>
#include <QFile>
#include <QListWidget>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

namespace {

// Real program starts; everything else recorded and answered by the fake.
class StartingPlatform final : public Platform {
public:
    FakePlatform fake;
    LinuxPlatform real;

    QString currentDirectory() override { return fake.currentDirectory(); }
    QString mountPointOf(const QString& path) override { return fake.mountPointOf(path); }
    QString volumeLabel(const QString& mountPoint) override { return fake.volumeLabel(mountPoint); }
    std::optional<FileAttributes> fileAttributes(const QString& path) override {
        return fake.fileAttributes(path);
    }
    bool setReadOnly(const QString& path) override { return fake.setReadOnly(path); }
    bool clearReadOnly(const QString& path) override { return fake.clearReadOnly(path); }
    Answer messageBox(const QString& text, const QString& caption, Icon icon,
                      Buttons buttons) override {
        return fake.messageBox(text, caption, icon, buttons);
    }
    void beep() override { fake.beep(); }
    void openUrl(const QUrl& url) override { fake.openUrl(url); }
    void openHelp() override { fake.openHelp(); }
    void playSound1000() override { fake.playSound1000(); }
    bool runAndWait(const QString& program, const QStringList& arguments,
                    const QString& workingDirectory,
                    const std::function<void()>& onStarted) override {
        return real.runAndWait(program, arguments, workingDirectory, onStarted);
    }
    void endProcess(int status) override { fake.endProcess(status); }
};

// Writes its working directory and then each argument on a line of its own to args.txt in
// its working directory, then waits until the file "go" appears (at most about ten seconds).
const QByteArray argsScript =
    "#!/bin/sh\n"
    "pwd > args.txt\n"
    "for a in \"$@\"; do printf '%s\\n' \"$a\" >> args.txt; done\n"
    "i=0\n"
    "while [ ! -e go ] && [ $i -lt 200 ]; do sleep 0.05; i=$((i+1)); done\n";

} // namespace

class TestRunProcess : public QObject {
    Q_OBJECT

private:
    QTemporaryDir m_disc;
    QString onDisc(const QString& relative) const { return m_disc.path() + '/' + relative; }

private slots:
    void init() {
        QVERIFY(m_disc.isValid());
        QDir(m_disc.path()).removeRecursively();
        QDir().mkpath(m_disc.path());
        writeFile(onDisc("qubrix.dat"), "[Disc]\r\n"
                                        "Arguments;TOOLS\\ARGS.SH $(touch x) && rm y \"a|b\";-1\r\n"
                                        "Setup;SETUP\\SETUP.EXE;-1\r\n"
                                        "110\r\n");
        writeFile(onDisc("tools/args.sh"), argsScript, true);
        writeFile(onDisc("setup/setup.exe"), "MZ");
        writeFile(onDisc("y"), "keep me");
    }

    void argumentsReachTheProgramLiterally() {
        LinuxPlatform platform;
        bool started = false;
        QFile::remove(onDisc("go"));
        writeFile(onDisc("go"), "");
        QVERIFY(platform.runAndWait(onDisc("tools/args.sh"), {"$(touch x); rm y", "`id`", ""},
                                    m_disc.path(), [&] { started = true; }));
        QVERIFY(started);
        QCOMPARE(readAll(onDisc("args.txt")),
                 m_disc.path().toUtf8() + "\n$(touch x); rm y\n`id`\n\n");
        QVERIFY(!QFile::exists(onDisc("x")));
        QVERIFY(QFile::exists(onDisc("y")));
    }

    void aFailedStartCallsNothing() {
        LinuxPlatform platform;
        bool started = false;
        QVERIFY(!platform.runAndWait(onDisc("tools/none.sh"), {}, m_disc.path(),
                                     [&] { started = true; }));
        QVERIFY(!platform.runAndWait(onDisc("setup/setup.exe"), {}, m_disc.path(),
                                     [&] { started = true; }));
        QVERIFY(!started);
    }

    void windowWaitsMinimisedWhileTheProgramRuns() {
        StartingPlatform platform;
        platform.fake.directory = m_disc.path();
        platform.fake.mountPoint = m_disc.path();
        platform.fake.answers = {Platform::Answer::Yes};
        TfrmMain window(platform);
        QVERIFY(window.FormCreate());
        window.show();
        window.lstDesc->setCurrentRow(0, QItemSelectionModel::Select);
        window.lstDescClick();

        // Runs inside the wait: the script has started and waits for "go".
        bool seenRunning = false;
        QTimer::singleShot(100, [&] {
            seenRunning = window.programRunning && window.isMinimized();
            window.cmdInstallClick();
            writeFile(onDisc("go"), "");
        });
        window.cmdInstallClick();

        QVERIFY(seenRunning);
        QCOMPARE(platform.fake.sounds, 2);
        QCOMPARE(platform.fake.boxes.size(), 1);
        QVERIFY(!window.programRunning);
        QVERIFY(!window.isMinimized());
        QVERIFY(QFile::exists(onDisc("go")));
        QCOMPARE(readAll(onDisc("args.txt")),
                 m_disc.path().toUtf8() + "\n$(touch\nx)\n&&\nrm\ny\na|b\n");
        QVERIFY(!QFile::exists(onDisc("x")));
        QVERIFY(QFile::exists(onDisc("y")));
    }

    void windowsProgramWithoutWineIsAnError() {
        if (!QStandardPaths::findExecutable("wine").isEmpty())
            QSKIP("wine is installed here");
        StartingPlatform platform;
        platform.fake.directory = m_disc.path();
        platform.fake.mountPoint = m_disc.path();
        platform.fake.answers = {Platform::Answer::Yes};
        TfrmMain window(platform);
        QVERIFY(window.FormCreate());
        window.lstDesc->setCurrentRow(1, QItemSelectionModel::Select);
        window.lstDescClick();
        window.cmdInstallClick();
        QCOMPARE(platform.fake.boxes.size(), 2);
        QCOMPARE(platform.fake.boxes.at(1).text, QString("Error loading file!"));
        QCOMPARE(platform.fake.boxes.at(1).caption, QString("Error"));
        QVERIFY(!window.programRunning);
    }
};

QTEST_MAIN(TestRunProcess)
#include "tst_runprocess.moc"
