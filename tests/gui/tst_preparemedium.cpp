#include "fakeinstallation.h"
#include "guitestbase.h"
#include "linux/medium/preparemediumcommand.h"

#include <QAction>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <QWidget>
#include <QtTest>

// The command offers to save first, finds what goes onto the medium, refuses a folder without
// the room for it, asks before it writes, and reports through the dialog service; a folder it
// does not write is left as it was.
class TestPrepareMedium : public GuiTestBase {
    Q_OBJECT

private slots:
    void asksChecksAndWrites_data();
    void asksChecksAndWrites();
    void saveChangesFirst_data();
    void saveChangesFirst();

private:
    // Each box shown has the caption "Prepare Medium", the icon and a piece of the text
    // ("Icon: piece", the disc's path written as DISC) of the expected one in its place.
    void compareBoxes(const QStringList& expected);
    QStringList topOfDisc() const;
};

void TestPrepareMedium::compareBoxes(const QStringList& expected) {
    QStringList told;
    for (const FakeDialogService::Box& box : dialogs().boxes) {
        QCOMPARE(box.caption, "Prepare Medium");
        const char* icons[] = {"None", "Information", "Warning", "Error"};
        told << QString(icons[int(box.icon)]) + ": " +
                    QString(box.text).replace(discPath(), "DISC");
    }
    QCOMPARE(told.size(), expected.size());
    for (int i = 0; i < expected.size(); ++i) {
        const QString icon = expected[i].section(": ", 0, 0);
        QVERIFY2(told[i].startsWith(icon + ": ") && told[i].contains(expected[i].section(": ", 1)),
                 qPrintable(told.join('\n')));
    }
}

QStringList TestPrepareMedium::topOfDisc() const {
    return QDir(discPath()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot);
}

void TestPrepareMedium::asksChecksAndWrites_data() {
    QTest::addColumn<QString>("setup");
    QTest::addColumn<qint64>("room");       // bytes free on the disc; -1: plenty
    QTest::addColumn<bool>("yes");          // the answer to the question before writing
    QTest::addColumn<QStringList>("boxes"); // icon: a piece of the text
    QTest::addColumn<bool>("written");
    const QString question = "Information: .qubrix, which holds Qubrix with the libraries and "
                             "plugins it needs, at the top of DISC.\n\nThey need ";
    const QString ready = "Information: DISC is ready to be mastered";
    QTest::newRow("no catalogue") << "no catalogue" << -1LL << true
                                  << QStringList{"Error: DISC holds no qubrix.dat"} << false;
    QTest::newRow("no program to carry")
        << "no program" << -1LL << true << QStringList{"Error: /qubrix is not there."} << false;
    QTest::newRow("No writes nothing") << "" << -1LL << false << QStringList{question} << false;
    QTest::newRow("Yes writes") << "" << -1LL << true << QStringList{question, ready} << true;
    QTest::newRow("Windows program and autorun.inf named")
        << "windows" << -1LL << false
        << QStringList{"Information: Prepare Medium puts autorun.sh, autorun.inf and the program "
                       "folder .qubrix, which holds Qubrix with the libraries and plugins it "
                       "needs and the Windows program qubrix.exe, at the top of DISC."}
        << false;
    QTest::newRow("older ones replaced")
        << "older" << -1LL << true
        << QStringList{"Information: in place of the older autorun.sh and .qubrix there.", ready}
        << true;
    QTest::newRow("too little room refused before asking")
        << "" << 50'000LL << true
        << QStringList{"Error: Not enough room: the program folder and autorun.sh need "} << false;
    QTest::newRow("free room told") << "" << 123'400'000LL << false
                                    << QStringList{"Information: 123.4 MB are free there"} << false;
    QTest::newRow("listing and unreadable file told in the question")
        << "listing" << -1LL << false
        << QStringList{"Information: Before the disc is made:\n\nwarning: PRIVATE.TXT: cannot "
                       "be read by others here: on the disc everyone can read it.\nwarning: "
                       "[Main] Gone: GONE.TXT leads to no file on the disc\n"}
        << false;
    QTest::newRow("canceled while the libraries are looked for")
        << "hanging ldd" << -1LL << true << QStringList{"Information: Stopped: DISC is as it was."}
        << false;
}

