#include "guitestbase.h"
#include "linux/app/frmmain.h"
#include "linux/editing/frmnote.h"

#include <QFileInfo>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QTest>
#include <QTextEdit>
#include <QToolButton>

namespace {

const QByteArray catalogue = "[Main]\r\n"
                             "Install the demo;DEMO\\SETUP.EXE;0\r\n"
                             "Read me first;README.TXT;-1\r\n"
                             "[Tools]\r\n"
                             " Disk viewer ;TOOLS\\VIEW.EXE;1\r\n"
                             "[Empty]\r\n"
                             "110\r\n";
const QByteArray notes = "demo note\r\nviewer note\r\n";

TfrmNote& noteDialog(QWidget* modal) {
    auto* dialog = qobject_cast<TfrmNote*>(modal);
    if (!dialog)
        qFatal("the modal dialog is not the notes dialog");
    return *dialog;
}

void typeNote(QWidget* modal, const QStringList& lines) {
    TfrmNote& dialog = noteDialog(modal);
    for (int i = 0; i < lines.size(); ++i) {
        if (i > 0)
            QTest::keyClick(dialog.EditNote, Qt::Key_Return);
        QTest::keyClicks(dialog.EditNote, lines[i]);
    }
}

const QString accept = "OK - Accept entry";
const QString abandon = "Cancel - Abort & reject entry";

} // namespace

class TestListingEditor : public GuiTestBase {
    Q_OBJECT

private:
    TfrmMain* window = nullptr;

    void start() {
        writeOnDisc("qubrix.dat", catalogue);
        writeOnDisc("descript.txt", notes);
        QVERIFY(createWindows());
        window = &mainWindow();
    }
    QStringList saved(const char* file) const {
        return QString::fromUtf8(readFromDisc(file)).split("\r\n", Qt::SkipEmptyParts);
    }
    // The shown rows are the model's, and the model's rows are their lines of the catalogue.
    void expectListsInStep() {
        const qubrix::Catalogue& model = window->document().model();
        QCOMPARE(control<QListWidget>("lstDesc")->count(), int(model.lstFiles().size()));
        for (int i = 0; i < control<QListWidget>("lstDesc")->count(); ++i) {
            QCOMPARE(control<QListWidget>("lstDesc")->item(i)->text().toStdString(),
                     model.GetListingDescription(std::size_t(i)));
            QCOMPARE(model.lstFiles()[std::size_t(i)], model.lstAll()[model.lineIndexOfRow(i)]);
        }
        QCOMPARE(control<QListWidget>("CatBox")->count(), int(model.categoryStart().size()));
    }
    void type(QLineEdit* edit, const QString& text) {
        edit->selectAll();
        QTest::keyClicks(edit, text);
    }

private slots:
    void browseThenCorrectedPathAndBlankDescriptionByKeyboard() {
        writeOnDisc("TOOLS/ZIP.EXE", "MZ");
        start();
        dialogs().pickedFiles = {onDisc("TOOLS/ZIP.EXE")};
        trigger("Browse");
        QCOMPARE(dialogs().pickers.size(), 1);
        QCOMPARE(dialogs().pickers[0].folder, discPath());
        QCOMPARE(dialogs().pickers[0].filters[0].caption, QString("All files (*.*)"));
        QCOMPARE(dialogs().pickers[0].filters[1].caption,
                 QString("Programs (*.com, *.exe, *.bat, *.sh)"));
        // The disc is the top of its medium: the first folder stays in the path.
        QCOMPARE(control<QLineEdit>("txtFilename")->text(), QString("TOOLS\\ZIP.EXE"));
        QCOMPARE(mainWindow().logic().picked().topFolder, std::string("TOOLS"));
        QVERIFY(window->document().isChanged());

        // The author corrects the name the picker gave; Enter moves on to the description.
        type(control<QLineEdit>("txtFilename"), "TOOLS\\UNZIP.EXE");
        QTest::keyClick(control<QLineEdit>("txtFilename"), Qt::Key_Return);
        QCOMPARE(window->focusWidget(), control<QLineEdit>("txtDescription"));
        QTest::keyClicks(control<QLineEdit>("txtDescription"), "  ");
        QTest::keyClick(control<QLineEdit>("txtDescription"), Qt::Key_Return);

        QCOMPARE(saved("qubrix.dat"),
                 (QStringList{"[Main]", "Install the demo;DEMO\\SETUP.EXE;0",
                              "Read me first;README.TXT;-1", "  ;TOOLS\\UNZIP.EXE;-1", "[Tools]",
                              " Disk viewer ;TOOLS\\VIEW.EXE;1", "[Empty]", "110"}));
        QCOMPARE(rowsOf(control<QListWidget>("lstDesc")).last(), QString("    "));
        QCOMPARE(mainWindow().logic().picked().pickedName, std::string("UNZIP.EXE"));
        expectListsInStep();
        QVERIFY(control<QLineEdit>("txtFilename")->text().isEmpty());
        QVERIFY(control<QLineEdit>("txtDescription")->text().isEmpty());
        // Saved, but emptying the file name counts as a change again.
        QVERIFY(window->document().isChanged());
    }

