#include "guitestbase.h"
#include "linux/app/frmmain.h"
#include "linux/naming/frmvalidname.h"

#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QTemporaryDir>
#include <QTimer>
#include <QToolButton>
#include <QtTest>

namespace {

using Icon = DialogService::Icon;

// One showing of the name dialog: what it must show, the name typed and the button pressed.
struct Turn {
    QString location; // "Folder Location:" or "File Location:"
    QString path;     // lblPath
    QString name;     // the failing name: lblFName and the start of Edit1
    QString newName;
    QString button; // "Change" or "Skip"
};

QByteArray catalogueWith(const QByteArray& listings, int options) {
    return "[Main]\r\n" + listings + QByteArray::number(options) + "\r\n";
}

} // namespace

class TestNameCheck : public GuiTestBase {
    Q_OBJECT

private:
    // Answers the name dialog turn after turn; each turn checks what the dialog shows.
    void answerTurns(QList<Turn> turns) {
        if (turns.isEmpty())
            return;
        const Turn first = turns.takeFirst();
        answerNextModal(first.button, [this, turn = first, turns](QWidget* modal) {
            // The next turn is armed once this showing is answered, and before the checks, so
            // that a failed check cannot leave a later showing unanswered.
            QTimer::singleShot(0, this, [this, turns] { answerTurns(turns); });
            auto* dialog = qobject_cast<TfrmValidName*>(modal);
            QVERIFY2(dialog, "the modal dialog is not the name dialog");
            m_shown.append(turn.name);
            QCOMPARE(dialog->lblLocation->text(), turn.location);
            QCOMPARE(dialog->lblName->text(), turn.location.startsWith("Folder")
                                                  ? QString("Folder name:")
                                                  : QString("File name:"));
            QCOMPARE(dialog->lblPath->text(), turn.path);
            QCOMPARE(dialog->lblFName->text(), turn.name);
            QCOMPARE(dialog->Edit1->text(), turn.name);
            dialog->Edit1->setText(turn.newName);
        });
    }

    // Browse picks the file, the author describes it and presses OK.
    void addListing(const QString& picked, const QString& description) {
        dialogs().pickedFiles.push_back(onDisc(picked));
        trigger("Browse");
        control<QLineEdit>("txtDescription")->setText(description);
        pressOk();
    }

    // The editing band's OK (the categories dialog has a button of that name too).
    void pressOk() {
        QToolButton* ok = control<QToolButton>("cmdOK");
        QVERIFY(ok->isVisible() && ok->isEnabled());
        QTest::mouseClick(ok, Qt::LeftButton, {}, ok->rect().center());
    }

    QStringList entries(const QString& folder) const {
        return QDir(onDisc(folder)).entryList(QDir::AllEntries | QDir::NoDotAndDotDot);
    }

    QStringList m_shown;

private slots:
    void init() {
        GuiTestBase::init();
        m_shown.clear();
    }
    void folderAndFileRenamedOtherListingsFollow_data();
    void folderAndFileRenamedOtherListingsFollow();
    void rootFileRenamedInTheRoot();
    void skippedNamesStayAndNothingIsRenamed();
    void nothingOutsideTheMediumIsRenamed();
};

void TestNameCheck::folderAndFileRenamedOtherListingsFollow_data() {
    QTest::addColumn<int>("options");
    QTest::newRow("Auto-Save") << 110;
    QTest::newRow("no Auto-Save") << 10;
}

void TestNameCheck::folderAndFileRenamedOtherListingsFollow() {
    QFETCH(int, options);
    writeOnDisc("STAGE/LONG_FOLDER_NAME/LONGNAME1.TXT", "mine");
    writeOnDisc("STAGE/LONG_FOLDER_NAME/EXISTING.TXT", "theirs");
    writeOnDisc("STAGE/LONG_FOLDER_NAME/OTHER.TXT", "other");
    // The disc is staged in STAGE, one folder below the top of the medium; its paths are stored
    // without that parent folder (Include Parent folder off).
    const QByteArray before = catalogueWith("Other;long_folder_name\\OTHER.TXT;-1\r\n", options);
    writeOnDisc("STAGE/qubrix.dat", before);
    files().directory = onDisc("STAGE");
    QVERIFY(createWindows());
    answerTurns({
        {"Folder Location:", "LONG_FOLDER_NAME\\LONGNAME1.TXT", "LONG_FOLDER_NAME", "LONGFOLD",
         "Change"},
        {"File Location:", "LONGFOLD\\LONGNAME1.TXT", "LONGNAME1.TXT", "EXISTING.TXT", "Change"},
        // The refused rename is offered again.
        {"File Location:", "LONGFOLD\\LONGNAME1.TXT", "LONGNAME1.TXT", "LONGNAME.TXT", "Change"},
    });
    addListing("STAGE/LONG_FOLDER_NAME/LONGNAME1.TXT", "Mine");

    QCOMPARE(m_shown.size(), 3);
    QVERIFY(entries("STAGE").contains("LONGFOLD"));
    QVERIFY(!entries("STAGE").contains("LONG_FOLDER_NAME"));
    QCOMPARE(entries("STAGE/LONGFOLD"), QStringList({"EXISTING.TXT", "LONGNAME.TXT", "OTHER.TXT"}));
    QCOMPARE(readFromDisc("STAGE/LONGFOLD/LONGNAME.TXT"), "mine");
    QCOMPARE(readFromDisc("STAGE/LONGFOLD/EXISTING.TXT"), "theirs");
    QCOMPARE(dialogs().boxes.size(), 1);
    QCOMPARE(dialogs().boxes[0].text, "File error");
    QCOMPARE(dialogs().boxes[0].caption, "Error!");
    QCOMPARE(dialogs().boxes[0].icon, Icon::Error);
    QCOMPARE(dialogs().beeps, 1);
    // The new listing, and the other one through the renamed folder; with Auto-Save they are
    // saved at once, without it they wait, marked as a change, for the author's save.
    if (options < 100) {
        QCOMPARE(readFromDisc("STAGE/qubrix.dat"), before);
        QVERIFY(mainWindow().document().isChanged());
        trigger("cmdSave");
    }
    QCOMPARE(readFromDisc("STAGE/qubrix.dat"), catalogueWith("Other;LONGFOLD\\OTHER.TXT;-1\r\n"
                                                             "Mine;LONGFOLD\\LONGNAME.TXT;-1\r\n",
                                                             options));
    QCOMPARE(mainWindow().document().model().lstPath(),
             (std::vector<std::string>{"LONGFOLD\\OTHER.TXT", "LONGFOLD\\LONGNAME.TXT"}));
    QCOMPARE(control<QLineEdit>("txtFilename")->text(), "");
}

