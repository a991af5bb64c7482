#include "guitestbase.h"
#include "linux/app/frmmain.h"

#include <QListWidget>
#include <QTest>

namespace {

// One category whose rows are the cases below; the stored paths are Windows-1252 bytes. A
// stored path ends at the next ";", so the shell syntax here does without one.
const QByteArray catalogue = "[Disc]\r\n"
                             "Setup;SETUP\\SETUP.EXE;-1\r\n"
                             "Setup quietly;  setup\\setup.exe /s <drive>\\data  ;-1\r\n"
                             "Read me;readme.txt;-1\r\n"
                             "Caf\xe9 menu;DOCS\\CAF\xc9.TXT;-1\r\n"
                             "Hello;TOOLS\\HELLO.SH \"a b\" $(touch x) && rm y;-1\r\n"
                             "Escape;..\\..\\..\\..\\..\\..\\bin\\sh -c \"touch x\";-1\r\n"
                             "110\r\n";
enum Row { Setup, SetupQuietly, ReadMe, Cafe, Hello, Escape };

using Answer = DialogService::Answer;

} // namespace

class TestRunInstall : public GuiTestBase {
    Q_OBJECT

private:
    void select(int row) { clickRow(control<QListWidget>("lstDesc"), row); }

private slots:
    void init() {
        GuiTestBase::init();
        // The disc as a plain ISO 9660 image shows it here: names in small letters.
        writeOnDisc("qubrix.dat", catalogue);
        writeOnDisc("setup/setup.exe", "MZ");
        writeOnDisc("readme.txt", "text");
        writeOnDisc(QString::fromUtf8("docs/CAF\u00c9.txt"), "text");
        writeOnDisc("tools/hello.sh", "#!/bin/sh\n", true);
        QVERIFY(createWindows());
        QCOMPARE(control<QListWidget>("lstDesc")->count(), 6);
    }

    void pathLeavingTheMediumIsRefusedUnasked() {
        select(Escape);
        trigger("cmdInstall");
        QCOMPARE(dialogs().boxes.size(), 1);
        const FakeDialogService::Box& box = dialogs().boxes.first();
        QVERIFY(box.text.startsWith("This path leads outside the medium and is not used:\n"));
        QCOMPARE(box.caption, QString("Error"));
        QCOMPARE(box.icon, DialogService::Icon::Error);
        QVERIFY(processes().runs.isEmpty());
        QVERIFY(desktop().openedUrls.isEmpty());
    }

    void soundPlaysOnEveryInvocationFromEachControl() {
        // With no listing selected Run is not on offer.
        control<QListWidget>("lstDesc")->setCurrentRow(-1);
        QVERIFY(!canReach("ToolInstall"));

        select(Setup);
        trigger("cmdInstall");
        trigger("ToolInstall");
        trigger("mnuInstall");
        QCOMPARE(desktop().sounds, 3);
        QCOMPARE(dialogs().boxes.size(), 3);
        QCOMPARE(dialogs().beeps, 3);
    }

    void noStartsNothing() {
        select(Setup);
        trigger("cmdInstall");
        QCOMPARE(dialogs().boxes.size(), 1);
        const FakeDialogService::Box& box = dialogs().boxes.first();
        QCOMPARE(box.text, onDisc("SETUP/SETUP.EXE"));
        QCOMPARE(box.caption, QString("Confirm installation"));
        QCOMPARE(box.icon, DialogService::Icon::Warning);
        QCOMPARE(box.buttons, DialogService::Buttons::YesNo);
        QCOMPARE(dialogs().beeps, 1);
        QVERIFY(processes().runs.isEmpty());
        QVERIFY(desktop().openedUrls.isEmpty());
    }

