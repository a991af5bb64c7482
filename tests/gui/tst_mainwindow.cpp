#include "guitestbase.h"
#include "linux/app/frmmain.h"

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QSet>
#include <QTest>
#include <QTextEdit>
#include <QToolButton>

#include <utility>

namespace {

using Answer = DialogService::Answer;

// A double click as the user makes it, press and release first, at that height of the list, on
// whatever lies there.
void doubleClickAt(QListWidget* list, int y) {
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, QPoint(20, y));
    QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, QPoint(20, y));
}

} // namespace

class TestMainWindow : public GuiTestBase {
    Q_OBJECT

private:
    const QByteArray exampleCatalogue = exampleFile("qubrix.dat");
    const QByteArray exampleNotes = exampleFile("descript.txt");

    void writeExample() {
        writeOnDisc("qubrix.dat", exampleCatalogue);
        writeOnDisc("descript.txt", exampleNotes);
    }

private slots:
    void firstStartCreatesTheDefaultCatalogue() {
        QVERIFY(createWindows());
        QCOMPARE(readFromDisc("qubrix.dat"), QByteArray("[Main]\r\n110\r\n"));
        QCOMPARE(readFromDisc("descript.txt"), QByteArray());
        QCOMPARE(control<QListWidget>("CatBox")->count(), 1);
        QCOMPARE(control<QListWidget>("CatBox")->item(0)->text(), QString("Main"));
        QVERIFY(control<QCheckBox>("chkSave")->isChecked());
        QVERIFY(control<QCheckBox>("chkValid")->isChecked());
        QVERIFY(!control<QCheckBox>("chkRoot")->isChecked());
        QVERIFY(dialogs().boxes.isEmpty());

        trigger("mnuExit");
        QVERIFY(dialogs().boxes.isEmpty());
        QCOMPARE(processes().endStatuses, QList<int>{1});
    }

    void pathsCaptionAndDriveRoot() {
        files().mountPoint = "/media/disc";
        files().label = "MYDISC";
        QVERIFY(createWindows());
        QCOMPARE(QString::fromStdString(mainWindow().document().catalogPath()),
                 onDisc("qubrix.dat"));
        QCOMPARE(QString::fromStdString(mainWindow().document().notesPath()),
                 onDisc("descript.txt"));
        QCOMPARE(mainWindow().document().driveRoot(), std::string("/media/disc"));
        // The label starts the quick editor's path with the disc's folder, elided when it is
        // wider than the label may be; the tooltip keeps the whole folder.
        const QLabel* label = control<QLabel>("lblCWD");
        QCOMPARE(label->toolTip(), discPath() + '/');
        const QString shown =
            label->text().startsWith(QChar(0x2026)) ? label->text().mid(1) : label->text();
        QVERIFY2(shown.size() > 1 && (QFileInfo(discPath()).fileName() + '/').endsWith(shown),
                 qPrintable(label->text()));
        QCOMPARE(mainWindow().windowTitle(), QString("Qubrix 3.1  [MYDISC]"));
        QCOMPARE(control<QLineEdit>("txtDescription")->maxLength(), 53);

        files().label.clear();
        files().mountPoint = "/";
        QVERIFY(createWindows());
        QCOMPARE(mainWindow().windowTitle(), QString("Qubrix 3.1  []"));
        QCOMPARE(mainWindow().document().driveRoot(), std::string());
        QCOMPARE(control<QLabel>("lblCWD")->toolTip(), discPath() + '/');
        QVERIFY(control<QLabel>("lblCWD")->sizeHint().width() <=
                control<QLabel>("lblCWD")->width());
    }