    void refusedEntriesKeepTheirText_data() {
        QTest::addColumn<QString>("fileName");
        QTest::addColumn<QString>("description");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("caption");
        QTest::addColumn<QByteArray>("file");
        QTest::newRow("no file name") << ""
                                      << "x"
                                      << "Please enter file name!"
                                      << "File name" << catalogue;
        QTest::newRow("no description") << "A.EXE"
                                        << ""
                                        << "A file description is required!"
                                        << "Description" << catalogue;
        QTest::newRow("; in description") << "A.EXE"
                                          << "a;b"
                                          << "The description cannot contain the character \";\"."
                                          << "Description" << catalogue;
        QTest::newRow("[ first") << "A.EXE"
                                 << "[New]"
                                 << "The description cannot begin with the character \"[\"."
                                 << "Description" << catalogue;
        QTest::newRow("; in file name") << "A.EXE;1"
                                        << "a"
                                        << "The file name cannot contain the character \";\"."
                                        << "File name" << catalogue;
        QTest::newRow("out of the medium") << "DOCS\\..\\..\\ETC.TXT"
                                           << "a"
                                           << "The file name leads outside the medium."
                                           << "File name" << catalogue;
        // A catalogue written by hand without a header shows no category to add to.
        QTest::newRow("no category") << "A.EXE"
                                     << "a"
                                     << "Choose a category for the new listing first. If there "
                                        "is none, make one with New Category."
                                     << "Category" << QByteArray("Loose;L.TXT;-1\r\n110\r\n");
    }
    void refusedEntriesKeepTheirText() {
        QFETCH(QString, fileName);
        QFETCH(QString, description);
        QFETCH(QByteArray, file);
        writeOnDisc("qubrix.dat", file);
        QVERIFY(createWindows());
        window = &mainWindow();
        control<QLineEdit>("txtFilename")->setText(fileName);
        control<QLineEdit>("txtDescription")->setText(description);
        trigger("cmdOK");
        QCOMPARE(dialogs().boxes.size(), 1);
        QTEST(dialogs().boxes[0].text, "text");
        QTEST(dialogs().boxes[0].caption, "caption");
        QCOMPARE(dialogs().boxes[0].icon, DialogService::Icon::Error);
        QCOMPARE(dialogs().beeps, 1);
        QCOMPARE(control<QLineEdit>("txtFilename")->text(), fileName);
        QCOMPARE(control<QLineEdit>("txtDescription")->text(), description);
        QCOMPARE(readFromDisc("qubrix.dat"), file);
        QCOMPARE(window->document().model().lstAll().size(), std::size_t(file.count("\r\n") - 1));
    }