void TestPrepareMedium::asksChecksAndWrites() {
    QFETCH(QString, setup);
    QFETCH(qint64, room);
    QFETCH(bool, yes);
    QFETCH(QStringList, boxes);
    QFETCH(bool, written);
    if (setup == "listing") {
        writeOnDisc("qubrix.dat", "[Main]\r\nGone;GONE.TXT;-1\r\n111\r\n");
        writeOnDisc("PRIVATE.TXT", "");
        QVERIFY(QFile::setPermissions(onDisc("PRIVATE.TXT"), QFile::ReadOwner | QFile::WriteOwner));
    } else if (setup != "no catalogue") {
        writeOnDisc("qubrix.dat", "[Main]\r\n111\r\n");
    }
    if (setup == "older") {
        writeOnDisc("autorun.sh", "old", true);
        writeOnDisc(".qubrix/stray", "");
    }
    if (room >= 0)
        files().room = FileService::Room{quint64(room), 4096};
    dialogs().answers.push_back(yes ? DialogService::Answer::Yes : DialogService::Answer::No);
    QTemporaryDir elsewhere;
    Installation installation = setup == "no program"
                                    ? Installation::around(elsewhere.path())
                                    : smallInstallation(elsewhere.path() + "/installed");
    if (setup == "windows") {
        installation.windowsProgram = elsewhere.path() + "/installed/windows/qubrix.exe";
        QVERIFY(QDir().mkpath(elsewhere.path() + "/installed/windows"));
        QFile program(installation.windowsProgram);
        QVERIFY(program.open(QIODevice::WriteOnly) && program.write("MZ") == 2);
    }
    std::unique_ptr<HangingTool> hanging;
    if (setup == "hanging ldd") {
        hanging = std::make_unique<HangingTool>("ldd", elsewhere.path() + "/tools");
        answerNextModal("Cancel", [](QWidget* dialog) {
            QCOMPARE(dialog->objectName(), "frmPrepareProgress");
            QCOMPARE(dialog->windowTitle(), "Preparing the Medium");
        });
    }
    const QStringList before = topOfDisc();
    const QByteArray autorunBefore = readFromDisc("autorun.sh");

    qubrix::CatalogueDocument document(QFile::encodeName(discPath() + "/").toStdString(),
                                       QFile::encodeName(discPath()).toStdString());
    QWidget window;
    QAction prepare(&window);
    PrepareMediumCommand command(
        document, services(), [] { return true; }, &prepare, &window, installation);
    QElapsedTimer clock;
    clock.start();
    prepare.trigger();

    QVERIFY2(clock.elapsed() < 20'000, "Cancel did not stop the running tool");
    compareBoxes(boxes);
    if (QTest::currentTestFailed())
        return;
    if (!written) {
        QCOMPARE(topOfDisc(), before);
        QCOMPARE(readFromDisc("autorun.sh"), autorunBefore);
        return;
    }
    QCOMPARE(topOfDisc(), (QStringList{".qubrix", "autorun.sh", "qubrix.dat"}));
    QVERIFY(readFromDisc("autorun.sh").startsWith("#!/bin/sh"));
    QVERIFY(QFileInfo(onDisc(".qubrix/bin/qubrix")).isExecutable());
    QVERIFY(!QFile::exists(onDisc(".qubrix/stray")));
}

void TestPrepareMedium::saveChangesFirst_data() {
    QTest::addColumn<bool>("changed");
    QTest::addColumn<DialogService::Answer>("answer");
    QTest::addColumn<bool>("saved");
    QTest::addColumn<bool>("wentOn");
    QTest::newRow("Yes saves first") << true << DialogService::Answer::Yes << true << true;
    QTest::newRow("No goes on unsaved") << true << DialogService::Answer::No << false << true;
    QTest::newRow("Cancel stops") << true << DialogService::Answer::Cancel << false << false;
    QTest::newRow("nothing to save") << false << DialogService::Answer::Cancel << true << true;
}

// Through the window, as the author starts it: the window's program folder holds no qubrix, so
// a command that goes on ends in that refusal.
void TestPrepareMedium::saveChangesFirst() {
    QFETCH(bool, changed);
    QFETCH(DialogService::Answer, answer);
    QFETCH(bool, saved);
    QFETCH(bool, wentOn);
    writeOnDisc("qubrix.dat", "[Main]\r\n111\r\n");
    QVERIFY(createWindows());
    // An edit that a save would write.
    if (changed)
        mainWindow().document().model().addCategory("Games");
    dialogs().answers.push_back(answer);
    trigger("mnuPrepareMedium");

    QStringList expected;
    if (changed)
        expected << "Warning: The catalogue has changes that are not saved.";
    if (wentOn)
        expected << "Error: /qubrix is not there.";
    compareBoxes(expected);
    if (QTest::currentTestFailed())
        return;
    QCOMPARE(!mainWindow().document().isChanged(), saved);
}

QTEST_MAIN(TestPrepareMedium)
#include "tst_preparemedium.moc"
