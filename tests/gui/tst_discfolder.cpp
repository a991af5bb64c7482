#include "guitestbase.h"
#include "linux/app/discfolder.h"
#include "platform/linuxfileservice.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTest>

// Started from the desktop, or in a home folder without a catalogue, the program asks for the
// disc's folder and works there; anywhere else it starts where it is.
class TestDiscFolder : public GuiTestBase {
    Q_OBJECT

private:
    QString m_startedIn;

    // current and home lie in the test's folder; home "" is no home folder known; catalogue is
    // "", "file" or "dangling link".
    static void row(const char* name, const QStringList& arguments, const QString& current,
                    const QString& home, const QString& catalogue, bool asks) {
        QTest::newRow(name) << arguments << current << home << catalogue << asks;
    }

private slots:
    void init() {
        GuiTestBase::init();
        m_startedIn = QDir::currentPath();
        QVERIFY(QDir(discPath()).mkpath("home/sub"));
        QVERIFY(QDir(discPath()).mkpath("other"));
        QVERIFY(QFile::link(onDisc("home"), onDisc("linked-home")));
        files().directory = onDisc("home");
    }

    void cleanup() {
        QDir::setCurrent(m_startedIn);
        GuiTestBase::cleanup();
    }

    void asksOnlyWhereTheStartCallsForIt_data() {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QString>("current");
        QTest::addColumn<QString>("home");
        QTest::addColumn<QString>("catalogue");
        QTest::addColumn<bool>("asks");
        const QStringList desktop{chooseFolderOption};
        row("desktop, home with catalogue", desktop, "home", "home", "file", true);
        row("desktop, disc folder", {"-x", chooseFolderOption}, "other", "home", "file", true);
        row("terminal, home", {}, "home", "home", "", true);
        row("terminal, home named with /", {}, "home", "home/", "", true);
        row("terminal, home named through a link", {}, "home", "linked-home", "", true);
        row("terminal, home entered through a link", {}, "linked-home", "home", "", true);
        row("terminal, home with catalogue", {}, "home", "home", "file", false);
        row("terminal, home with link to no catalogue", {}, "home", "home", "dangling link", false);
        row("terminal, folder in home", {}, "home/sub", "home", "", false);
        row("terminal, other folder", {}, "other", "home", "", false);
        row("terminal, home unknown", {}, "home", "", "", false);
        row("other option", {"--choose"}, "other", "home", "", false);
    }

    void asksOnlyWhereTheStartCallsForIt() {
        QFETCH(QStringList, arguments);
        QFETCH(QString, current);
        QFETCH(QString, home);
        QFETCH(QString, catalogue);
        QFETCH(bool, asks);
        if (catalogue == "file")
            writeOnDisc(current + "/qubrix.dat", "[Main]\r\n110\r\n");
        else if (catalogue == "dangling link")
            QVERIFY(QFile::link(onDisc("gone.dat"), onDisc(current + "/qubrix.dat")));
        QCOMPARE(asksForDiscFolder(arguments, onDisc(current), home.isEmpty() ? "" : onDisc(home)),
                 asks);
    }

    void cancellingMakesNothing() {
        QVERIFY(!settleDiscFolder(services(), {chooseFolderOption}, onDisc("home")));
        QCOMPARE(dialogs().folderPickerTitles, QStringList{"Qubrix: choose the disc's folder"});
        QVERIFY(dialogs().boxes.isEmpty());
        QCOMPARE(QDir::currentPath(), m_startedIn);
        QCOMPARE(QDir(onDisc("home")).entryList(QDir::AllEntries | QDir::NoDotAndDotDot),
                 QStringList{"sub"});
    }

    // A folder that cannot be made or entered is reported and asked for again; the folder
    // finally chosen is made, entered, and gets the new catalogue, and the home folder none.
    void refusedFoldersAreAskedAgain() {
        writeOnDisc("home/notes.txt", "a file");
        const QString file = onDisc("home/notes.txt");
        const QString chosen = onDisc("home/My Disc/top");
        dialogs().pickedFolders = {file, file + "/disc", chosen};
        QVERIFY(settleDiscFolder(services(), {}, onDisc("home")));
        QCOMPARE(dialogs().folderPickerTitles.size(), 3);
        QCOMPARE(dialogs().beeps, 2);
        QCOMPARE(dialogs().boxes.size(), 2);
        QCOMPARE(dialogs().boxes[0].text, file + " is a file, not a folder.");
        QVERIFY2(dialogs().boxes[1].text.startsWith("Cannot make the folder " + file + "/disc: "),
                 qPrintable(dialogs().boxes[1].text));
        for (const FakeDialogService::Box& box : dialogs().boxes)
            QVERIFY(box.caption == "Qubrix" && box.icon == DialogService::Icon::Error);
        QCOMPARE(QDir::currentPath(), QFileInfo(chosen).canonicalFilePath());

        // The windows find the folder as the program does, through the current directory.
        LinuxFileService realFiles;
        QVERIFY(createWindows({dialogs(), realFiles, desktop(), processes(), copying()}));
        QCOMPARE(readFromDisc("home/My Disc/top/qubrix.dat"), QByteArray("[Main]\r\n110\r\n"));
        QVERIFY(!QFileInfo::exists(onDisc("home/qubrix.dat")));
        QCOMPARE(dialogs().boxes.size(), 2);
    }
};

QTEST_MAIN(TestDiscFolder)
#include "tst_discfolder.moc"
