#include "guitestbase.h"
#include "linux/about/aboutbox.h"

#include <QLabel>
#include <QPushButton>
#include <QtTest>

// Every program built on the windows carries the program's version record, this test
// included, so the box reads the real record from its own executable file.
class TestAboutBox : public GuiTestBase {
    Q_OBJECT

private slots:
    void textsAndPictures();
    void theArrowPointsAtTheUpdateButtonFromBeneath();
    void updateAskedYesOpensTheHomePage();
    void updateAskedNoOpensNothing();
    void okAndCloseBoxCloseTheBox();

private:
    TAboutBox& box() { return *windows().AboutBox; }
    template <typename Widget> Widget* control(const char* name) {
        auto* widget = box().findChild<Widget*>(name);
        if (!widget)
            qFatal("no control %s", name);
        return widget;
    }
};

void TestAboutBox::textsAndPictures() {
    QVERIFY(createWindows());
    QCOMPARE(box().windowTitle(), "Qubrix");
    QCOMPARE(box().size(), QSize(298, 192));

    // Start-up neither reads the version nor paints the pictures; the first show does.
    QVERIFY(control<QLabel>("Version")->text().isEmpty());
    QVERIFY(control<QLabel>("Image1")->pixmap().isNull());
    box().show();
    QCOMPARE(control<QLabel>("Version")->text(), "3.1.2.9");
    QVERIFY(!control<QLabel>("Copyright")->text().isEmpty());
    QVERIFY(!control<QLabel>("Image1")->pixmap().isNull());
    QVERIFY(!control<QLabel>("Image2")->pixmap().isNull());
    QCOMPARE(control<QPushButton>("cmdUpdate")->text(), "&Update");
    QCOMPARE(control<QPushButton>("cmdUpdate")->toolTip(), "Check for updates on Internet");
    QCOMPARE(control<QPushButton>("OKButton")->text(), "&OK");
    QCOMPARE(control<QPushButton>("OKButton")->toolTip(), "Close");
    box().close();
}

void TestAboutBox::theArrowPointsAtTheUpdateButtonFromBeneath() {
    QVERIFY(createWindows());
    auto* panel = control<QWidget>("Panel1");
    const QRect button = control<QWidget>("cmdUpdate")->geometry();
    const QRect arrow = control<QWidget>("Image2")->geometry();
    QCOMPARE(panel->childAt(230, 70), control<QWidget>("cmdUpdate"));
    QCOMPARE(panel->childAt(260, 110), control<QWidget>("Image2"));
    QVERIFY(arrow.top() > button.bottom());
    QVERIFY(panel->contentsRect().contains(arrow));
    QVERIFY(!arrow.intersects(control<QWidget>("Copyright")->geometry()));
    // The arrow keeps its proportions, 61 x 80.
    QVERIFY(qAbs(arrow.width() * 80 - arrow.height() * 61) <= 80);
}

void TestAboutBox::updateAskedYesOpensTheHomePage() {
    QVERIFY(createWindows());
    dialogs().answers = {DialogService::Answer::Yes};
    answerNextModal("OK", [this](QWidget* shown) {
        QCOMPARE(shown, &box());
        trigger("cmdUpdate");
        QVERIFY(box().isVisible());
    });
    trigger("About1");

    QCOMPARE(dialogs().boxes.size(), 1);
    QCOMPARE(dialogs().boxes[0].text, "Update via the Internet?");
    QCOMPARE(dialogs().boxes[0].caption, "Connect to the Internet");
    QCOMPARE(dialogs().boxes[0].icon, DialogService::Icon::Information);
    QCOMPARE(dialogs().boxes[0].buttons, DialogService::Buttons::YesNo);
    QCOMPARE(dialogs().beeps, 1);
    QCOMPARE(desktop().openedUrls, QList<QUrl>{TAboutBox::makerHomePage()});
    QVERIFY(TAboutBox::makerHomePage().isValid());
}

void TestAboutBox::updateAskedNoOpensNothing() {
    QVERIFY(createWindows());
    dialogs().answers = {DialogService::Answer::No};
    answerNextModal("OK", [this](QWidget*) {
        trigger("cmdUpdate");
        QVERIFY(box().isVisible());
    });
    trigger("About1");
    QCOMPARE(dialogs().boxes.size(), 1);
    QVERIFY(desktop().openedUrls.isEmpty());
}

void TestAboutBox::okAndCloseBoxCloseTheBox() {
    QVERIFY(createWindows());
    answerNextModal("OK");
    trigger("About1");
    QVERIFY(!box().isVisible());

    // The close box closes it as well; shown again, the box has the same texts.
    QTimer::singleShot(0, &box(), [this] { box().close(); });
    trigger("About1");
    QVERIFY(!box().isVisible());
    QCOMPARE(control<QLabel>("Version")->text(), "3.1.2.9");
    QVERIFY(dialogs().boxes.isEmpty());
}

QTEST_MAIN(TestAboutBox)
#include "tst_aboutbox.moc"
