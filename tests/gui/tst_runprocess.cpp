#include "guitestbase.h"
#include "linux/app/frmmain.h"
#include "platform/linuxprocessservice.h"

#include <QFile>
#include <QListWidget>
#include <QStandardPaths>
#include <QTest>
#include <QTimer>

namespace {

// Writes its working directory and then each argument on a line of its own to args.txt in
// its working directory, then waits until the file "go" appears (at most about ten seconds).
const QByteArray argsScript =
    "#!/bin/sh\n"
    "pwd > args.txt\n"
    "for a in \"$@\"; do printf '%s\\n' \"$a\" >> args.txt; done\n"
    "i=0\n"
    "while [ ! -e go ] && [ $i -lt 200 ]; do sleep 0.05; i=$((i+1)); done\n";

} // namespace

// Real program starts; everything else recorded and answered by the fakes.
class TestRunProcess : public GuiTestBase {
    Q_OBJECT

private:
    LinuxProcessService m_processes;

    Services startingServices() { return {dialogs(), files(), desktop(), m_processes, copying()}; }

private slots:
    void init() {
        GuiTestBase::init();
        writeOnDisc("qubrix.dat", "[Disc]\r\n"
                                  "Arguments;TOOLS\\ARGS.SH $(touch x) && rm y \"a|b\";-1\r\n"
                                  "Setup;SETUP\\SETUP.EXE;-1\r\n"
                                  "110\r\n");
        writeOnDisc("tools/args.sh", argsScript, true);
        writeOnDisc("setup/setup.exe", "MZ");
        writeOnDisc("y", "keep me");
    }

    void windowWaitsMinimisedWhileTheProgramRuns() {
        dialogs().answers = {DialogService::Answer::Yes};
        QVERIFY(createWindows(startingServices()));
        TfrmMain& window = mainWindow();
        clickRow(control<QListWidget>("lstDesc"), 0);

        // Runs inside the wait: the script has started and waits for "go".
        bool seenRunning = false;
        QTimer::singleShot(100, [&] {
            seenRunning = mainWindow().logic().programRunning() && window.isMinimized();
            trigger("cmdInstall");
            writeOnDisc("go", "");
        });
        trigger("cmdInstall");

        QVERIFY(seenRunning);
        QCOMPARE(desktop().sounds, 2);
        QCOMPARE(dialogs().boxes.size(), 1);
        QVERIFY(!mainWindow().logic().programRunning());
        QVERIFY(!window.isMinimized());
        QVERIFY(QFile::exists(onDisc("go")));
        QCOMPARE(readFromDisc("args.txt"), discPath().toUtf8() + "\n$(touch\nx)\n&&\nrm\ny\na|b\n");
        QVERIFY(!QFile::exists(onDisc("x")));
        QVERIFY(QFile::exists(onDisc("y")));
    }

    void windowsProgramWithoutWineIsAnError() {
        if (!QStandardPaths::findExecutable("wine").isEmpty())
            QSKIP("wine is installed here");
        dialogs().answers = {DialogService::Answer::Yes};
        QVERIFY(createWindows(startingServices()));
        clickRow(control<QListWidget>("lstDesc"), 1);
        trigger("cmdInstall");
        QCOMPARE(dialogs().boxes.size(), 2);
        QCOMPARE(dialogs().boxes.at(1).text, QString("Error loading file!"));
        QCOMPARE(dialogs().boxes.at(1).caption, QString("Error"));
        QVERIFY(!mainWindow().logic().programRunning());
    }
};

QTEST_MAIN(TestRunProcess)
#include "tst_runprocess.moc"