    void fileOutsideTheDiscsFolderIsRefused_data() {
        QTest::addColumn<QString>("picked");
        QTest::addColumn<bool>("discBelowTheTop");
        QTest::newRow("another medium") << QString("/etc/hostname") << false;
        QTest::newRow("beside the disc's folder") << QString("BESIDE.TXT") << true;
    }
    void fileOutsideTheDiscsFolderIsRefused() {
        QFETCH(QString, picked);
        QFETCH(bool, discBelowTheTop);
        // The disc's folder lies below the top of its medium; the file lies beside it.
        if (discBelowTheTop) {
            const QString top = QFileInfo(discPath()).absolutePath();
            files().mountPoint = top;
            picked = top + '/' + picked;
        }
        start();
        control<QLineEdit>("txtFilename")->setText("KEEP.TXT");
        files().otherMounts = {"/etc"};
        dialogs().pickedFiles = {picked};
        // A double click in the file-name edit browses too.
        QTest::mouseDClick(control<QLineEdit>("txtFilename"), Qt::LeftButton);
        QTRY_COMPARE(dialogs().pickers.size(), 1);
        QCOMPARE(dialogs().boxes.size(), 1);
        QCOMPARE(dialogs().boxes[0].caption, QString("File name"));
        QVERIFY(dialogs().boxes[0].text.startsWith(picked + "\nlies outside the disc's folder\n" +
                                                   discPath() + '/'));
        QCOMPARE(control<QLineEdit>("txtFilename")->text(), QString("KEEP.TXT"));
        QVERIFY(mainWindow().logic().picked().pickedPath.empty());
    }

    void modifyInMenuModeThenAnotherListing() {
        start();
        trigger("cmdMenu");
        QCOMPARE(window->clientHeight(), ClientArea::menuHeight);
        clickRow(control<QListWidget>("lstDesc"), 0);
        trigger("mnuModify");
        QCOMPARE(window->clientHeight(), ClientArea::editorHeight);
        QCOMPARE(control<QLineEdit>("txtFilename")->text(), QString("DEMO\\SETUP.EXE"));
        QCOMPARE(control<QLineEdit>("txtDescription")->text(), QString("Install the demo"));
        // Only a quick edit locks the lists: OK replaces the listing current at that moment.
        clickRow(control<QListWidget>("lstDesc"), 1);
        type(control<QLineEdit>("txtDescription"), "Read me now");
        trigger("cmdOK");
        QCOMPARE(saved("qubrix.dat").mid(1, 2), (QStringList{"Install the demo;DEMO\\SETUP.EXE;0",
                                                             "Read me now;DEMO\\SETUP.EXE;-1"}));
        QCOMPARE(window->clientHeight(), ClientArea::menuHeight);
        QVERIFY(!mainWindow().logic().editFlags().modifyMode);
        expectListsInStep();
    }

    void okInModifyModeWithoutAListingSaysWhy() {
        start();
        clickRow(control<QListWidget>("lstDesc"), 0);
        trigger("mnuMModify");
        clickRow(control<QListWidget>("CatBox"), 2);
        trigger("cmdOK");
        QCOMPARE(dialogs().boxes.size(), 1);
        QCOMPARE(dialogs().boxes[0].text, QString("Select the listing to change first."));
        QCOMPARE(dialogs().beeps, 1);
        QCOMPARE(control<QLineEdit>("txtFilename")->text(), QString("DEMO\\SETUP.EXE"));
        QVERIFY(mainWindow().logic().editFlags().modifyMode);
        QCOMPARE(readFromDisc("qubrix.dat"), catalogue);
    }

