#include "guitestbase.h"
#include "linux/app/frmmain.h"
#include "linux/editing/frmaddcat.h"

#include <QFile>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTest>
#include <QToolButton>

namespace {

const QByteArray threeCategories = "[Main]\r\n"
                                   "zeta;Z.EXE;-1\r\n"
                                   "Alpha;A.EXE;0\r\n"
                                   "[Tools]\r\n"
                                   "Viewer;VIEW.EXE;1\r\n"
                                   "[Empty]\r\n"
                                   "110\r\n";

TfrmAddCat& nameDialog(QWidget* modal) {
    auto* dialog = qobject_cast<TfrmAddCat*>(modal);
    if (!dialog)
        qFatal("the modal dialog is not the name dialog");
    return *dialog;
}

} // namespace

class TestCategories : public GuiTestBase {
    Q_OBJECT

private:
    void start(const QByteArray& catalogue = threeCategories) {
        writeOnDisc("qubrix.dat", catalogue);
        writeOnDisc("descript.txt", "first\r\nsecond\r\n");
        QVERIFY(createWindows());
        QVERIFY(!mainWindow().document().isChanged());
    }
    QStringList savedLines() const {
        return QString::fromUtf8(readFromDisc("qubrix.dat")).split("\r\n", Qt::SkipEmptyParts);
    }

private slots:
    void nameDialogLayoutAndOkEnabling() {
        start();
        TfrmAddCat& dialog = *windows().frmAddCat;
        QCOMPARE(dialog.size(), QSize(210, 90));
        QVERIFY(dialog.windowFlags() & Qt::WindowStaysOnTopHint);
        QCOMPARE(dialog.Edit1->maxLength(), 30);
        QCOMPARE(dialog.cmdOK->text(), QString("&OK"));
        QCOMPARE(dialog.cmdOK->toolTip(), QString("Accept entry"));
        QCOMPARE(dialog.cmdCancel->text(), QString("Cancel"));
        QCOMPARE(dialog.cmdCancel->toolTip(), QString("Abort & reject entry"));

        answerNextModal("Cancel", [](QWidget* modal) {
            TfrmAddCat& shown = nameDialog(modal);
            QCOMPARE(shown.windowTitle(), QString("Add Category"));
            QVERIFY(!shown.cmdOK->isEnabled());
            QTest::keyClick(shown.Edit1, Qt::Key_Space);
            QVERIFY(shown.cmdOK->isEnabled());
            QTest::keyClick(shown.Edit1, Qt::Key_Backspace);
            QVERIFY(!shown.cmdOK->isEnabled());
        });
        trigger("cmdCat");

        // A rename opens with the name in place, so OK is enabled at once.
        answerNextModal("Cancel", [](QWidget* modal) {
            TfrmAddCat& shown = nameDialog(modal);
            QCOMPARE(shown.windowTitle(), QString("Rename Category"));
            QCOMPARE(shown.Edit1->text(), QString("Main"));
            QVERIFY(shown.cmdOK->isEnabled());
            shown.Edit1->clear();
            QVERIFY(!shown.cmdOK->isEnabled());
        });
        trigger("Rename1");
        QCOMPARE(rowsOf(control<QListWidget>("CatBox")), (QStringList{"Main", "Tools", "Empty"}));
        QVERIFY(!mainWindow().document().isChanged());
    }

    void newCategoryComesLastAndIsShown() {
        start();
        TfrmMain& window = mainWindow();
        clickRow(control<QListWidget>("CatBox"), 1);
        answerNextModal("OK", [](QWidget* modal) {
            TfrmAddCat& shown = nameDialog(modal);
            QVERIFY(shown.Edit1->text().isEmpty());
            QTest::keyClicks(shown.Edit1, "Games]old");
        });
        trigger("New2");
        QCOMPARE(rowsOf(control<QListWidget>("CatBox")),
                 (QStringList{"Main", "Tools", "Empty", "Games"}));
        QCOMPARE(control<QListWidget>("CatBox")->currentRow(), 3);
        QCOMPARE(control<QListWidget>("lstDesc")->count(), 0);
        QVERIFY(window.document().isChanged());
        QCOMPARE(window.document().model().lstAll().back(), std::string("[Games]old]"));

        // Cancelled: nothing changes and the shown category stays.
        clickRow(control<QListWidget>("CatBox"), 1);
        answerNextModal("Cancel", [](QWidget* modal) {
            TfrmAddCat& shown = nameDialog(modal);
            QVERIFY(shown.Edit1->text().isEmpty());
            QTest::keyClicks(shown.Edit1, "Dropped");
        });
        trigger("New1");
        QCOMPARE(control<QListWidget>("CatBox")->count(), 4);
        QCOMPARE(control<QListWidget>("CatBox")->currentRow(), 1);
        QCOMPARE(rowsOf(control<QListWidget>("lstDesc")), QStringList{"  Viewer"});
    }

