#include "about/aboutbox.h"
#include "fakeplatform.h"
#include "version/exever.h"

#include <QLabel>
#include <QPushButton>
#include <QtTest>

using qubrix::TExeVersion;

// Every program built on the windows carries the program's version record, this test
// included, so the box reads the real record from its own executable file.
class TestAboutBox : public QObject {
    Q_OBJECT

private slots:
    void ownRecordGivesTheTableValues();
    void layoutAndTexts();
    void updateButtonLiesOverTheArrow();
    void updateAskedYesOpensTheHomePage();
    void updateAskedNoOpensNothing();
    void okAndCloseBoxCloseTheBox();

private:
    template <typename Widget> static Widget* control(const TAboutBox& box, const char* name) {
        auto* widget = box.findChild<Widget*>(name);
        if (!widget)
            qFatal("no control %s", name);
        return widget;
    }
};

void TestAboutBox::ownRecordGivesTheTableValues() {
    QCOMPARE(TExeVersion::GetFileVersion(), "3.1.2.9");
    QCOMPARE(TExeVersion::GetProductVersion(), "3.0.0.0");
    QCOMPARE(TExeVersion::GetProductName(), "Qubrix");
    QCOMPARE(TExeVersion::GetOriginalFilename(), "menu.exe");
    QCOMPARE(TExeVersion::GetInternalName(), "qubrix.exe");
    QCOMPARE(TExeVersion::GetFileDescription(), "Qubrix menu program");
    QCOMPARE(TExeVersion::GetCompanyName(), "Qubrix Software");
    QVERIFY(!TExeVersion::GetLegalCopyright().empty());
    QCOMPARE(TExeVersion::GetLegalTrademarks(), "");
    QCOMPARE(TExeVersion::GetComments(), "");
    QCOMPARE(TExeVersion::GetMajorVersion(), "3.");
    QCOMPARE(TExeVersion::GetMinorVersion(), "1");
    QCOMPARE(TExeVersion::GetRelease(), "2");
    QCOMPARE(TExeVersion::GetBuild(), "9");
}

void TestAboutBox::layoutAndTexts() {
    FakePlatform platform;
    TAboutBox box(platform);
    QCOMPARE(box.windowTitle(), "Qubrix");
    QCOMPARE(box.size(), QSize(298, 192));
    const struct {
        const char* name;
        QRect geometry;
    } controls[] = {{"Panel1", {8, 8, 281, 145}},    {"Image1", {16, 16, 150, 72}},
                    {"Version", {184, 24, 89, 13}},  {"cmdUpdate", {184, 64, 73, 25}},
                    {"Image2", {216, 40, 61, 80}},   {"Copyright", {40, 120, 196, 13}},
                    {"OKButton", {112, 160, 65, 25}}};
    for (const auto& c : controls)
        QCOMPARE(control<QWidget>(box, c.name)->geometry(), c.geometry);

    QCOMPARE(control<QLabel>(box, "Version")->text(), "3.1.2.9");
    QVERIFY(!control<QLabel>(box, "Copyright")->text().isEmpty());
    QVERIFY(!control<QLabel>(box, "Image1")->pixmap().isNull());
    QVERIFY(!control<QLabel>(box, "Image2")->pixmap().isNull());
    QCOMPARE(control<QPushButton>(box, "cmdUpdate")->text(), "&Update");
    QCOMPARE(control<QPushButton>(box, "cmdUpdate")->toolTip(), "Check for updates on Internet");
    QCOMPARE(control<QPushButton>(box, "OKButton")->text(), "&OK");
    QCOMPARE(control<QPushButton>(box, "OKButton")->toolTip(), "Close");
}

void TestAboutBox::updateButtonLiesOverTheArrow() {
    FakePlatform platform;
    TAboutBox box(platform);
    auto* panel = control<QWidget>(box, "Panel1");
    QCOMPARE(panel->childAt(230, 70), control<QWidget>(box, "cmdUpdate"));
    QCOMPARE(panel->childAt(270, 110), control<QWidget>(box, "Image2"));
}

void TestAboutBox::updateAskedYesOpensTheHomePage() {
    FakePlatform platform;
    platform.answers = {Platform::Answer::Yes};
    TAboutBox box(platform);
    box.show();
    QTest::mouseClick(control<QPushButton>(box, "cmdUpdate"), Qt::LeftButton);

    QCOMPARE(platform.boxes.size(), 1);
    QCOMPARE(platform.boxes[0].text, "Update via the Internet?");
    QCOMPARE(platform.boxes[0].caption, "Connect to the Internet");
    QCOMPARE(platform.boxes[0].icon, Platform::Icon::Information);
    QCOMPARE(platform.boxes[0].buttons, Platform::Buttons::YesNo);
    QCOMPARE(platform.beeps, 1);
    QCOMPARE(platform.openedUrls, QList<QUrl>{TAboutBox::makerHomePage()});
    QVERIFY(TAboutBox::makerHomePage().isValid());
    QVERIFY(box.isVisible());
}

void TestAboutBox::updateAskedNoOpensNothing() {
    FakePlatform platform;
    platform.answers = {Platform::Answer::No};
    TAboutBox box(platform);
    box.show();
    QTest::mouseClick(control<QPushButton>(box, "cmdUpdate"), Qt::LeftButton);
    QCOMPARE(platform.boxes.size(), 1);
    QVERIFY(platform.openedUrls.isEmpty());
    QVERIFY(box.isVisible());
}

void TestAboutBox::okAndCloseBoxCloseTheBox() {
    FakePlatform platform;
    TAboutBox box(platform);
    for (const bool closeBox : {false, true}) {
        QTimer::singleShot(0, &box, [&] {
            if (closeBox)
                box.close();
            else
                QTest::mouseClick(control<QPushButton>(box, "OKButton"), Qt::LeftButton);
        });
        box.exec();
        QVERIFY(!box.isVisible());
        // Shown again, the box has the same texts.
        QCOMPARE(control<QLabel>(box, "Version")->text(), "3.1.2.9");
    }
    QVERIFY(platform.boxes.isEmpty());
}

QTEST_MAIN(TestAboutBox)
#include "tst_aboutbox.moc"
