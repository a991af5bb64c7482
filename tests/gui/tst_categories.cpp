#include "app/frmmain.h"
#include "editing/frmaddcat.h"
#include "guitestbase.h"

#include <QAction>
#include <QApplication>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QToolButton>

#include <functional>
#include <memory>

namespace {

const QByteArray threeCategories = "[Main]\r\n"
                                   "zeta;Z.EXE;-1\r\n"
                                   "Alpha;A.EXE;0\r\n"
                                   "[Tools]\r\n"
                                   "Viewer;VIEW.EXE;1\r\n"
                                   "[Empty]\r\n"
                                   "110\r\n";

QStringList rowsOf(const QListWidget* list) {
    QStringList rows;
    for (int i = 0; i < list->count(); ++i)
        rows << list->item(i)->text();
    return rows;
}

} // namespace

class TestCategories : public GuiTestBase {
    Q_OBJECT

private:
    std::unique_ptr<TfrmMain> m_window;
    std::unique_ptr<TfrmAddCat> m_dialog;

    // Runs a command that shows the name dialog and answers it while it is up.
    void withNameDialog(const std::function<void()>& command,
                        const std::function<void(TfrmAddCat&)>& answer) {
        bool shown = false;
        QTimer::singleShot(0, this, [&] {
            shown = QApplication::activeModalWidget() == m_dialog.get();
            answer(*m_dialog);
            if (m_dialog->isVisible())
                m_dialog->reject();
        });
        command();
        QVERIFY(shown);
    }
    void selectCategory(int row) { m_window->CatBox->setCurrentRow(row); }
    QStringList catalogueLines() const {
        return QString::fromUtf8(readFromDisc(("qubrix.dat"))).split("\r\n", Qt::SkipEmptyParts);
    }

private slots:
    void init() {
        GuiTestBase::init();
        writeOnDisc(("qubrix.dat"), threeCategories);
        writeOnDisc(("descript.txt"), "first\r\nsecond\r\n");
        m_window = std::make_unique<TfrmMain>(services());
        QVERIFY(m_window->FormCreate());
        m_dialog = std::make_unique<TfrmAddCat>(*m_window);
        m_window->setAddCatDialog(m_dialog.get());
        m_window->listChanged = false;
    }
    void cleanup() {
        m_dialog.reset();
        m_window.reset();
        GuiTestBase::cleanup();
    }

    void nameDialogLayoutAndOkEnabling() {
        TfrmAddCat& dialog = *m_dialog;
        QCOMPARE(dialog.size(), QSize(210, 90));
        QVERIFY(dialog.windowFlags() & Qt::WindowStaysOnTopHint);
        QCOMPARE(dialog.Edit1->maxLength(), 30);
        QCOMPARE(dialog.cmdOK->text(), QString("&OK"));
        QCOMPARE(dialog.cmdOK->toolTip(), QString("Accept entry"));
        QCOMPARE(dialog.cmdCancel->text(), QString("Cancel"));
        QCOMPARE(dialog.cmdCancel->toolTip(), QString("Abort & reject entry"));
        QVERIFY(!dialog.cmdOK->isEnabled());

        withNameDialog([this] { m_window->cmdCat->click(); },
                       [](TfrmAddCat& shown) {
                           QVERIFY(!shown.cmdOK->isEnabled());
                           QTest::keyClick(shown.Edit1, Qt::Key_Space);
                           QVERIFY(shown.cmdOK->isEnabled());
                           QTest::keyClick(shown.Edit1, Qt::Key_Backspace);
                           QVERIFY(!shown.cmdOK->isEnabled());
                           shown.cmdCancel->click();
                       });

        // A rename opens with the name in place, so OK is enabled at once.
        withNameDialog([this] { m_window->Rename1->trigger(); },
                       [](TfrmAddCat& shown) {
                           QCOMPARE(shown.windowTitle(), QString("Rename Category"));
                           QCOMPARE(shown.Edit1->text(), QString("Main"));
                           QVERIFY(shown.cmdOK->isEnabled());
                           shown.Edit1->clear();
                           QVERIFY(!shown.cmdOK->isEnabled());
                           shown.cmdCancel->click();
                       });
        QCOMPARE(rowsOf(m_window->CatBox), (QStringList{"Main", "Tools", "Empty"}));
        QVERIFY(!m_window->listChanged);
    }