    void windowGeometry() {
        QVERIFY(createWindows());
        TfrmMain& main = mainWindow();
        QCOMPARE(main.centralWidget()->size(), QSize(552, 433));
        QCOMPARE(control<QListWidget>("lstDesc")->parentWidget()->objectName(),
                 QString("Splitter3"));
        QVERIFY(!control<QLineEdit>("MenuEdit")->isEnabled());
        QVERIFY(!(main.windowFlags() & Qt::WindowMaximizeButtonHint));
        QCOMPARE(main.minimumSize(), main.maximumSize());

        // Whatever faces stand in for the ones asked for, no control covers another or runs
        // out of the client area, and every label's text fits it.
        const QWidget* client = main.centralWidget();
        const auto placeOf = [client](const QWidget* control) {
            return QRect(control->mapTo(client, QPoint()), control->size());
        };
        const QList<const QWidget*> controls = {
            control<QToolButton>("MOC"),    control<QLabel>("lblCWD"),
            control<QLineEdit>("MenuEdit"), control<QPushButton>("btnAddNote"),
            control<QFrame>("ToolBar3"),    control<QCheckBox>("chkRoot"),
            control<QLabel>("Image3"),      control<QLabel>("StaticText1"),
            control<QLabel>("StaticText3"), control<QFrame>("Bevel3"),
            control<QLabel>("Label6")};
        for (const QWidget* control : controls) {
            QVERIFY2(client->rect().contains(placeOf(control)), qPrintable(control->objectName()));
            for (const QWidget* other : controls)
                QVERIFY2(other == control || !placeOf(control).intersects(placeOf(other)),
                         qPrintable(control->objectName() + " covers " + other->objectName()));
        }
        for (const QLabel* label : {control<QLabel>("lblCWD"), control<QLabel>("StaticText1"),
                                    control<QLabel>("StaticText3"), control<QLabel>("Label6")})
            QVERIFY2(label->sizeHint().width() <= label->width() &&
                         label->sizeHint().height() <= label->height(),
                     qPrintable(label->objectName()));
    }

    void browsingCommandStates() {
        writeExample();
        QVERIFY(createWindows());
        // Keys go to the listings first, not to a tool button that a Space would press.
        QTRY_COMPARE(QApplication::focusWidget(), control<QListWidget>("lstDesc"));
        QCOMPARE(control<QListWidget>("CatBox")->count(), 2);
        QCOMPARE(control<QListWidget>("lstDesc")->count(), 2);
        QCOMPARE(control<QListWidget>("lstDesc")->item(0)->text(), QString("  Install the demo"));
        QVERIFY(control<QMenu>("mnuEdit")->menuAction()->isEnabled());
        QVERIFY(!control<QPushButton>("cmdInstall")->isVisible());
        QVERIFY(!control<QToolButton>("ToolInstall")->isEnabled());

        clickRow(control<QListWidget>("lstDesc"), 0);
        QCOMPARE(control<QLineEdit>("MenuEdit")->text(), QString("DEMO\\SETUP.EXE"));
        QVERIFY(control<QLineEdit>("MenuEdit")->isEnabled());
        QVERIFY(control<QPushButton>("cmdInstall")->isVisible());
        QVERIFY(control<QPushButton>("cmdCopy")->isVisible());
        QVERIFY(control<QAction>("mnuDelete")->isEnabled());
        QVERIFY(control<QAction>("mnuMModify")->isEnabled());
        QVERIFY(mainWindow().logic().editFlags().singleSelection);

        clickRow(control<QListWidget>("lstDesc"), 1, Qt::ControlModifier);
        QCOMPARE(control<QListWidget>("lstDesc")->selectedItems().size(), 2);
        QVERIFY(control<QLineEdit>("MenuEdit")->text().isEmpty());
        QVERIFY(!control<QLineEdit>("MenuEdit")->isEnabled());
        QVERIFY(control<QPushButton>("cmdCopy")->isVisible());
        QVERIFY(!control<QPushButton>("cmdInstall")->isVisible());
        QVERIFY(control<QToolButton>("ToolCopy")->isEnabled());
        QVERIFY(control<QMenu>("mnuCopy")->menuAction()->isEnabled());
        QVERIFY(!control<QToolButton>("ToolCopyFolder")->isEnabled());
        QVERIFY(!control<QAction>("Folder1")->isEnabled());
        QVERIFY(!control<QToolButton>("cmdDelete")->isEnabled());
        QVERIFY(!mainWindow().logic().editFlags().singleSelection);

        clickRow(control<QListWidget>("CatBox"), 1);
        QCOMPARE(control<QListWidget>("lstDesc")->count(), 1);
        QCOMPARE(control<QListWidget>("lstDesc")->item(0)->text(), QString("  Disk viewer"));
        QVERIFY(!control<QPushButton>("cmdCopy")->isVisible());
        QVERIFY(!control<QToolButton>("ToolCopy")->isEnabled());
    }