    void quickEditEscapeThenOk() {
        start();
        clickRow(control<QListWidget>("CatBox"), 1);
        clickRow(control<QListWidget>("lstDesc"), 0);
        QCOMPARE(control<QLineEdit>("MenuEdit")->text(), QString("TOOLS\\VIEW.EXE"));
        // Typing without a click into the quick editor is no edit.
        QTest::keyClicks(control<QLineEdit>("MenuEdit"), "X");
        QVERIFY(!mainWindow().logic().editFlags().quickEditActive);
        QVERIFY(control<QListWidget>("lstDesc")->isEnabled());
        clickRow(control<QListWidget>("CatBox"), 0);
        clickRow(control<QListWidget>("CatBox"), 1);
        clickRow(control<QListWidget>("lstDesc"), 0);
        QCOMPARE(control<QLineEdit>("MenuEdit")->text(), QString("TOOLS\\VIEW.EXE"));

        QTest::mouseClick(control<QLineEdit>("MenuEdit"), Qt::LeftButton);
        QCOMPARE(desktop().sounds, 1);
        QTest::keyClick(control<QLineEdit>("MenuEdit"), Qt::Key_End);
        QTest::keyClicks(control<QLineEdit>("MenuEdit"), "2");
        QVERIFY(!control<QListWidget>("lstDesc")->isEnabled());
        QVERIFY(!control<QListWidget>("CatBox")->isEnabled());
        QVERIFY(control<QToolButton>("MOK")->isEnabled());
        QCOMPARE(control<QLineEdit>("txtFilename")->text(), QString("TOOLS\\VIEW.EXE2"));
        QTest::keyClick(control<QLineEdit>("MenuEdit"), Qt::Key_Escape);
        QCOMPARE(control<QLineEdit>("MenuEdit")->text(), QString("TOOLS\\VIEW.EXE"));
        QVERIFY(control<QListWidget>("lstDesc")->isEnabled());
        QVERIFY(!control<QToolButton>("MOK")->isEnabled());
        QVERIFY(!control<QToolButton>("MOC")->isEnabled());
        QVERIFY(control<QLineEdit>("txtFilename")->text().isEmpty());
        QCOMPARE(readFromDisc("qubrix.dat"), catalogue);

        // A new name that passes the name check (ISO 9660 is on), so OK stores it at once.
        QTest::mouseClick(control<QLineEdit>("MenuEdit"), Qt::LeftButton);
        QTest::keyClick(control<QLineEdit>("MenuEdit"), Qt::Key_End);
        QTest::keyClick(control<QLineEdit>("MenuEdit"), Qt::Key_Backspace);
        QTest::keyClicks(control<QLineEdit>("MenuEdit"), "2");
        trigger("MOK");
        // Only the path changes; the description is written back without its blanks.
        QCOMPARE(saved("qubrix.dat")[4], QString("Disk viewer;TOOLS\\VIEW.EX2;1"));
        QVERIFY(control<QListWidget>("CatBox")->isEnabled());
        QVERIFY(!control<QToolButton>("MOK")->isEnabled());
        QCOMPARE(control<QLineEdit>("MenuEdit")->text(), QString("TOOLS\\VIEW.EX2"));
        expectListsInStep();
    }

    void notesDialogTwiceKeepsTheSecond() {
        start();
        const TfrmNote& dialog = *windows().frmNote;
        QCOMPARE(dialog.windowTitle(), QString("Add Notes"));
        QCOMPARE(dialog.size(), QSize(193, 149));
        QVERIFY(!(dialog.windowFlags() & Qt::WindowCloseButtonHint));
        QCOMPARE(dialog.cmdClear->toolTip(), QString("Erase comments"));

        control<QLineEdit>("txtFilename")->setText("NEW.TXT");
        control<QLineEdit>("txtDescription")->setText("New");
        answerNextModal(accept, [](QWidget* modal) { typeNote(modal, {"first"}); });
        trigger("btnAddNote");
        answerNextModal(accept, [](QWidget* modal) {
            QVERIFY(noteDialog(modal).EditNote->toPlainText().isEmpty());
            typeNote(modal, {"abc", "def"});
        });
        trigger("btnAddNote");
        trigger("cmdOK");
        QCOMPARE(saved("qubrix.dat")[3], QString("New;NEW.TXT;3"));
        QCOMPARE(saved("descript.txt"),
                 (QStringList{"demo note", "viewer note", "first", "abcdef"}));
    }

    void cancelledSecondNoteLeavesTheListingWithout() {
        start();
        control<QLineEdit>("txtFilename")->setText("NEW.TXT");
        control<QLineEdit>("txtDescription")->setText("New");
        answerNextModal(accept, [](QWidget* modal) { typeNote(modal, {"kept"}); });
        trigger("btnAddNote");
        answerNextModal(abandon, [](QWidget* modal) { typeNote(modal, {"dropped"}); });
        trigger("btnAddNote");
        QVERIFY(!mainWindow().logic().editFlags().noteTouched);
        trigger("cmdOK");
        QCOMPARE(saved("qubrix.dat")[3], QString("New;NEW.TXT;-1"));
        QCOMPARE(saved("descript.txt"), (QStringList{"demo note", "viewer note", "kept"}));
    }

