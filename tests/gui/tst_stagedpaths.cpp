#include "guitestbase.h"
#include "linux/app/frmmain.h"

#include <QLineEdit>
#include <QListWidget>
#include <QTest>

// A disc staged in a folder below the top of its medium (as in a home folder): Browse stores
// a path from the disc's folder, and Run, Copy and Remove find the file by it, as well as by the
// paths of catalogues that wrote them from the top of the medium.
class TestStagedPaths : public GuiTestBase {
    Q_OBJECT

private slots:
    void runCopyAndRemoveFindTheFile_data() {
        QTest::addColumn<QString>("discFolder"); // below the top of the medium
        QTest::addColumn<QString>("storedPath");
        QTest::newRow("stored from the disc's folder") << "mydisc"
                                                       << "TOOLS\\viewer.sh";
        QTest::newRow("stored with the parent folder") << "mydisc"
                                                       << "mydisc\\TOOLS\\viewer.sh";
        QTest::newRow("stored from the top, two folders down") << "home/mydisc"
                                                               << "home\\mydisc\\TOOLS\\viewer.sh";
    }
    void runCopyAndRemoveFindTheFile() {
        QFETCH(QString, discFolder);
        QFETCH(QString, storedPath);
        const QString file = onDisc(discFolder + "/TOOLS/viewer.sh");
        writeOnDisc(discFolder + "/TOOLS/viewer.sh", "#!/bin/sh\n", true);
        writeOnDisc(discFolder + "/qubrix.dat",
                    "[Main]\r\nViewer;" + storedPath.toLatin1() + ";-1\r\n110\r\n");
        files().directory = onDisc(discFolder);
        QVERIFY(createWindows());
        clickRow(control<QListWidget>("lstDesc"), 0);

        dialogs().answers = {DialogService::Answer::Yes};
        trigger("cmdInstall");
        QCOMPARE(dialogs().boxes.last().text, file);
        QCOMPARE(processes().runs.size(), 1);
        QCOMPARE(processes().runs[0].program, file);

        dialogs().pickedFolders.push_back(onDisc("copies"));
        trigger("cmdCopy");
        QCOMPARE(copying().plans.size(), 1);
        QCOMPARE(QString::fromStdString(copying().plans[0].sources.at(0).path), file);

        trigger("mnuDelete");
        QCOMPARE(dialogs().boxes.last().text, "Delete listing for " + file);
    }

    // What the README promises an author who stages in a folder of the home folder.
    void browseStoresThePathFromTheDiscsFolder() {
        writeOnDisc("mydisc/TOOLS/viewer.sh", "#!/bin/sh\n", true);
        files().directory = onDisc("mydisc");
        QVERIFY(createWindows());
        dialogs().pickedFiles = {onDisc("mydisc/TOOLS/viewer.sh")};
        trigger("Browse");
        QCOMPARE(control<QLineEdit>("txtFilename")->text(), QString("TOOLS\\viewer.sh"));
    }
};

QTEST_MAIN(TestStagedPaths)
#include "tst_stagedpaths.moc"
