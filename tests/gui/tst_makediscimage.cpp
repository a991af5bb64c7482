#include "guitestbase.h"
#include "linux/medium/makediscimagecommand.h"
#include "readonlyfolder.h"
#include "testfiles.h"

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
    void proposesAPlaceAndALabel_data();
    void proposesAPlaceAndALabel();
    void offersToSaveChangesFirst_data();
    void offersToSaveChangesFirst();
};

void TestMakeDiscImage::asksChecksAndMakes_data() {
    QTest::addColumn<QString>("trouble");
    // The places chosen in turn, beside the disc unless inside it; "sealed" takes no file.
    QTest::addColumn<QStringList>("outputs");
    QTest::addColumn<bool>("acceptWarnings");
    QTest::addColumn<QStringList>("boxes"); // caption icon: a piece of the text
    QTest::addColumn<bool>("made");
    QTest::newRow("clean")
        << "" << QStringList{"d.iso"} << false
        << QStringList{"Information: holds the disc labelled \"My Label\", read back"} << true;
    QTest::newRow("save dialog canceled")
        << "" << QStringList{""} << false << QStringList{} << false;
    QTest::newRow("output inside the disc")
        << "" << QStringList{"inside/d.iso"} << false << QStringList{"Error: lies inside"} << false;
    QTest::newRow("output folder missing, then canceled")
        << "" << QStringList{"missing/d.iso", ""} << false
        << QStringList{"Error: missing for the image is not there"} << false;
    QTest::newRow("output folder read-only, then another place")
        << "" << QStringList{"sealed/d.iso", "d.iso"} << false
        << QStringList{"Error: No image can be written in", "Information: read back"} << true;
    QTest::newRow("warning declined") << "long" << QStringList{"d.iso"} << false
                                      << QStringList{"Warning: more than 64 characters"} << false;
    QTest::newRow("warning accepted")
        << "long" << QStringList{"d.iso"} << true
        << QStringList{"Warning: more than 64 characters", "Information: read back"} << true;
    QTest::newRow("many warnings cut") << "many" << QStringList{"d.iso"} << false
                                       << QStringList{"Warning: ... and 3 more."} << false;
    QTest::newRow("error stops") << "link" << QStringList{"d.iso"} << true
                                 << QStringList{"Error: mend the errors"} << false;
    QTest::newRow("never prepared") << "unprepared" << QStringList{"d.iso"} << false
                                    << QStringList{"Warning: was never prepared"} << false;
    QTest::newRow("listing leads nowhere")
        << "listing" << QStringList{"d.iso"} << true
        << QStringList{"Warning: [Main] Gone: TOOLS\\GONE.EXE /S leads to no file on the disc",
                       "Information: read back"}
        << true;
}