    void emptyCategoryOffersNoListCommands() {
        writeOnDisc("qubrix.dat", "[Empty]\r\n[Full]\r\nA;A.TXT;-1\r\n110\r\n");
        QVERIFY(createWindows());
        QTRY_COMPARE(QApplication::focusWidget(), control<QListWidget>("CatBox"));
        QCOMPARE(control<QListWidget>("lstDesc")->count(), 0);
        QVERIFY(!control<QMenu>("mnuEdit")->menuAction()->isEnabled());
        QVERIFY(!mainWindow().logic().commands().editPopupEnabled);
        clickRow(control<QListWidget>("CatBox"), 1);
        QVERIFY(control<QMenu>("mnuEdit")->menuAction()->isEnabled());
        QVERIFY(mainWindow().logic().commands().editPopupEnabled);
    }

    void notePopupPlacementAndClosing() {
        writeOnDisc("qubrix.dat", exampleCatalogue);
        writeOnDisc("descript.txt", "Short note.\r\nAnother.\r\n");
        QVERIFY(createWindows());
        const int y = control<QListWidget>("lstDesc")
                          ->visualItemRect(control<QListWidget>("lstDesc")->item(0))
                          .center()
                          .y();
        doubleClickAt(control<QListWidget>("lstDesc"), y);
        QTRY_VERIFY(control<QTextEdit>("NotePad")->isVisible());
        QVERIFY(control<QTextEdit>("Outline")->isVisible());
        QCOMPARE(control<QTextEdit>("NotePad")->toPlainText(), QString("Short note."));
        QCOMPARE(control<QTextEdit>("NotePad")->geometry(), QRect(301, y + 78, 185, 15));
        QCOMPARE(control<QTextEdit>("Outline")->geometry(), QRect(300, y + 77, 187, 17));

        QTest::mouseClick(control<QTextEdit>("NotePad")->viewport(), Qt::LeftButton);
        QVERIFY(!control<QTextEdit>("NotePad")->isVisible());
        QVERIFY(!control<QTextEdit>("Outline")->isVisible());
        QVERIFY(control<QTextEdit>("NotePad")->toPlainText().isEmpty());

        doubleClickRow(control<QListWidget>("lstDesc"), 0);
        QTRY_VERIFY(control<QTextEdit>("NotePad")->isVisible());
        clickRow(control<QListWidget>("lstDesc"), 1);
        QVERIFY(!control<QTextEdit>("NotePad")->isVisible());

        const int beepsBefore = dialogs().beeps;
        doubleClickRow(control<QListWidget>("lstDesc"), 1); // "Read me first" has no note
        QTRY_COMPARE(dialogs().beeps, beepsBefore + 1);
        QVERIFY(!control<QTextEdit>("NotePad")->isVisible());
        QVERIFY(dialogs().boxes.isEmpty());
    }

    void doubleClickOpensTheNote() {
        writeExample();
        QVERIFY(createWindows());
        doubleClickRow(control<QListWidget>("lstDesc"), 1);
        QTest::qWait(20);
        QVERIFY2(!control<QTextEdit>("NotePad")->isVisible(),
                 "a listing without a note opens nothing");
        doubleClickRow(control<QListWidget>("lstDesc"), 0);
        QTRY_VERIFY(control<QTextEdit>("NotePad")->isVisible());
        QCOMPARE(control<QTextEdit>("NotePad")->toPlainText(),
                 QString("Installs the demo program into a folder of your choice."));
    }

    void longNoteWrapsAndOpensAbove() {
        writeOnDisc("qubrix.dat", "[Main]\r\nLong;L.TXT;0\r\n110\r\n");
        writeOnDisc("descript.txt", QByteArray("word ").repeated(40) + "\r\n");
        QVERIFY(createWindows());
        // The note is the current listing's; the list starts with none current.
        clickRow(control<QListWidget>("lstDesc"), 0);
        doubleClickAt(control<QListWidget>("lstDesc"), 190);
        QTRY_VERIFY(control<QTextEdit>("NotePad")->isVisible());
        const QRect pad = control<QTextEdit>("NotePad")->geometry();
        QVERIFY2(pad.height() > 15, "a long note takes several lines");
        QCOMPARE((pad.height() - 2) % 13, 0);
        QCOMPARE(pad.bottom() + 1, 190 + 37);
        QCOMPARE(control<QTextEdit>("Outline")->geometry(),
                 QRect(300, pad.top() - 1, 187, pad.height() + 2));
    }