void TestNameCheck::rootFileRenamedInTheRoot() {
    writeOnDisc("STAGE/FIRST.TXT", "first");
    writeOnDisc("MY FILE.TXT", "root");
    writeOnDisc("STAGE/MY FILE.TXT", "staged");
    writeOnDisc("qubrix.dat", catalogueWith("", 110));
    QVERIFY(createWindows());
    // The disc is the top of the medium: the first pick keeps STAGE as its first folder, and a
    // file in the top has none.
    addListing("STAGE/FIRST.TXT", "First");
    answerTurns({{"File Location:", "MY FILE.TXT", "MY FILE.TXT", "MY FILE2.TXT", "Change"},
                 // A new name that still fails is asked for again.
                 {"File Location:", "MY FILE2.TXT", "MY FILE2.TXT", "MYFILE.TXT", "Change"}});
    addListing("MY FILE.TXT", "Root");

    QCOMPARE(m_shown.size(), 2);
    QCOMPARE(readFromDisc("MYFILE.TXT"), "root");
    QCOMPARE(entries("STAGE"), QStringList({"FIRST.TXT", "MY FILE.TXT"}));
    QCOMPARE(mainWindow().document().model().lstPath(),
             (std::vector<std::string>{"STAGE\\FIRST.TXT", "MYFILE.TXT"}));
    QVERIFY(dialogs().boxes.isEmpty());
}

void TestNameCheck::skippedNamesStayAndNothingIsRenamed() {
    writeOnDisc("APPS/INSTALLER/README.HTML", "page");
    writeOnDisc("qubrix.dat", catalogueWith("", 111)); // parent folder included
    QVERIFY(createWindows());
    answerTurns({
        {"Folder Location:", "APPS\\INSTALLER\\README.HTML", "INSTALLER", "INSTALL", "Skip"},
        {"File Location:", "APPS\\INSTALLER\\README.HTML", "README.HTML", "README.HTM", "Skip"},
    });
    addListing("APPS/INSTALLER/README.HTML", "Page");

    QCOMPARE(m_shown.size(), 2);
    QCOMPARE(readFromDisc("APPS/INSTALLER/README.HTML"), "page");
    QVERIFY(files().renames.isEmpty());
    QCOMPARE(mainWindow().document().model().lstPath(),
             std::vector<std::string>{"APPS\\INSTALLER\\README.HTML"});
}

void TestNameCheck::nothingOutsideTheMediumIsRenamed() {
    // A folder on the medium that is a symbolic link to a folder elsewhere.
    QTemporaryDir outside;
    QVERIFY(QDir(outside.path()).mkpath("LONG_FOLDER_NAME"));
    QVERIFY(QFile::link(outside.path(), onDisc("LINK")));
    writeOnDisc("qubrix.dat", catalogueWith("", 111));
    QVERIFY(createWindows());
    answerTurns({
        {"Folder Location:", "LINK\\LONG_FOLDER_NAME\\A.TXT", "LONG_FOLDER_NAME", "LONGFOLD",
         "Change"},
        // The new name must stay in its folder.
        {"Folder Location:", "LINK\\LONG_FOLDER_NAME\\A.TXT", "LONG_FOLDER_NAME", "../LONGFOLD",
         "Change"},
        {"Folder Location:", "LINK\\LONG_FOLDER_NAME\\A.TXT", "LONG_FOLDER_NAME", "", "Skip"},
    });
    control<QLineEdit>("txtFilename")->setText("LINK\\LONG_FOLDER_NAME\\A.TXT");
    control<QLineEdit>("txtDescription")->setText("Outside");
    pressOk();

    QCOMPARE(m_shown.size(), 3);
    QVERIFY(QDir(outside.filePath("LONG_FOLDER_NAME")).exists());
    QVERIFY(files().renames.isEmpty());
    QCOMPARE(dialogs().boxes.size(), 2);
    QCOMPARE(dialogs().boxes[1].text, "File error");
}

QTEST_MAIN(TestNameCheck)
#include "tst_namecheck.moc"