    void yesStartsWhatTheLineNames_data() {
        QTest::addColumn<int>("row");
        QTest::addColumn<QString>("question");
        QTest::addColumn<QString>("program");
        QTest::addColumn<QStringList>("arguments");
        // "@" stands for the disc's path, "%" for the disc's path as wine sees it.
        QTest::newRow("placeholder in arguments")
            << int(SetupQuietly) << "@/setup/setup.exe /s %\\data"
            << "wine" << QStringList{"@/setup/setup.exe", "/s", "%\\data"};
        QTest::newRow("script with shell syntax")
            << int(Hello) << "@/TOOLS/HELLO.SH \"a b\" $(touch x) && rm y"
            << "@/tools/hello.sh" << QStringList{"a b", "$(touch", "x)", "&&", "rm", "y"};
    }
    void yesStartsWhatTheLineNames() {
        QFETCH(int, row);
        QFETCH(QString, question);
        QFETCH(QString, program);
        QFETCH(QStringList, arguments);
        const QString disc = discPath();
        const QString wineDisc = "Z:" + QString(disc).replace('/', '\\');
        arguments.replaceInStrings("@", disc).replaceInStrings("%", wineDisc);
        dialogs().answers = {Answer::Yes};
        select(row);
        trigger("cmdInstall");
        QCOMPARE(dialogs().boxes.size(), 1);
        QCOMPARE(dialogs().boxes.first().text, question.replace("@", disc).replace("%", wineDisc));
        QCOMPARE(processes().runs.size(), 1);
        QCOMPARE(processes().runs.first().program, program.replace("@", disc));
        QCOMPARE(processes().runs.first().arguments, arguments);
        QCOMPARE(processes().runs.first().workingDirectory, files().directory);
        QVERIFY(desktop().openedUrls.isEmpty());
        QVERIFY(!mainWindow().logic().programRunning());
    }

    void documentsOpenThroughTheDesktop() {
        dialogs().answers = {Answer::Yes, Answer::Yes};
        select(ReadMe);
        trigger("cmdInstall");
        select(Cafe);
        trigger("cmdInstall");
        QCOMPARE(dialogs().boxes.at(1).text, onDisc(QString::fromUtf8("DOCS/CAF\u00c9.TXT")));
        QCOMPARE(
            desktop().openedUrls,
            (QList<QUrl>{QUrl::fromLocalFile(onDisc("readme.txt")),
                         QUrl::fromLocalFile(onDisc(QString::fromUtf8("docs/CAF\u00c9.txt")))}));
        QVERIFY(processes().runs.isEmpty());
    }

    void failedStartIsReported() {
        processes().whileRunning = nullptr;
        dialogs().answers = {Answer::Yes};
        select(Setup);
        trigger("cmdInstall");
        QCOMPARE(processes().runs.size(), 1);
        QCOMPARE(dialogs().boxes.size(), 2);
        const FakeDialogService::Box& box = dialogs().boxes.at(1);
        QCOMPARE(box.text, QString("Error loading file!"));
        QCOMPARE(box.caption, QString("Error"));
        QCOMPARE(box.icon, DialogService::Icon::Error);
        QCOMPARE(box.buttons, DialogService::Buttons::Ok);
        QCOMPARE(dialogs().beeps, 2);
        QVERIFY(!mainWindow().logic().programRunning());
        QVERIFY(!mainWindow().isMinimized());
    }

    void secondRunOnlyPlaysTheSoundWhileAProgramRuns() {
        mainWindow().show();
        bool checkedWhileRunning = false;
        processes().whileRunning = [&] {
            checkedWhileRunning = true;
            [&] {
                QVERIFY(mainWindow().logic().programRunning());
                QVERIFY(mainWindow().isMinimized());
                select(ReadMe);
                trigger("cmdInstall");
                QCOMPARE(desktop().sounds, 2);
                QCOMPARE(dialogs().boxes.size(), 1);
                QCOMPARE(processes().runs.size(), 1);
                QVERIFY(desktop().openedUrls.isEmpty());
            }();
            return true;
        };
        dialogs().answers = {Answer::Yes};
        select(Hello);
        trigger("cmdInstall");
        QVERIFY(checkedWhileRunning);
        if (QTest::currentTestFailed())
            return;
        QVERIFY(!mainWindow().logic().programRunning());
        QVERIFY(!mainWindow().isMinimized());

        dialogs().answers = {Answer::Yes};
        trigger("cmdInstall");
        QCOMPARE(desktop().openedUrls, QList<QUrl>{QUrl::fromLocalFile(onDisc("readme.txt"))});
    }
};

QTEST_MAIN(TestRunInstall)
#include "tst_runinstall.moc"