    void longNotesAreCutToThePopUpAndStayInsideTheClientArea() {
        // A megabyte without a blank, and many short lines.
        writeOnDisc("qubrix.dat", "[Main]\r\nHuge;H.TXT;0\r\nMany;M.TXT;1\r\n110\r\n");
        writeOnDisc("descript.txt", QByteArray(1 << 20, 'x') + "\r\n" +
                                        QByteArray("line ").repeated(2000) + "\r\n");
        QVERIFY(createWindows());
        TfrmMain& main = mainWindow();
        for (const int pressY : {5, 120, 220}) {
            for (const int row : {0, 1}) {
                clickRow(control<QListWidget>("lstDesc"), row);
                doubleClickAt(control<QListWidget>("lstDesc"), pressY);
                QTRY_VERIFY(control<QTextEdit>("NotePad")->isVisible());
                // Only what the pop-up can show is laid out, never the whole megabyte.
                const qsizetype laidOut = control<QTextEdit>("NotePad")->toPlainText().size();
                QVERIFY2(laidOut <= control<QTextEdit>("NotePad")->width() *
                                        control<QTextEdit>("NotePad")->height(),
                         qPrintable(QString("%1 characters laid out").arg(laidOut)));
                const QRect outline = control<QTextEdit>("Outline")->geometry();
                QVERIFY2(outline.top() >= 0 && outline.bottom() < main.clientHeight(),
                         qPrintable(QString("outline %1 to %2 in %3")
                                        .arg(outline.top())
                                        .arg(outline.bottom())
                                        .arg(main.clientHeight())));
                QVERIFY(control<QTextEdit>("NotePad")->geometry().height() > 13 * 10);
            }
        }
    }

    void noteBeyondTheNotesListIsReported_data() {
        QTest::addColumn<int>("note");
        QTest::newRow("far beyond") << 7;
        QTest::newRow("the number of notes") << 1;
    }

    void noteBeyondTheNotesListIsReported() {
        QFETCH(int, note);
        writeOnDisc("qubrix.dat",
                    QString("[Main]\r\nLost;L.TXT;%1\r\n110\r\n").arg(note).toLatin1());
        writeOnDisc("descript.txt", "only note\r\n");
        QVERIFY(createWindows());
        TfrmMain& main = mainWindow();
        const QByteArray before = readFromDisc("qubrix.dat");
        doubleClickRow(control<QListWidget>("lstDesc"), 0);
        QTRY_COMPARE(dialogs().boxes.size(), 1);
        QCOMPARE(dialogs().boxes[0].text, QString("List index out of bounds (%1)").arg(note));
        QCOMPARE(dialogs().boxes[0].icon, DialogService::Icon::Error);
        QVERIFY(!control<QTextEdit>("NotePad")->isVisible());
        QCOMPARE(readFromDisc("qubrix.dat"), before);
        QVERIFY(!main.document().isChanged());
    }

    void editorAndMenuHeights() {
        QVERIFY(createWindows());
        TfrmMain& main = mainWindow();
        QVERIFY(QTest::qWaitForWindowActive(&main));
        QCOMPARE(main.clientHeight(), 433);

        trigger("cmdMenu");
        QCOMPARE(main.clientHeight(), 282);
        QVERIFY(!mainWindow().logic().editorShown());
        QVERIFY(control<QToolButton>("cmdMenu")->isChecked());
        QVERIFY(!control<QToolButton>("cmdAdd")->isChecked());
        QTRY_COMPARE(main.centralWidget()->height(), 282);

        trigger("AddFiles1");
        QCOMPARE(main.clientHeight(), 434);
        QVERIFY(mainWindow().logic().editorShown());
        QVERIFY(control<QToolButton>("cmdAdd")->isChecked());
        QTRY_COMPARE(main.centralWidget()->height(), 434);
        QTRY_COMPARE(QApplication::focusWidget(), control<QLineEdit>("txtFilename"));

        trigger("btnClose");
        QCOMPARE(main.clientHeight(), 282);
    }

    void optionsStayInStepBothWays() {
        QVERIFY(createWindows());
        TfrmMain& main = mainWindow();
        trigger("chkValid");
        QVERIFY(!main.document().options().isoCheck);
        QVERIFY(!control<QAction>("Filenamecheck1")->isChecked());

        trigger("AutoSave1");
        QVERIFY(!main.document().options().autoSave);
        QVERIFY(!control<QCheckBox>("chkSave")->isChecked());

        trigger("Includeparent1");
        QVERIFY(main.document().options().includeParent);
        QVERIFY(control<QCheckBox>("chkRoot")->isChecked());
        QVERIFY(!main.document().isChanged());

        // An option changed counts as unsaved at exit; Yes writes the check boxes.
        dialogs().answers = {Answer::Yes};
        trigger("mnuExit");
        QCOMPARE(dialogs().boxes.size(), 1);
        QCOMPARE(dialogs().boxes[0].text, QString("List has changed--Save before exiting?"));
        QCOMPARE(dialogs().boxes[0].caption, QString("Confirm SAVE"));
        QCOMPARE(dialogs().boxes[0].icon, DialogService::Icon::Warning);
        QCOMPARE(dialogs().boxes[0].buttons, DialogService::Buttons::YesNo);
        QCOMPARE(dialogs().beeps, 1);
        QCOMPARE(readFromDisc("qubrix.dat"), QByteArray("[Main]\r\n1\r\n"));
        QCOMPARE(processes().endStatuses, QList<int>{1});
    }