    void renameKeepsPlaceAndListings() {
        start();
        TfrmMain& window = mainWindow();
        clickRow(control<QListWidget>("CatBox"), 1);
        answerNextModal("OK", [](QWidget* modal) {
            TfrmAddCat& shown = nameDialog(modal);
            shown.Edit1->selectAll();
            QTest::keyClicks(shown.Edit1, "Utilities");
        });
        trigger("Rename2");
        QCOMPARE(rowsOf(control<QListWidget>("CatBox")),
                 (QStringList{"Main", "Utilities", "Empty"}));
        QCOMPARE(control<QListWidget>("CatBox")->currentRow(), 1);
        QCOMPARE(rowsOf(control<QListWidget>("lstDesc")), QStringList{"  Viewer"});
        QVERIFY(window.document().isChanged());
        trigger("cmdSave");
        QCOMPARE(savedLines(), (QStringList{"[Main]", "zeta;Z.EXE;-1", "Alpha;A.EXE;0",
                                            "[Utilities]", "Viewer;VIEW.EXE;1", "[Empty]", "110"}));
    }

    void sortThenExitAsksToSave() {
        start();
        TfrmMain& window = mainWindow();
        clickRow(control<QListWidget>("lstDesc"), 0);
        trigger("cmdSort");
        QCOMPARE(rowsOf(control<QListWidget>("lstDesc")), (QStringList{"  Alpha", "  zeta"}));
        QVERIFY(control<QListWidget>("lstDesc")->selectedItems().isEmpty());
        QVERIFY(!control<QPushButton>("cmdInstall")->isVisible());
        QCOMPARE(window.document().model().noteIndex(), (std::vector<int>{0, -1}));
        QCOMPARE(readFromDisc("qubrix.dat"), threeCategories);

        dialogs().answers = {DialogService::Answer::Yes};
        trigger("mnuExit");
        QCOMPARE(dialogs().boxes.size(), 1);
        QCOMPARE(dialogs().boxes[0].caption, QString("Confirm SAVE"));
        QCOMPARE(savedLines().mid(0, 3), (QStringList{"[Main]", "Alpha;A.EXE;0", "zeta;Z.EXE;-1"}));
        QCOMPARE(processes().endStatuses, QList<int>{1});
    }

    void nothingChangesTheCatalogueWhileAQuickEditHoldsTheLists() {
        start();
        TfrmMain& window = mainWindow();
        const auto expectReachable = [this](bool reachable) {
            for (const char* command : {"cmdSort", "cmdCat", "New1", "Rename2", "Delete3",
                                        "cmdDelete", "mnuMDelete", "mnuMClear", "ReadOnly"})
                QVERIFY2(canReach(command) == reachable, command);
        };
        clickRow(control<QListWidget>("lstDesc"), 0);
        expectReachable(true);
        QTest::mouseClick(control<QLineEdit>("MenuEdit"), Qt::LeftButton);
        QTest::keyClick(control<QLineEdit>("MenuEdit"), Qt::Key_A, Qt::ControlModifier);
        QTest::keyClick(control<QLineEdit>("MenuEdit"), Qt::Key_Backspace);
        expectReachable(false);

        // A refused OK keeps the lists held: no other listing can take the edit.
        QTest::keyClick(control<QLineEdit>("MenuEdit"), Qt::Key_Return);
        QCOMPARE(dialogs().boxes.size(), 1);
        QVERIFY(!control<QListWidget>("lstDesc")->isEnabled());

        // A new name that passes the name check (ISO 9660 is on), so Enter stores it at once.
        QTest::keyClicks(control<QLineEdit>("MenuEdit"), "Z.EX2");
        QTest::keyClick(control<QLineEdit>("MenuEdit"), Qt::Key_Return);
        expectReachable(true);
        QCOMPARE(window.document().model().lstAll()[1], std::string("zeta;Z.EX2;-1"));
    }

