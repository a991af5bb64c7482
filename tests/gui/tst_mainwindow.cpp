#include "app/frmmain.h"
#include "fakeplatform.h"
#include "testfiles.h"

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
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTextEdit>
#include <QToolButton>

#include <memory>

namespace {

const QByteArray workedCatalogue = "[Main]\r\n"
                                   "Install the demo;DEMO\\SETUP.EXE;0\r\n"
                                   "Read me first;README.TXT;-1\r\n"
                                   "[Tools]\r\n"
                                   "Disk viewer;TOOLS\\VIEW.EXE;1\r\n"
                                   "110\r\n";
const QByteArray workedNotes = "Installs the demo program into a folder of your choice.\r\n"
                               "A viewer for the data on this disc.\r\n";

} // namespace

class TestMainWindow : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<QTemporaryDir> m_dir;
    std::unique_ptr<FakePlatform> m_platform;

    QString path(const QString& name) const { return m_dir->filePath(name); }
    std::unique_ptr<TfrmMain> start(bool expectStarted = true) {
        auto window = std::make_unique<TfrmMain>(*m_platform);
        const bool started = window->FormCreate();
        if (started != expectStarted)
            qWarning("FormCreate returned %d", started);
        return window;
    }
    void writeWorkedExample() {
        writeFile(path("qubrix.dat"), workedCatalogue);
        writeFile(path("descript.txt"), workedNotes);
    }
    void selectRows(TfrmMain& window, std::initializer_list<int> rows) {
        window.lstDesc->clearSelection();
        for (int row : rows) {
            window.lstDesc->setCurrentRow(row, QItemSelectionModel::Select);
        }
    }