    void optionsAreReadFromTheCatalogue_data() {
        QTest::addColumn<QByteArray>("line");
        QTest::addColumn<bool>("autoSave");
        QTest::addColumn<bool>("iso");
        QTest::addColumn<bool>("parent");
        QTest::newRow("0") << QByteArray("0") << false << false << false;
        QTest::newRow("5") << QByteArray("5") << true << false << true;
        QTest::newRow("111") << QByteArray("111") << true << true << true;
    }
    void optionsAreReadFromTheCatalogue() {
        QFETCH(QByteArray, line);
        QFETCH(bool, autoSave);
        QFETCH(bool, iso);
        QFETCH(bool, parent);
        writeOnDisc("qubrix.dat", "[Main]\r\n" + line + "\r\n");
        QVERIFY(createWindows());
        TfrmMain& main = mainWindow();
        QCOMPARE(control<QCheckBox>("chkSave")->isChecked(), autoSave);
        QCOMPARE(control<QAction>("AutoSave1")->isChecked(), autoSave);
        QCOMPARE(main.document().options().autoSave, autoSave);
        QCOMPARE(control<QCheckBox>("chkValid")->isChecked(), iso);
        QCOMPARE(control<QAction>("Filenamecheck1")->isChecked(), iso);
        QCOMPARE(control<QCheckBox>("chkRoot")->isChecked(), parent);
        QCOMPARE(main.document().options().includeParent, parent);
        // "5" reads as 101 on the boxes, which differs from the number loaded: exit asks.
        trigger("mnuExit");
        QCOMPARE(dialogs().boxes.size(), line == "5" ? 1 : 0);
    }

    void controlsOutOfViewAnswerNoKeys() {
        writeExample();
        QFile::setPermissions(onDisc("qubrix.dat"), QFile::ReadOwner | QFile::ReadGroup);
        QVERIFY(createWindows());
        TfrmMain& main = mainWindow();
        main.show();
        QVERIFY(QTest::qWaitForWindowExposed(&main));
        // Keys and Tab reach only visible controls: the band below the cut is not visible.
        for (const QWidget* control : std::initializer_list<const QWidget*>{
                 control<QLineEdit>("txtFilename"), control<QLineEdit>("txtDescription"),
                 control<QPushButton>("Browse"), control<QPushButton>("btnAddNote"),
                 control<QToolButton>("cmdOK"), control<QToolButton>("cmdCancel"),
                 control<QToolButton>("btnSave"), control<QToolButton>("btnClose"),
                 control<QCheckBox>("chkSave"), control<QCheckBox>("chkValid"),
                 control<QCheckBox>("chkRoot")})
            QVERIFY2(!control->isVisible(), qPrintable(control->objectName()));
        for (const Qt::Key key : {Qt::Key_S, Qt::Key_B, Qt::Key_N, Qt::Key_C})
            QTest::keyClick(&main, key, Qt::AltModifier);
        QVERIFY(dialogs().boxes.isEmpty());
        QCOMPARE(readFromDisc("qubrix.dat"), exampleCatalogue);
        // Back in editor mode the band is there again.
        trigger("ReadOnly");
        trigger("cmdAdd");
        QVERIFY(control<QLineEdit>("txtFilename")->isVisible());
        QVERIFY(control<QToolButton>("btnSave")->isVisible());
        main.hide();
    }