    void sortOfAnOrderedCategoryIsNoChange() {
        start();
        clickRow(control<QListWidget>("CatBox"), 1);
        trigger("cmdSort");
        trigger("mnuExit");
        QVERIFY(dialogs().boxes.isEmpty());
        QCOMPARE(processes().endStatuses, QList<int>{1});
    }

    void theLastCategoryIsNotDeleted() {
        start("[Main]\r\nAlpha;A.EXE;0\r\n110\r\n");
        trigger("Delete2");
        QCOMPARE(dialogs().boxes.size(), 1);
        const FakeDialogService::Box& box = dialogs().boxes[0];
        QCOMPARE(box.text, QString("Cannot Delete Main Category!"));
        QCOMPARE(box.caption, QString("Delete Category"));
        QCOMPARE(box.icon, DialogService::Icon::Error);
        QCOMPARE(box.buttons, DialogService::Buttons::Ok);
        QCOMPARE(dialogs().beeps, 1);
        QCOMPARE(rowsOf(control<QListWidget>("CatBox")), QStringList{"Main"});
        QCOMPARE(rowsOf(control<QListWidget>("lstDesc")), QStringList{"  Alpha"});
        QVERIFY(!mainWindow().document().isChanged());
    }

    void deleteClearsThenRemovesTheCategory() {
        start();
        TfrmMain& window = mainWindow();
        dialogs().answers = {DialogService::Answer::No};
        trigger("Delete3");
        QCOMPARE(dialogs().boxes.size(), 1);
        QCOMPARE(dialogs().boxes[0].caption, QString("Confirm CLEAR command"));
        QCOMPARE(rowsOf(control<QListWidget>("CatBox")), (QStringList{"Main", "Tools", "Empty"}));
        QCOMPARE(control<QListWidget>("lstDesc")->count(), 2);
        QVERIFY(!window.document().isChanged());

        // The first category goes; the next one is shown as the first. With Auto-Save the
        // clear has saved the emptied category, the header goes with the next save.
        dialogs().answers = {DialogService::Answer::Yes};
        trigger("Delete2");
        QCOMPARE(rowsOf(control<QListWidget>("CatBox")), (QStringList{"Tools", "Empty"}));
        QCOMPARE(control<QListWidget>("CatBox")->currentRow(), 0);
        QCOMPARE(rowsOf(control<QListWidget>("lstDesc")), QStringList{"  Viewer"});
        QVERIFY(window.document().isChanged());
        QCOMPARE(savedLines(),
                 (QStringList{"[Main]", "[Tools]", "Viewer;VIEW.EXE;1", "[Empty]", "110"}));
        trigger("cmdSave");
        QCOMPARE(savedLines(), (QStringList{"[Tools]", "Viewer;VIEW.EXE;1", "[Empty]", "110"}));
        QCOMPARE(readFromDisc("descript.txt"), QByteArray("first\r\nsecond\r\n"));
    }

    // On a pressed disc the end user may still sort; leaving does not offer a save that
    // cannot succeed.
    void sortOnAPressedDiscIsForThisRunOnly() {
        writeOnDisc("qubrix.dat", threeCategories);
        QFile::setPermissions(onDisc("qubrix.dat"), QFile::ReadOwner);
        files().lockedPaths = {onDisc("qubrix.dat")};
        QVERIFY(createWindows());
        trigger("cmdSort");
        QCOMPARE(rowsOf(control<QListWidget>("lstDesc")), (QStringList{"  Alpha", "  zeta"}));
        trigger("mnuExit");
        QVERIFY(dialogs().boxes.isEmpty());
        QCOMPARE(readFromDisc("qubrix.dat"), threeCategories);
    }
};

QTEST_MAIN(TestCategories)
#include "tst_categories.moc"