private slots:
    void init() {
        m_dir = std::make_unique<QTemporaryDir>();
        m_platform = std::make_unique<FakePlatform>();
        m_platform->directory = m_dir->path();
        m_platform->mountPoint = m_dir->path();
    }

    void firstStartCreatesTheDefaultCatalogue() {
        auto window = start();
        QCOMPARE(readAll(path("qubrix.dat")), QByteArray("[Main]\r\n110\r\n"));
        QCOMPARE(readAll(path("descript.txt")), QByteArray());
        QCOMPARE(window->CatBox->count(), 1);
        QCOMPARE(window->CatBox->item(0)->text(), QString("Main"));
        QVERIFY(window->chkSave->isChecked());
        QVERIFY(window->chkValid->isChecked());
        QVERIFY(!window->chkRoot->isChecked());
        QVERIFY(m_platform->boxes.isEmpty());

        window->mnuExitClick();
        QVERIFY(m_platform->boxes.isEmpty());
        QCOMPARE(m_platform->endStatuses, QList<int>{1});
    }

    void pathsCaptionAndDriveRoot() {
        m_platform->mountPoint = "/media/disc";
        m_platform->label = "MYDISC";
        auto window = start();
        QCOMPARE(window->catalogPath, path("qubrix.dat"));
        QCOMPARE(window->notesPath, path("descript.txt"));
        QCOMPARE(window->driveRoot, QString("/media/disc"));
        QCOMPARE(window->lblCWD->toolTip(), QString("/media/disc/"));
        QCOMPARE(window->windowTitle(), QString("Qubrix 3.1  [MYDISC]"));
        QCOMPARE(window->txtDescription->maxLength(), 53);

        m_platform->label.clear();
        m_platform->mountPoint = "/";
        auto unlabelled = start();
        QCOMPARE(unlabelled->windowTitle(), QString("Qubrix 3.1  []"));
        QCOMPARE(unlabelled->driveRoot, QString());
        QCOMPARE(unlabelled->lblCWD->toolTip(), QString("/"));

        // A mount point wider than the label is elided; the tooltip keeps the whole text.
        m_platform->mountPoint = "/media/someone/A_RATHER_LONG_LABEL";
        auto deep = start();
        QCOMPARE(deep->lblCWD->toolTip(), QString("/media/someone/A_RATHER_LONG_LABEL/"));
        QVERIFY(deep->lblCWD->text() != deep->lblCWD->toolTip());
        QVERIFY(deep->lblCWD->text().endsWith('/'));
    }

    void windowGeometry() {
        auto window = start();
        window->show();
        QVERIFY(QTest::qWaitForWindowExposed(window.get()));
        QCOMPARE(window->centralWidget()->size(), QSize(552, 433));
        QCOMPARE(window->lstDesc->parentWidget()->objectName(), QString("Splitter3"));
        QCOMPARE(window->txtFilename->geometry(), QRect(101, 288, 372, 27));
        QCOMPARE(window->MenuEdit->geometry(), QRect(75, 30, 479, 21));
        QVERIFY(!window->MenuEdit->isEnabled());
        QVERIFY(!(window->windowFlags() & Qt::WindowMaximizeButtonHint));
        QCOMPARE(window->minimumSize(), window->maximumSize());
    }

    void browsingCommandStates() {
        writeWorkedExample();
        auto window = start();
        QCOMPARE(window->CatBox->count(), 2);
        QCOMPARE(window->lstDesc->count(), 2);
        QCOMPARE(window->lstDesc->item(0)->text(), QString("  Install the demo"));
        QVERIFY(window->mnuEdit->menuAction()->isEnabled());
        QVERIFY(!window->cmdInstall->isVisibleTo(window.get()));
        QVERIFY(!window->ToolInstall->isEnabled());

        selectRows(*window, {0});
        QCOMPARE(window->MenuEdit->text(), QString("DEMO\\SETUP.EXE"));
        QVERIFY(window->MenuEdit->isEnabled());
        QVERIFY(window->cmdInstall->isVisibleTo(window.get()));
        QVERIFY(window->cmdCopy->isVisibleTo(window.get()));
        QVERIFY(window->mnuDelete->isEnabled());
        QVERIFY(window->mnuMModify->isEnabled());
        QVERIFY(window->editFlags().singleSelection);

        selectRows(*window, {0, 1});
        QCOMPARE(window->lstDesc->selectedItems().size(), 2);
        QVERIFY(window->MenuEdit->text().isEmpty());
        QVERIFY(!window->MenuEdit->isEnabled());
        QVERIFY(window->cmdCopy->isVisibleTo(window.get()));
        QVERIFY(!window->cmdInstall->isVisibleTo(window.get()));
        QVERIFY(window->ToolCopy->isEnabled());
        QVERIFY(window->mnuCopy->menuAction()->isEnabled());
        QVERIFY(!window->ToolCopyFolder->isEnabled());
        QVERIFY(!window->Folder1->isEnabled());
        QVERIFY(!window->cmdDelete->isEnabled());
        QVERIFY(!window->editFlags().singleSelection);

        window->CatBox->setCurrentRow(1);
        QCOMPARE(window->lstDesc->count(), 1);
        QCOMPARE(window->lstDesc->item(0)->text(), QString("  Disk viewer"));
        QVERIFY(!window->cmdCopy->isVisibleTo(window.get()));
        QVERIFY(!window->ToolCopy->isEnabled());
    }

    void emptyCategoryOffersNoListCommands() {
        writeFile(path("qubrix.dat"), "[Empty]\r\n[Full]\r\nA;A.TXT;-1\r\n110\r\n");
        auto window = start();
        QCOMPARE(window->lstDesc->count(), 0);
        QVERIFY(!window->mnuEdit->menuAction()->isEnabled());
        QVERIFY(!window->editPopupEnabled);
        window->CatBox->setCurrentRow(1);
        QVERIFY(window->mnuEdit->menuAction()->isEnabled());
        QVERIFY(window->editPopupEnabled);
    }

    void notePopupPlacementAndClosing() {
        writeFile(path("qubrix.dat"), workedCatalogue);
        writeFile(path("descript.txt"), "Short note.\r\nAnother.\r\n");
        auto window = start();
        selectRows(*window, {0});
        window->lstDescMouseDown(20);
        window->ShowNote(0);
        QVERIFY(window->NotePad->isVisibleTo(window.get()));
        QVERIFY(window->Outline->isVisibleTo(window.get()));
        QCOMPARE(window->NotePad->toPlainText(), QString("Short note."));
        QCOMPARE(window->NotePad->geometry(), QRect(301, 98, 185, 15));
        QCOMPARE(window->Outline->geometry(), QRect(300, 97, 187, 17));

        window->NotePadMouseUp();
        QVERIFY(!window->NotePad->isVisibleTo(window.get()));
        QVERIFY(!window->Outline->isVisibleTo(window.get()));
        QVERIFY(window->NotePad->toPlainText().isEmpty());

        window->ShowNote(0);
        selectRows(*window, {1});
        QVERIFY(!window->NotePad->isVisibleTo(window.get()));

        const int beepsBefore = m_platform->beeps;
        window->ShowNote(1); // "Read me first" has no note
        QCOMPARE(m_platform->beeps, beepsBefore + 1);
        QVERIFY(!window->NotePad->isVisibleTo(window.get()));
        QVERIFY(m_platform->boxes.isEmpty());
    }

    void longNoteWrapsAndOpensAbove() {
        writeFile(path("qubrix.dat"), "[Main]\r\nLong;L.TXT;0\r\n110\r\n");
        writeFile(path("descript.txt"), QByteArray("word ").repeated(40) + "\r\n");
        auto window = start();
        window->lstDescMouseDown(190);
        window->ShowNote(0);
        const QRect pad = window->NotePad->geometry();
        QVERIFY2(pad.height() > 15, "a long note takes several lines");
        QCOMPARE((pad.height() - 2) % 13, 0);
        QCOMPARE(pad.bottom() + 1, 190 + 37);
        QCOMPARE(window->Outline->geometry(), QRect(300, pad.top() - 1, 187, pad.height() + 2));
    }

    void noteBeyondTheNotesListIsReported() {
        writeFile(path("qubrix.dat"), "[Main]\r\nLost;L.TXT;7\r\n110\r\n");
        writeFile(path("descript.txt"), "only note\r\n");
        auto window = start();
        const QByteArray before = readAll(path("qubrix.dat"));
        window->ShowNote(0);
        QCOMPARE(m_platform->boxes.size(), 1);
        QCOMPARE(m_platform->boxes[0].text, QString("List index out of bounds (7)"));
        QCOMPARE(m_platform->boxes[0].icon, Platform::Icon::Error);
        QVERIFY(!window->NotePad->isVisibleTo(window.get()));
        QCOMPARE(readAll(path("qubrix.dat")), before);
        QVERIFY(!window->listChanged);
    }

    void editorAndMenuHeights() {
        auto window = start();
        window->show();
        QVERIFY(QTest::qWaitForWindowActive(window.get()));
        QCOMPARE(window->clientHeight(), 433);

        window->cmdMenu->click();
        QCOMPARE(window->clientHeight(), 282);
        QVERIFY(!window->editorShown);
        QVERIFY(window->cmdMenu->isChecked());
        QVERIFY(!window->cmdAdd->isChecked());
        QTRY_COMPARE(window->centralWidget()->height(), 282);

        window->AddFiles1->trigger();
        QCOMPARE(window->clientHeight(), 434);
        QVERIFY(window->editorShown);
        QVERIFY(window->cmdAdd->isChecked());
        QTRY_COMPARE(window->centralWidget()->height(), 434);
        QTRY_COMPARE(QApplication::focusWidget(), window->txtFilename);

        window->btnClose->click();
        QCOMPARE(window->clientHeight(), 282);
    }

    void optionsStayInStepBothWays() {
        auto window = start();
        window->chkValid->click();
        QVERIFY(!window->isoCheck);
        QVERIFY(!window->Filenamecheck1->isChecked());

        window->AutoSave1->trigger();
        QVERIFY(!window->autoSave);
        QVERIFY(!window->chkSave->isChecked());

        window->Includeparent1->trigger();
        QVERIFY(window->includeParent);
        QVERIFY(window->chkRoot->isChecked());
        QVERIFY(!window->listChanged);

        // An option changed counts as unsaved at exit; Yes writes the check boxes.
        m_platform->answers = {Platform::Answer::Yes};
        window->mnuExitClick();
        QCOMPARE(m_platform->boxes.size(), 1);
        QCOMPARE(m_platform->boxes[0].text, QString("List has changed--Save before exiting?"));
        QCOMPARE(m_platform->boxes[0].caption, QString("Confirm SAVE"));
        QCOMPARE(m_platform->boxes[0].icon, Platform::Icon::Warning);
        QCOMPARE(m_platform->boxes[0].buttons, Platform::Buttons::YesNo);
        QCOMPARE(m_platform->beeps, 1);
        QCOMPARE(readAll(path("qubrix.dat")), QByteArray("[Main]\r\n1\r\n"));
        QCOMPARE(m_platform->endStatuses, QList<int>{1});
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
        writeFile(path("qubrix.dat"), "[Main]\r\n" + line + "\r\n");
        auto window = start();
        QCOMPARE(window->chkSave->isChecked(), autoSave);
        QCOMPARE(window->AutoSave1->isChecked(), autoSave);
        QCOMPARE(window->autoSave, autoSave);
        QCOMPARE(window->chkValid->isChecked(), iso);
        QCOMPARE(window->Filenamecheck1->isChecked(), iso);
        QCOMPARE(window->chkRoot->isChecked(), parent);
        QCOMPARE(window->includeParent, parent);
        // "5" reads as 101 on the boxes, which differs from the number loaded: exit asks.
        window->mnuExitClick();
        QCOMPARE(m_platform->boxes.size(), line == "5" ? 1 : 0);
    }

    void writeProtectedCatalogueOpensReadOnly() {
        writeWorkedExample();
        QFile::setPermissions(path("qubrix.dat"), QFile::ReadOwner | QFile::ReadGroup);
        auto window = start();
        QVERIFY(window->ReadOnly->isChecked());
        QVERIFY(window->ReadOnly->isVisible());
        QCOMPARE(window->clientHeight(), 282);
        QVERIFY(!window->editorShown);
        QVERIFY(!window->autoSave);
        for (QAction* hidden : {window->AddFiles1, window->mnuSave, window->Options->menuAction(),
                                window->mnuEdit->menuAction(), window->mnuNewCat->menuAction(),
                                window->mnuDelete, window->mnuClear, window->N1})
            QVERIFY2(!hidden->isVisible(), qPrintable(hidden->objectName()));
        for (QWidget* hidden : std::initializer_list<QWidget*>{window->cmdCat, window->cmdSave,
                                                               window->cmdMenu, window->cmdAdd})
            QVERIFY2(!hidden->isVisibleTo(window.get()), qPrintable(hidden->objectName()));
        QVERIFY(window->cmdSort->isVisibleTo(window.get()));
        QVERIFY(!window->catPopupEnabled);

        window->mnuExitClick();
        QVERIFY(m_platform->boxes.isEmpty());
        QCOMPARE(readAll(path("qubrix.dat")), workedCatalogue);
    }

    void readOnlyMediumHidesTheReadOnlyItem() {
        writeWorkedExample();
        QFile::setPermissions(path("qubrix.dat"), QFile::ReadOwner);
        m_platform->lockedPaths = {path("qubrix.dat")};
        auto window = start();
        QVERIFY(!window->ReadOnly->isVisible());
        QVERIFY(!window->ReadOnly->isChecked());
        QCOMPARE(window->clientHeight(), 282);
        QVERIFY(!window->AddFiles1->isVisible());
    }

    void readOnlyToggleRestoresTheLoadedOptions() {
        auto window = start();
        window->chkValid->click();
        QVERIFY(!window->isoCheck);

        window->ReadOnly->trigger();
        QVERIFY(window->ReadOnly->isChecked());
        QVERIFY(!(QFile::permissions(path("qubrix.dat")) & QFile::WriteOwner));
        QVERIFY(!window->listChanged);
        QVERIFY(!window->AddFiles1->isVisible());

        window->ReadOnly->trigger();
        QVERIFY(QFile::permissions(path("qubrix.dat")) & QFile::WriteOwner);
        QVERIFY(window->chkValid->isChecked());
        QVERIFY(window->Filenamecheck1->isChecked());
        QVERIFY(window->isoCheck);
        QVERIFY(window->listChanged);
        QVERIFY(window->N1->isVisible());
        QVERIFY(window->cmdMenu->isChecked());
        QCOMPARE(window->clientHeight(), 282);

        // Leaving read-only mode counts as a change: exit asks; No writes nothing.
        const QByteArray before = readAll(path("qubrix.dat"));
        window->mnuExitClick();
        QCOMPARE(m_platform->boxes.size(), 1);
        QCOMPARE(readAll(path("qubrix.dat")), before);
        QCOMPARE(m_platform->endStatuses, QList<int>{1});
    }

    void closeBoxBehavesLikeExit() {
        auto window = start();
        window->chkRoot->click();
        m_platform->answers = {Platform::Answer::No};
        window->close();
        QCOMPARE(m_platform->boxes.size(), 1);
        QCOMPARE(m_platform->boxes[0].caption, QString("Confirm SAVE"));
        QCOMPARE(readAll(path("qubrix.dat")), QByteArray("[Main]\r\n110\r\n"));
        QCOMPARE(m_platform->endStatuses, QList<int>{1});
    }

    void failedSaveOnExitKeepsTheWindowAndBothFiles() {
        writeWorkedExample();
        auto window = start();
        window->chkRoot->click();
        // The catalogue loses its write bits behind the program's back.
        QFile::setPermissions(path("qubrix.dat"), QFile::ReadOwner);
        m_platform->answers = {Platform::Answer::Yes};
        window->mnuExitClick();
        QCOMPARE(m_platform->boxes.size(), 2);
        QCOMPARE(m_platform->boxes[1].text, "Cannot create file " + path("qubrix.dat"));
        QCOMPARE(m_platform->boxes[1].icon, Platform::Icon::Error);
        QVERIFY(m_platform->endStatuses.isEmpty());
        QCOMPARE(readAll(path("qubrix.dat")), workedCatalogue);
        QCOMPARE(readAll(path("descript.txt")), workedNotes);
    }

    void unreadableCatalogueEndsTheStart() {
        QVERIFY(QDir(m_dir->path()).mkdir("qubrix.dat"));
        auto window = start(false);
        QCOMPARE(m_platform->boxes.size(), 1);
        QVERIFY(m_platform->boxes[0].text.startsWith("Cannot open file " + path("qubrix.dat")));
        QVERIFY(QFileInfo(path("qubrix.dat")).isDir());
    }

    void uncreatableCatalogueRunsReadOnly() {
        m_platform->directory = m_dir->filePath("no-such-folder");
        auto window = start();
        QCOMPARE(m_platform->boxes.size(), 1);
        QCOMPARE(m_platform->boxes[0].text,
                 "Cannot create file " + m_dir->filePath("no-such-folder/descript.txt"));
        QVERIFY(!window->ReadOnly->isVisible());
        QVERIFY(!window->AddFiles1->isVisible());
        QCOMPARE(window->CatBox->count(), 1);
        window->mnuExitClick();
        QCOMPARE(m_platform->boxes.size(), 1);
    }

    void contentsOpensTheHelpPage() {
        auto window = start();
        window->Contents1->trigger();
        QCOMPARE(m_platform->helpRequests, 1);
    }
};

QTEST_MAIN(TestMainWindow)
#include "tst_mainwindow.moc"
