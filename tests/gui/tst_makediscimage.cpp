#include "guitestbase.h"
#include "medium/makediscimagecommand.h"

#include <QAction>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QWidget>
#include <QtTest>

// The command asks for the image and the label through the dialog service, lets the check's
// errors stop it and its warnings be accepted or not, and makes the image only when it may.
class TestMakeDiscImage : public GuiTestBase {
    Q_OBJECT

private slots:
    void asksChecksAndMakes_data();
    void asksChecksAndMakes();
};

void TestMakeDiscImage::asksChecksAndMakes_data() {
    QTest::addColumn<QString>("trouble");
    QTest::addColumn<QString>("output"); // beside the disc unless inside it
    QTest::addColumn<bool>("acceptWarnings");
    QTest::addColumn<QStringList>("boxes"); // caption icon: a piece of the text
    QTest::addColumn<bool>("made");
    QTest::newRow("clean") << ""
                           << "d.iso" << false
                           << QStringList{"Information: holds the disc My Label"} << true;
    QTest::newRow("save dialog canceled") << ""
                                          << "" << false << QStringList{} << false;
    QTest::newRow("output inside the disc")
        << ""
        << "inside/d.iso" << false << QStringList{"Error: lies inside"} << false;
    QTest::newRow("warning declined")
        << "long"
        << "d.iso" << false << QStringList{"Warning: more than 64 characters"} << false;
    QTest::newRow("warning accepted")
        << "long"
        << "d.iso" << true
        << QStringList{"Warning: more than 64 characters", "Information: read back"} << true;
    QTest::newRow("many warnings cut")
        << "many"
        << "d.iso" << false << QStringList{"Warning: ... and 3 more."} << false;
    QTest::newRow("error stops") << "link"
                                 << "d.iso" << true << QStringList{"Error: mend the errors"}
                                 << false;
}

void TestMakeDiscImage::asksChecksAndMakes() {
    QFETCH(QString, trouble);
    QFETCH(QString, output);
    QFETCH(bool, acceptWarnings);
    QFETCH(QStringList, boxes);
    QFETCH(bool, made);
    writeOnDisc("qubrix.dat", "[Main]\r\n111\r\n");
    writeOnDisc("TOOLS/hello.sh", "#!/bin/sh\necho hello\n", true);
    if (trouble == "long")
        writeOnDisc(QString(65, 'n'), "");
    for (int i = 0; trouble == "many" && i < 15; ++i)
        writeOnDisc(QString(65, QChar('a' + i)), "");
    if (trouble == "link")
        QVERIFY(QFile::link("/etc/passwd", discPath() + "/passwd"));
    QTemporaryDir beside;
    const QString image = output.startsWith("inside/") ? discPath() + output.mid(6)
                          : output.isEmpty()           ? QString()
                                                       : beside.path() + "/" + output;
    dialogs().savedFiles.push_back(image);
    dialogs().textAnswers.push_back("My Label");
    if (acceptWarnings)
        dialogs().answers.push_back(DialogService::Answer::Yes);

    CatalogueDocument document(discPath() + "/", discPath());
    QWidget window;
    QAction action(&window);
    MakeDiscImageCommand command(document, services(), &action, &window);
    action.trigger();

    QCOMPARE(dialogs().savePickers.size(), 1);
    QVERIFY(dialogs().savePickers[0][1].endsWith(".iso"));
    QStringList told;
    for (const FakeDialogService::Box& box : dialogs().boxes) {
        QCOMPARE(box.caption, "Make Disc Image");
        const QString text = box.text + box.details;
        const char* icons[] = {"None", "Information", "Warning", "Error"};
        told.append(QString(icons[int(box.icon)]) + ": " + text);
    }
    QCOMPARE(told.size(), boxes.size());
    for (int i = 0; i < boxes.size(); ++i) {
        const QString icon = boxes[i].section(": ", 0, 0);
        QVERIFY2(told[i].startsWith(icon + ": ") && told[i].contains(boxes[i].section(": ", 1)),
                 qPrintable(told.join('\n')));
    }
    QCOMPARE(!image.isEmpty() && QFile::exists(image), made);
    QCOMPARE(QDir(beside.path()).entryList(QDir::Files | QDir::Hidden).size(), made ? 1 : 0);
}

QTEST_MAIN(TestMakeDiscImage)
#include "tst_makediscimage.moc"