    void newCategoryComesLastAndIsShown() {
        selectCategory(1);
        withNameDialog([this] { m_window->New2->trigger(); },
                       [](TfrmAddCat& shown) {
                           QCOMPARE(shown.windowTitle(), QString("Add Category"));
                           QVERIFY(shown.Edit1->text().isEmpty());
                           QTest::keyClicks(shown.Edit1, "Games]old");
                           QTest::keyClick(shown.Edit1, Qt::Key_Return);
                       });
        QCOMPARE(rowsOf(m_window->CatBox), (QStringList{"Main", "Tools", "Empty", "Games"}));
        QCOMPARE(m_window->CatBox->currentRow(), 3);
        QCOMPARE(m_window->lstDesc->count(), 0);
        QVERIFY(m_window->listChanged);
        QCOMPARE(m_window->catalogue().lstAll.back(), std::string("[Games]old]"));

        // Cancelled: nothing changes and the shown category stays.
        selectCategory(1);
        withNameDialog([this] { m_window->New1->trigger(); },
                       [](TfrmAddCat& shown) {
                           QTest::keyClicks(shown.Edit1, "Dropped");
                           shown.reject();
                       });
        QCOMPARE(m_window->CatBox->count(), 4);
        QCOMPARE(m_window->CatBox->currentRow(), 1);
        QCOMPARE(rowsOf(m_window->lstDesc), QStringList{"  Viewer"});
    }

    void renameKeepsPlaceAndListings() {
        selectCategory(1);
        withNameDialog([this] { m_window->Rename2->trigger(); },
                       [](TfrmAddCat& shown) {
                           shown.Edit1->setText("Utilities");
                           shown.cmdOK->click();
                       });
        QCOMPARE(rowsOf(m_window->CatBox), (QStringList{"Main", "Utilities", "Empty"}));
        QCOMPARE(m_window->CatBox->currentRow(), 1);
        QCOMPARE(rowsOf(m_window->lstDesc), QStringList{"  Viewer"});
        QVERIFY(m_window->listChanged);
        m_window->cmdSaveClick();
        QCOMPARE(catalogueLines(),
                 (QStringList{"[Main]", "zeta;Z.EXE;-1", "Alpha;A.EXE;0", "[Utilities]",
                              "Viewer;VIEW.EXE;1", "[Empty]", "110"}));
    }

    void sortThenExitAsksToSave() {
        m_window->lstDesc->setCurrentRow(0);
        m_window->cmdSort->click();
        QCOMPARE(rowsOf(m_window->lstDesc), (QStringList{"  Alpha", "  zeta"}));
        QVERIFY(m_window->lstDesc->selectedItems().isEmpty());
        QVERIFY(!m_window->cmdInstall->isVisible());
        QCOMPARE(m_window->catalogue().noteIndex, (std::vector<int>{0, -1}));
        QCOMPARE(readFromDisc(("qubrix.dat")), threeCategories);

        dialogs().answers = {DialogService::Answer::Yes};
        m_window->mnuExitClick();
        QCOMPARE(dialogs().boxes.size(), 1);
        QCOMPARE(dialogs().boxes[0].caption, QString("Confirm SAVE"));
        QCOMPARE(dialogs().boxes[0].text, QString("List has changed--Save before exiting?"));
        QCOMPARE(catalogueLines().mid(0, 3),
                 (QStringList{"[Main]", "Alpha;A.EXE;0", "zeta;Z.EXE;-1"}));
    }

    void sortOfAnOrderedCategoryIsNoChange() {
        selectCategory(1);
        m_window->cmdSort->click();
        QVERIFY(!m_window->listChanged);
        m_window->mnuExitClick();
        QVERIFY(dialogs().boxes.isEmpty());
    }
};

QTEST_MAIN(TestCategories)
#include "tst_categories.moc"
