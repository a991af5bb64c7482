#include "guitestbase.h"
#include "medium/preparemediumcommand.h"

#include <QAction>
#include <QDir>
#include <QWidget>
#include <QtTest>

// The command reports through the dialog service and leaves a folder it refuses as it was. A
// test program has no qubrix beside it to carry, so a folder with a catalogue is refused too.
class TestPrepareMedium : public GuiTestBase {
    Q_OBJECT

private slots:
    void refusalIsReportedAndChangesNothing_data();
    void refusalIsReportedAndChangesNothing();
};

void TestPrepareMedium::refusalIsReportedAndChangesNothing_data() {
    QTest::addColumn<bool>("withCatalogue");
    QTest::addColumn<QString>("told");
    QTest::newRow("no catalogue") << false << "holds no qubrix.dat";
    QTest::newRow("no program to carry") << true << "/qubrix is not there.";
}

void TestPrepareMedium::refusalIsReportedAndChangesNothing() {
    QFETCH(bool, withCatalogue);
    QFETCH(QString, told);
    if (withCatalogue)
        writeOnDisc("qubrix.dat", "[Main]\r\n111\r\n");
    const QStringList before =
        QDir(discPath()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot);
    CatalogueDocument document(discPath() + "/", discPath());
    QWidget window;
    QAction prepare(&window);
    PrepareMediumCommand command(document, services(), &prepare, &window);
    prepare.trigger();

    QCOMPARE(dialogs().boxes.size(), 1);
    const FakeDialogService::Box& box = dialogs().boxes.front();
    QVERIFY2(box.text.contains(told), qPrintable(box.text));
    QCOMPARE(box.caption, "Prepare Medium");
    QCOMPARE(box.icon, DialogService::Icon::Error);
    QCOMPARE(QDir(discPath()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
             before);
}

QTEST_MAIN(TestPrepareMedium)
#include "tst_preparemedium.moc"