    void accessKeysOfTheMenuBarAndTheBandDoNotCollide() {
        QVERIFY(createWindows());
        TfrmMain& main = mainWindow();
        main.show();
        QVERIFY(QTest::qWaitForWindowExposed(&main));
        trigger("cmdAdd");
        const auto accessKey = [](const QString& text) {
            const qsizetype at = text.indexOf('&');
            return at >= 0 && at + 1 < text.size() ? text.at(at + 1).toUpper() : QChar();
        };
        QSet<QChar> menuKeys;
        for (const QAction* menu : main.menuBar()->actions())
            if (menu->isVisible())
                menuKeys.insert(accessKey(menu->text()));
        for (const QAbstractButton* button : main.findChildren<QAbstractButton*>()) {
            const QChar key = accessKey(button->text());
            QVERIFY2(!button->isVisible() || key.isNull() || !menuKeys.contains(key),
                     qPrintable(button->objectName() + " shares Alt+" + key));
        }
        main.hide();
    }

    void writeProtectedCatalogueOpensReadOnly() {
        writeExample();
        QFile::setPermissions(onDisc("qubrix.dat"), QFile::ReadOwner | QFile::ReadGroup);
        QVERIFY(createWindows());
        TfrmMain& main = mainWindow();
        QVERIFY(control<QAction>("ReadOnly")->isChecked());
        QVERIFY(control<QAction>("ReadOnly")->isVisible());
        QCOMPARE(main.clientHeight(), 282);
        QVERIFY(!mainWindow().logic().editorShown());
        QVERIFY(!main.document().options().autoSave);
        for (QAction* hidden :
             {control<QAction>("AddFiles1"), control<QAction>("mnuPrepareMedium"),
              control<QAction>("mnuMakeImage"), control<QAction>("mnuSave"),
              control<QMenu>("Options")->menuAction(), control<QMenu>("mnuEdit")->menuAction(),
              control<QMenu>("mnuNewCat")->menuAction(), control<QAction>("mnuDelete"),
              control<QAction>("mnuClear"), control<QAction>("N1")})
            QVERIFY2(!hidden->isVisible(), qPrintable(hidden->objectName()));
        for (QWidget* hidden : std::initializer_list<QWidget*>{
                 control<QToolButton>("cmdCat"), control<QToolButton>("cmdSave"),
                 control<QToolButton>("cmdMenu"), control<QToolButton>("cmdAdd")})
            QVERIFY2(!hidden->isVisible(), qPrintable(hidden->objectName()));
        QVERIFY(control<QToolButton>("cmdSort")->isVisible());
        QVERIFY(!mainWindow().logic().commands().editingShown);
        QTRY_COMPARE(QApplication::focusWidget(), control<QListWidget>("lstDesc"));
        // The end user may look at a path in the quick editor but not change it.
        clickRow(control<QListWidget>("lstDesc"), 0);
        QTest::mouseClick(control<QLineEdit>("MenuEdit"), Qt::LeftButton);
        QTest::keyClicks(control<QLineEdit>("MenuEdit"), "X");
        QVERIFY(!mainWindow().logic().editFlags().quickEditActive);

        trigger("mnuExit");
        QVERIFY(dialogs().boxes.isEmpty());
        QCOMPARE(readFromDisc("qubrix.dat"), exampleCatalogue);
    }

    void readOnlyMediumHidesTheReadOnlyItem() {
        writeExample();
        QFile::setPermissions(onDisc("qubrix.dat"), QFile::ReadOwner);
        files().lockedPaths = {onDisc("qubrix.dat")};
        QVERIFY(createWindows());
        TfrmMain& main = mainWindow();
        QVERIFY(!control<QAction>("ReadOnly")->isVisible());
        QVERIFY(!control<QAction>("ReadOnly")->isChecked());
        QCOMPARE(main.clientHeight(), 282);
        QVERIFY(!control<QAction>("AddFiles1")->isVisible());
    }

    void readOnlyToggleRestoresTheLoadedOptions() {
        QVERIFY(createWindows());
        TfrmMain& main = mainWindow();
        trigger("chkValid");
        QVERIFY(!main.document().options().isoCheck);

        trigger("ReadOnly");
        QVERIFY(control<QAction>("ReadOnly")->isChecked());
        QVERIFY(!(QFile::permissions(onDisc("qubrix.dat")) & QFile::WriteOwner));
        QVERIFY(!main.document().isChanged());
        QVERIFY(!control<QAction>("AddFiles1")->isVisible());

        trigger("ReadOnly");
        QVERIFY(QFile::permissions(onDisc("qubrix.dat")) & QFile::WriteOwner);
        QVERIFY(control<QCheckBox>("chkValid")->isChecked());
        QVERIFY(control<QAction>("Filenamecheck1")->isChecked());
        QVERIFY(main.document().options().isoCheck);
        QVERIFY(main.document().isChanged());
        QVERIFY(control<QAction>("N1")->isVisible());
        QVERIFY(control<QToolButton>("cmdMenu")->isChecked());
        QCOMPARE(main.clientHeight(), 282);

        // Leaving read-only mode counts as a change: exit asks; No writes nothing.
        const QByteArray before = readFromDisc("qubrix.dat");
        trigger("mnuExit");
        QCOMPARE(dialogs().boxes.size(), 1);
        QCOMPARE(readFromDisc("qubrix.dat"), before);
        QCOMPARE(processes().endStatuses, QList<int>{1});
    }