    void erasedNoteIsRemovedAndLaterNotesRenumbered() {
        start();
        clickRow(control<QListWidget>("lstDesc"), 0);
        trigger("mnuModify");
        answerNextModal(accept, [](QWidget* modal) {
            TfrmNote& shown = noteDialog(modal);
            QCOMPARE(shown.EditNote->toPlainText(), QString("demo note"));
            QTest::mouseClick(shown.cmdClear, Qt::LeftButton);
            QVERIFY(shown.EditNote->toPlainText().isEmpty());
        });
        trigger("btnAddNote");
        trigger("cmdOK");
        QCOMPARE(saved("qubrix.dat"),
                 (QStringList{"[Main]", "Install the demo;DEMO\\SETUP.EXE;-1",
                              "Read me first;README.TXT;-1", "[Tools]",
                              " Disk viewer ;TOOLS\\VIEW.EXE;0", "[Empty]", "110"}));
        QCOMPARE(saved("descript.txt"), QStringList{"viewer note"});
        expectListsInStep();
    }

    void removeAsksWithTheListingsPlaceOnTheMedium() {
        start();
        clickRow(control<QListWidget>("lstDesc"), 0);
        trigger("cmdDelete");
        QCOMPARE(dialogs().boxes.size(), 1);
        QCOMPARE(dialogs().boxes[0].text, "Delete listing for " + discPath() + "/DEMO/SETUP.EXE");
        QCOMPARE(dialogs().boxes[0].caption, QString("Confirm delete listing"));
        QCOMPARE(dialogs().boxes[0].icon, DialogService::Icon::Warning);
        QCOMPARE(dialogs().boxes[0].buttons, DialogService::Buttons::YesNo);
        QCOMPARE(control<QListWidget>("lstDesc")->count(), 2);

        dialogs().answers = {DialogService::Answer::Yes};
        trigger("mnuDelete");
        QCOMPARE(rowsOf(control<QListWidget>("lstDesc")), QStringList{"  Read me first"});
        QCOMPARE(saved("qubrix.dat"),
                 (QStringList{"[Main]", "Read me first;README.TXT;-1", "[Tools]",
                              " Disk viewer ;TOOLS\\VIEW.EXE;0", "[Empty]", "110"}));
        QCOMPARE(saved("descript.txt"), QStringList{"viewer note"});
        QVERIFY(!control<QToolButton>("cmdDelete")->isEnabled());
        expectListsInStep();

        // Without Auto-Save the removal waits for a save, and counts as a change meanwhile.
        trigger("chkSave");
        const QByteArray before = readFromDisc("qubrix.dat");
        clickRow(control<QListWidget>("lstDesc"), 0);
        dialogs().answers = {DialogService::Answer::Yes};
        trigger("cmdDelete");
        QCOMPARE(control<QListWidget>("lstDesc")->count(), 0);
        QCOMPARE(readFromDisc("qubrix.dat"), before);
        QVERIFY(window->document().isChanged());
    }

    void clearAsksAndKeepsHeaderAndNotes() {
        start();
        trigger("mnuMClear");
        QCOMPARE(control<QListWidget>("lstDesc")->count(), 2);
        QVERIFY(!window->document().isChanged());

        dialogs().answers = {DialogService::Answer::Yes};
        trigger("mnuMClear");
        QCOMPARE(dialogs().boxes[1].text,
                 QString("Are you sure that you want to clear the file list?"));
        QCOMPARE(dialogs().boxes[1].caption, QString("Confirm CLEAR command"));
        QCOMPARE(control<QListWidget>("lstDesc")->count(), 0);
        QVERIFY(!control<QMenu>("mnuEdit")->menuAction()->isEnabled());
        QCOMPARE(saved("qubrix.dat"),
                 (QStringList{"[Main]", "[Tools]", " Disk viewer ;TOOLS\\VIEW.EXE;1", "[Empty]",
                              "110"}));
        QCOMPARE(readFromDisc("descript.txt"), notes);
        expectListsInStep();

        // An empty category still asks before its removal, and goes when the author agrees.
        clickRow(control<QListWidget>("CatBox"), 2);
        trigger("cmdSave");
        dialogs().answers = {DialogService::Answer::Yes};
        trigger("Delete3");
        QCOMPARE(dialogs().boxes.size(), 3);
        QCOMPARE(rowsOf(control<QListWidget>("CatBox")), (QStringList{"Main", "Tools"}));
    }
};

QTEST_MAIN(TestListingEditor)
#include "tst_listingeditor.moc"
