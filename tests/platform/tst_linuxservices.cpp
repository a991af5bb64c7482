#include "modalanswer.h"
#include "platform/linuxdesktopservice.h"
#include "platform/linuxdialogservice.h"
#include "platform/linuxfileservice.h"
#include "platform/linuxprocessservice.h"
#include "testfiles.h"

#include <QAbstractButton>
#include <QFile>
#include <QMessageBox>
#include <QTemporaryDir>
#include <QTest>

#include <unistd.h>

// The real services on this machine: a real file's attributes, a real message box, real
// program starts.
class TestLinuxServices : public QObject {
    Q_OBJECT

private:
    QTemporaryDir m_dir;
    QString inDir(const QString& name) const { return m_dir.filePath(name); }

private slots:
    void readOnlyIsSetAndClearedOnARealFile();
    void attributesOfAMissingFile();
    void messageBoxShowsIconAndButtons_data();
    void messageBoxShowsIconAndButtons();
    void argumentsReachTheProgramLiterally();
    void aFailedStartCallsNothing();
    void soundCodeIsLoadedAtTheFirstSound();
};

void TestLinuxServices::readOnlyIsSetAndClearedOnARealFile() {
    LinuxFileService files;
    const QString path = inDir("qubrix.dat");
    writeFile(path, "[Main]\r\n110\r\n");
    QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup |
                                    QFile::WriteGroup | QFile::ReadOther);
    QCOMPARE(files.fileAttributes(path)->readOnly, false);

    QVERIFY(files.setReadOnly(path));
    QCOMPARE(QFile::permissions(path) & (QFile::WriteOwner | QFile::WriteGroup | QFile::WriteOther),
             QFile::Permissions());
    QVERIFY(QFile::permissions(path) & QFile::ReadOther);
    QCOMPARE(files.fileAttributes(path)->readOnly, true);

    // Clearing gives the owner alone write access back.
    QVERIFY(files.clearReadOnly(path));
    QVERIFY(QFile::permissions(path) & QFile::WriteOwner);
    QVERIFY(!(QFile::permissions(path) & QFile::WriteGroup));
    QCOMPARE(files.fileAttributes(path)->readOnly, false);
}

void TestLinuxServices::attributesOfAMissingFile() {
    LinuxFileService files;
    QCOMPARE(files.fileAttributes(inDir("absent")), std::nullopt);
    QVERIFY(!files.setReadOnly(inDir("absent")));
    QVERIFY(!files.clearReadOnly(inDir("absent")));
    QCOMPARE(files.currentDirectory(), QDir::currentPath());
}

void TestLinuxServices::messageBoxShowsIconAndButtons_data() {
    QTest::addColumn<int>("icon");
    QTest::addColumn<int>("buttons");
    QTest::addColumn<QString>("press");
    QTest::addColumn<int>("answer");
    QTest::addColumn<int>("shownIcon");
    QTest::addColumn<QStringList>("shownButtons");
    using D = DialogService;
    QTest::newRow("warning, yes") << int(D::Icon::Warning) << int(D::Buttons::YesNo) << "Yes"
                                  << int(D::Answer::Yes) << int(QMessageBox::Warning)
                                  << QStringList{"Yes", "No"};
    QTest::newRow("information, no")
        << int(D::Icon::Information) << int(D::Buttons::YesNo) << "No" << int(D::Answer::No)
        << int(QMessageBox::Information) << QStringList{"Yes", "No"};
    QTest::newRow("error, ok") << int(D::Icon::Error) << int(D::Buttons::Ok) << "OK"
                               << int(D::Answer::Ok) << int(QMessageBox::Critical)
                               << QStringList{"OK"};
    QTest::newRow("no icon") << int(D::Icon::None) << int(D::Buttons::Ok) << "OK"
                             << int(D::Answer::Ok) << int(QMessageBox::NoIcon) << QStringList{"OK"};
    QTest::newRow("replace question, no to all")
        << int(D::Icon::Warning) << int(D::Buttons::YesNoAllCancel) << "No to All"
        << int(D::Answer::NoToAll) << int(QMessageBox::Warning)
        << QStringList{"Yes", "Yes to All", "No", "No to All", "Cancel"};
}