    void closeBoxBehavesLikeExit() {
        QVERIFY(createWindows());
        trigger("chkRoot");
        dialogs().answers = {Answer::No};
        mainWindow().close();
        QCOMPARE(dialogs().boxes.size(), 1);
        QCOMPARE(dialogs().boxes[0].caption, QString("Confirm SAVE"));
        QCOMPARE(readFromDisc("qubrix.dat"), QByteArray("[Main]\r\n110\r\n"));
        QCOMPARE(processes().endStatuses, QList<int>{1});
    }

    void dismissingConfirmSaveKeepsTheWindowAndWritesNothing() {
        QVERIFY(createWindows());
        trigger("chkRoot");
        dialogs().answers = {Answer::Dismissed};
        mainWindow().close();
        QCOMPARE(dialogs().boxes.size(), 1);
        QCOMPARE(readFromDisc("qubrix.dat"), QByteArray("[Main]\r\n110\r\n"));
        QVERIFY(processes().endStatuses.isEmpty());
        // Asked again, No leaves without saving.
        dialogs().answers = {Answer::No};
        trigger("mnuExit");
        QCOMPARE(dialogs().boxes.size(), 2);
        QCOMPARE(readFromDisc("qubrix.dat"), QByteArray("[Main]\r\n110\r\n"));
        QCOMPARE(processes().endStatuses, QList<int>{1});
    }

    void savingClearsTheChangeSoLeavingAsksNothing() {
        QVERIFY(createWindows());
        trigger("ReadOnly");
        trigger("ReadOnly");
        trigger("Includeparent1");
        QVERIFY(mainWindow().document().isChanged());
        trigger("cmdSave");
        QVERIFY(!mainWindow().document().isChanged());
        QCOMPARE(readFromDisc("qubrix.dat"), QByteArray("[Main]\r\n111\r\n"));
        trigger("mnuExit");
        QVERIFY(dialogs().boxes.isEmpty());
        QCOMPARE(processes().endStatuses, QList<int>{1});
    }

    void saveOverAnotherProgramsChangeAsksFirst() {
        writeExample();
        QVERIFY(createWindows());
        trigger("chkRoot");
        // Another program adds a listing and saves.
        QByteArray theirs = exampleCatalogue;
        theirs.replace("[Tools]", "Theirs;THEIRS.TXT;-1\r\n[Tools]");
        writeOnDisc("qubrix.dat", theirs);

        dialogs().answers = {Answer::No};
        trigger("cmdSave");
        QCOMPARE(dialogs().boxes.size(), 1);
        QCOMPARE(dialogs().boxes[0].text,
                 QString("qubrix.dat was changed on disk by another program since this window "
                         "loaded it.\nOn disk now: 2 categories, 4 listings, 2 notes.\n"
                         "In this window: 2 categories, 3 listings, 2 notes.\n\n"
                         "Save anyway and replace the other program's change?"));
        QCOMPARE(dialogs().boxes[0].caption, QString("Confirm SAVE"));
        QCOMPARE(dialogs().boxes[0].icon, DialogService::Icon::Warning);
        QCOMPARE(readFromDisc("qubrix.dat"), theirs);
        QCOMPARE(readFromDisc("descript.txt"), exampleNotes);

        // A third program saves while the author reads the question: Yes to the change named
        // there does not replace this one unseen.
        QByteArray third = exampleCatalogue;
        third.replace("[Tools]", "Third;THIRD.TXT;-1\r\n[Tools]");
        bool thirdSaved = false;
        dialogs().whileShown = [&] {
            if (!std::exchange(thirdSaved, true))
                writeOnDisc("qubrix.dat", third);
        };
        dialogs().answers = {Answer::Yes, Answer::No};
        trigger("cmdSave");
        dialogs().whileShown = nullptr;
        QCOMPARE(dialogs().boxes.size(), 3);
        QVERIFY(dialogs().boxes[2].text.startsWith("qubrix.dat was changed on disk"));
        QCOMPARE(readFromDisc("qubrix.dat"), third);

        dialogs().answers = {Answer::Yes};
        trigger("cmdSave");
        QCOMPARE(dialogs().boxes.size(), 4);
        QCOMPARE(readFromDisc("qubrix.dat"),
                 QByteArray(exampleCatalogue).replace("110\r\n", "111\r\n"));
    }