void TestMakeDiscImage::asksChecksAndMakes() {
    QFETCH(QString, trouble);
    QFETCH(QStringList, outputs);
    QFETCH(bool, acceptWarnings);
    QFETCH(QStringList, boxes);
    QFETCH(bool, made);
    writeOnDisc("qubrix.dat", trouble == "listing"
                                  ? "[Main]\r\nHello;TOOLS\\HELLO.SH;-1\r\n"
                                    "Gone;TOOLS\\GONE.EXE /S;-1\r\n111\r\n"
                                  : "[Main]\r\nHello;TOOLS\\hello.sh;-1\r\n111\r\n");
    writeOnDisc("TOOLS/hello.sh", "#!/bin/sh\necho hello\n", true);
    if (trouble != "unprepared") {
        writeOnDisc("autorun.sh", "#!/bin/sh\n", true);
        writeOnDisc(".qubrix/bin/qubrix", "", true);
    }
    if (trouble == "long")
        writeOnDisc(QString(65, 'n'), "");
    for (int i = 0; trouble == "many" && i < 15; ++i)
        writeOnDisc(QString(65, QChar('a' + i)), "");
    if (trouble == "link")
        QVERIFY(QFile::link("/etc/passwd", discPath() + "/passwd"));
    QTemporaryDir beside;
    ReadOnlyFolder sealed(beside.path() + "/sealed");
    QVERIFY(sealed.seal());
    QString image;
    for (const QString& output : outputs) {
        image = output.startsWith("inside/") ? discPath() + output.mid(6)
                : output.isEmpty()           ? QString()
                                             : beside.path() + "/" + output;
        dialogs().savedFiles.push_back(image);
    }
    dialogs().textAnswers.push_back("My Label");
    if (acceptWarnings)
        dialogs().answers.push_back(DialogService::Answer::Yes);

    qubrix::CatalogueDocument document(QFile::encodeName(discPath() + "/").toStdString(),
                                       QFile::encodeName(discPath()).toStdString());
    QWidget window;
    QAction action(&window);
    MakeDiscImageCommand command(
        document, services(), [] { return true; }, &action, &window);
    action.trigger();

    QCOMPARE(dialogs().savePickers.size(), outputs.size());
    QVERIFY(dialogs().savePickers[0][1].endsWith(".iso"));
    // Asked again, the picker starts at the place refused.
    if (outputs.size() > 1)
        QCOMPARE(dialogs().savePickers[1][1], beside.path() + "/" + outputs[0]);
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

void TestMakeDiscImage::proposesAPlaceAndALabel_data() {
    QTest::addColumn<bool>("parentSealed");
    QTest::addColumn<QString>("mediumLabel"); // of a medium whose top is the disc's folder
    QTest::addColumn<bool>("home");
    QTest::addColumn<QString>("label");
    QTest::newRow("a folder") << false << "" << false << "My Disc";
    QTest::newRow("a folder in a read-only one") << true << "" << true << "My Disc";
    QTest::newRow("the top of a labelled medium")
        << false << "Medium \u00e9" << false << "Medium \u00e9";
}

void TestMakeDiscImage::proposesAPlaceAndALabel() {
    QFETCH(bool, parentSealed);
    QFETCH(QString, mediumLabel);
    QFETCH(bool, home);
    QFETCH(QString, label);
    const QString parent = discPath() + "/parent";
    ReadOnlyFolder sealed(parent);
    const QString disc = parent + "/My Disc";
    writeFile(disc + "/qubrix.dat", "[Main]\r\n111\r\n");
    QVERIFY(!parentSealed || sealed.seal());
    files().mountPoint = mediumLabel.isEmpty() ? "/" : disc;
    files().label = mediumLabel;
    QTemporaryDir elsewhere;
    dialogs().savedFiles.push_back(elsewhere.path() + "/d.iso");

    qubrix::CatalogueDocument document(QFile::encodeName(disc + "/").toStdString(),
                                       QFile::encodeName(disc).toStdString());
    QWidget window;
    QAction action(&window);
    MakeDiscImageCommand command(
        document, services(), [] { return true; }, &action, &window);
    action.trigger();
    QCOMPARE(dialogs().savePickers.size(), 1);
    QCOMPARE(dialogs().savePickers[0][1], (home ? QDir::homePath() : parent) + "/My Disc.iso");
    QCOMPARE(dialogs().textQuestions.size(), 1);
    QCOMPARE(dialogs().textQuestions[0][2], label);
}

void TestMakeDiscImage::offersToSaveChangesFirst_data() {
    QTest::addColumn<DialogService::Answer>("answer");
    QTest::addColumn<bool>("goesOn");
    QTest::addColumn<QByteArray>("catalogue");
    QTest::newRow("Cancel stops") << DialogService::Answer::Cancel << false
                                  << QByteArray("[Main]\r\n110\r\n");
    QTest::newRow("Yes saves") << DialogService::Answer::Yes << true
                               << QByteArray("[Main]\r\n111\r\n");
    QTest::newRow("No goes on") << DialogService::Answer::No << true
                                << QByteArray("[Main]\r\n110\r\n");
}

// Through the window, whose catalogue holds a change not saved yet.
void TestMakeDiscImage::offersToSaveChangesFirst() {
    QFETCH(DialogService::Answer, answer);
    QFETCH(bool, goesOn);
    QFETCH(QByteArray, catalogue);
    QVERIFY(createWindows());
    trigger("chkRoot");
    QCOMPARE(readFromDisc("qubrix.dat"), QByteArray("[Main]\r\n110\r\n"));
    dialogs().answers.push_back(answer);
    trigger("mnuMakeImage");
    QCOMPARE(dialogs().boxes.size(), 1);
    QCOMPARE(dialogs().boxes[0].caption, "Make Disc Image");
    QCOMPARE(dialogs().boxes[0].buttons, DialogService::Buttons::YesNoCancel);
    QCOMPARE(dialogs().savePickers.size(), goesOn ? 1 : 0);
    QCOMPARE(readFromDisc("qubrix.dat"), catalogue);
}

QTEST_MAIN(TestMakeDiscImage)
#include "tst_makediscimage.moc"