void TestLinuxServices::messageBoxShowsIconAndButtons() {
    QFETCH(int, icon);
    QFETCH(int, buttons);
    QFETCH(QString, press);
    QFETCH(int, answer);
    QFETCH(int, shownIcon);
    QFETCH(QStringList, shownButtons);
    const QString text = "Cannot create file /media/disc/qubrix.dat";
    LinuxDialogService dialogs;
    ModalAnswer answering(press, [&](QWidget* shown) {
        auto* box = qobject_cast<QMessageBox*>(shown);
        QVERIFY(box);
        QCOMPARE(box->text(), text);
        QCOMPARE(box->windowTitle(), QString("Caption"));
        QCOMPARE(int(box->icon()), shownIcon);
        QStringList captions;
        for (QAbstractButton* button : box->buttons()) {
            if (button->isVisible())
                captions << button->text().remove('&');
        }
        captions.sort();
        shownButtons.sort();
        QCOMPARE(captions, shownButtons);
    });
    const auto given = dialogs.messageBox(text, "Caption", DialogService::Icon(icon),
                                          DialogService::Buttons(buttons));
    QVERIFY(!answering.pending());
    QCOMPARE(int(given), answer);
}

namespace {

// Writes its working directory and then each argument on a line of its own to args.txt in
// its working directory.
const QByteArray argsScript = "#!/bin/sh\n"
                              "pwd > args.txt\n"
                              "for a in \"$@\"; do printf '%s\\n' \"$a\" >> args.txt; done\n";

} // namespace

void TestLinuxServices::argumentsReachTheProgramLiterally() {
    LinuxProcessService processes;
    writeFile(inDir("args.sh"), argsScript, true);
    bool started = false;
    QVERIFY(processes.runAndWait(inDir("args.sh"), {"$(touch x); rm y", "`id`", ""}, m_dir.path(),
                                 [&] { started = true; }));
    QVERIFY(started);
    QCOMPARE(readAll(inDir("args.txt")), m_dir.path().toUtf8() + "\n$(touch x); rm y\n`id`\n\n");
    QVERIFY(!QFile::exists(inDir("x")));
}

void TestLinuxServices::aFailedStartCallsNothing() {
    LinuxProcessService processes;
    writeFile(inDir("setup.exe"), "MZ");
    bool started = false;
    QVERIFY(!processes.runAndWait(inDir("none.sh"), {}, m_dir.path(), [&] { started = true; }));
    QVERIFY(!processes.runAndWait(inDir("setup.exe"), {}, m_dir.path(), [&] { started = true; }));
    QVERIFY(!started);
}

namespace {

bool libraryIsMapped(const QByteArray& name) {
    QFile maps("/proc/self/maps");
    return maps.open(QIODevice::ReadOnly) && maps.readAll().contains("/" + name);
}

} // namespace

// A start that never sounds does not load the sound code and PulseAudio's library; the first
// sound opens the sound library, which this test program does not link. Qt Network, which Qt
// Multimedia would bring along, is loaded neither way.
void TestLinuxServices::soundCodeIsLoadedAtTheFirstSound() {
    QVERIFY(!libraryIsMapped("libpulse-simple.so"));
    QVERIFY(!libraryIsMapped("libqubrix_sound.so"));
    LinuxDialogService dialogs;
    LinuxDesktopService desktop(dialogs);
    desktop.playSound1000();
    QVERIFY(libraryIsMapped("libqubrix_sound.so"));
    QVERIFY(libraryIsMapped("libpulse-simple.so"));
    QVERIFY(!libraryIsMapped("libQt6Network.so"));
}

QTEST_MAIN(TestLinuxServices)
#include "tst_linuxservices.moc"