    void closeBoxIsRefusedWhileTheSaveFails() {
        writeExample();
        QVERIFY(createWindows());
        trigger("chkRoot");
        QFile::setPermissions(onDisc("qubrix.dat"), QFile::ReadOwner);
        dialogs().answers = {Answer::Yes, Answer::Ok};
        QVERIFY(!mainWindow().close());
        QVERIFY(mainWindow().isVisible());
        QCOMPARE(dialogs().boxes.size(), 2);
        QVERIFY(processes().endStatuses.isEmpty());

        // Once the file can be written again, the same close saves and ends the run.
        QFile::setPermissions(onDisc("qubrix.dat"), QFile::ReadOwner | QFile::WriteOwner);
        dialogs().answers = {Answer::Yes};
        mainWindow().close();
        QCOMPARE(dialogs().boxes.size(), 3);
        QVERIFY(readFromDisc("qubrix.dat").endsWith("111\r\n"));
        QCOMPARE(processes().endStatuses, QList<int>{1});
    }

    void failedSaveOnExitKeepsTheWindowAndBothFiles() {
        writeExample();
        QVERIFY(createWindows());
        trigger("chkRoot");
        // The catalogue loses its write bits behind the program's back.
        QFile::setPermissions(onDisc("qubrix.dat"), QFile::ReadOwner);
        dialogs().answers = {Answer::Yes};
        trigger("mnuExit");
        QCOMPARE(dialogs().boxes.size(), 2);
        QCOMPARE(dialogs().boxes[1].text, "Cannot create file " + onDisc("qubrix.dat"));
        QCOMPARE(dialogs().boxes[1].icon, DialogService::Icon::Error);
        QVERIFY(processes().endStatuses.isEmpty());
        QCOMPARE(readFromDisc("qubrix.dat"), exampleCatalogue);
        QCOMPARE(readFromDisc("descript.txt"), exampleNotes);
    }

    void unreadableCatalogueEndsTheStart() {
        QVERIFY(QDir(discPath()).mkdir("qubrix.dat"));
        QVERIFY(!createWindows());
        QCOMPARE(dialogs().boxes.size(), 1);
        QVERIFY(dialogs().boxes[0].text.startsWith("Cannot open file " + onDisc("qubrix.dat")));
        QVERIFY(QFileInfo(onDisc("qubrix.dat")).isDir());
    }

    void unreadableNotesAreNeverWritten() {
        writeOnDisc("qubrix.dat", exampleCatalogue);
        QVERIFY(QDir(discPath()).mkdir("descript.txt"));
        QVERIFY(createWindows());
        QVERIFY(dialogs().boxes.isEmpty());
        trigger("chkRoot");
        mainWindow().document().markChanged();
        trigger("mnuSave");
        QCOMPARE(dialogs().boxes.size(), 1);
        QCOMPARE(dialogs().boxes[0].text,
                 "Cannot open file " + onDisc("descript.txt") + ". Is a directory");
        QVERIFY(mainWindow().document().isChanged());
        QCOMPARE(readFromDisc("qubrix.dat"), exampleCatalogue);
        QVERIFY(QFileInfo(onDisc("descript.txt")).isDir());
    }

    void uncreatableCatalogueRunsReadOnly() {
        files().directory = onDisc("no-such-folder");
        QVERIFY(createWindows());
        QCOMPARE(dialogs().boxes.size(), 1);
        QCOMPARE(dialogs().boxes[0].text,
                 "Cannot create file " + onDisc("no-such-folder/descript.txt"));
        QVERIFY(!control<QAction>("ReadOnly")->isVisible());
        QVERIFY(!control<QAction>("AddFiles1")->isVisible());
        QCOMPARE(control<QListWidget>("CatBox")->count(), 1);
        trigger("mnuExit");
        QCOMPARE(dialogs().boxes.size(), 1);
    }

    void contentsOpensTheHelpPage() {
        QVERIFY(createWindows());
        trigger("Contents1");
        QCOMPARE(desktop().helpRequests, 1);
    }
};

QTEST_MAIN(TestMainWindow)
#include "tst_mainwindow.moc"
