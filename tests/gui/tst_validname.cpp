#include "guitestbase.h"
#include "linux/naming/frmvalidname.h"

#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>
#include <QtTest>

class TestValidName : public GuiTestBase {
    Q_OBJECT

private slots:
    void layoutAndTexts();
    void answersSetRenameAccepted_data();
    void answersSetRenameAccepted();
    void helpLeavesTheDialogOpen();
};

void TestValidName::layoutAndTexts() {
    TfrmValidName dialog(services());
    QCOMPARE(dialog.windowTitle(), "Qubrix");
    QCOMPARE(dialog.size(), QSize(433, 267));
    QCOMPARE(dialog.minimumSize(), dialog.maximumSize());
    const struct {
        const char* name;
        QRect geometry;
        QString text;
        QString hint;
    } controls[] = {
        {"Panel1", {0, 0, 433, 33}, {}, {}},
        {"Memo2",
         {8, 8, 417, 17},
         "The following must be renamed to be compatible with ISO 9660 naming conventions.",
         {}},
        {"Image1", {392, 32, 38, 60}, {}, {}},
        {"lblLocation", {8, 48, 95, 13}, "Folder Location:", {}},
        {"lblPath", {112, 48, 289, 13}, "", {}},
        {"lblName", {8, 72, 96, 13}, "Folder name:", {}},
        {"lblFName", {112, 72, 281, 13}, "", {}},
        {"lblChange", {25, 99, 81, 13}, "Change name to:", {}},
        {"Edit1", {112, 96, 297, 21}, "", {}},
        {"Panel2", {0, 136, 433, 129}, {}, {}},
        {"GroupBox1", {8, 152, 417, 57}, " Valid names: ", {}},
        {"Memo1",
         {8, 16, 401, 33},
         "File names must be at most 8 characters long plus a maximum 3 character extension. \n"
         "They must contain only the characters 'A' - 'Z', '0' - '9' and the underscore ('_').",
         {}},
        {"cmdChange", {24, 88, 73, 25}, "&Change", "Change file/path name(s)"},
        {"cmdCancel", {120, 88, 73, 25}, "&Skip", "Keep current file/path name"},
        {"cmdHelp", {336, 88, 73, 25}, "&Help", "View help"},
    };
    for (const auto& c : controls) {
        QWidget* control = dialog.findChild<QWidget*>(c.name);
        QVERIFY2(control, c.name);
        QCOMPARE(control->geometry(), c.geometry);
        QCOMPARE(control->toolTip(), c.hint);
        if (c.text.isNull())
            continue;
        if (auto* label = qobject_cast<QLabel*>(control))
            QCOMPARE(label->text(), c.text);
        else if (auto* edit = qobject_cast<QLineEdit*>(control))
            QCOMPARE(edit->text(), c.text);
        else if (auto* box = qobject_cast<QGroupBox*>(control))
            QCOMPARE(box->title(), c.text);
        else if (auto* button = qobject_cast<QPushButton*>(control))
            QCOMPARE(button->text(), c.text);
    }
    for (const char* name : {"cmdChange", "cmdCancel", "cmdHelp"}) {
        auto* button = dialog.findChild<QPushButton*>(name);
        QCOMPARE(button->parentWidget(), dialog.Panel2);
        QVERIFY(button->isFlat());
        QVERIFY(!button->icon().isNull());
    }
    // The picture is painted at the first show, not at start-up.
    QVERIFY(dialog.Image1->pixmap().isNull());
    dialog.show();
    QVERIFY(!dialog.Image1->pixmap().isNull());
    dialog.close();
}

void TestValidName::answersSetRenameAccepted_data() {
    QTest::addColumn<QString>("answer");
    QTest::addColumn<bool>("accepted");
    QTest::newRow("Change") << "cmdChange" << true;
    QTest::newRow("Skip") << "cmdCancel" << false;
    QTest::newRow("Escape") << "Escape" << false;
    QTest::newRow("close box") << "close" << false;
}

void TestValidName::answersSetRenameAccepted() {
    QFETCH(QString, answer);
    QFETCH(bool, accepted);
    TfrmValidName dialog(services());
    dialog.renameAccepted = !accepted;
    QPoint shownAt;
    QTimer::singleShot(0, &dialog, [&] {
        shownAt = dialog.pos();
        if (answer == "Escape")
            QTest::keyClick(&dialog, Qt::Key_Escape);
        else if (answer == "close")
            dialog.close();
        else
            dialog.findChild<QPushButton*>(answer)->click();
    });
    dialog.exec();
    QCOMPARE(dialog.renameAccepted, accepted);
    QVERIFY(dialog.isHidden());
    QCOMPARE(shownAt, QPoint(TfrmValidName::designedLeft, TfrmValidName::designedTop));
}

void TestValidName::helpLeavesTheDialogOpen() {
    TfrmValidName dialog(services());
    bool openAfterHelp = false;
    QTimer::singleShot(0, &dialog, [&] {
        dialog.cmdHelp->click();
        openAfterHelp = dialog.isVisible();
        dialog.cmdChange->click();
    });
    dialog.exec();
    QVERIFY(openAfterHelp);
    QCOMPARE(desktop().helpRequests, 1);
    QVERIFY(dialog.renameAccepted);
}

QTEST_MAIN(TestValidName)
#include "tst_validname.moc"
