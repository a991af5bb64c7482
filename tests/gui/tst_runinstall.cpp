#include "app/frmmain.h"
#include "fakeplatform.h"
#include "testfiles.h"

#include <QAction>
#include <QDir>
#include <QFile>
#include <QListWidget>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QToolButton>

#include <memory>

namespace {

// One category whose rows are the cases below; the stored paths are Windows-1252 bytes. A
// stored path ends at the next ";", so the shell syntax here does without one.
const QByteArray catalogue = "[Disc]\r\n"
                             "Setup;SETUP\\SETUP.EXE;-1\r\n"
                             "Setup quietly;  setup\\setup.exe /s <drive>\\data  ;-1\r\n"
                             "Read me;readme.txt;-1\r\n"
                             "Caf\xe9 menu;DOCS\\CAF\xc9.TXT;-1\r\n"
                             "Hello;TOOLS\\HELLO.SH \"a b\" $(touch x) && rm y;-1\r\n"
                             "110\r\n";
enum Row { Setup, SetupQuietly, ReadMe, Cafe, Hello };

} // namespace

class TestRunInstall : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<QTemporaryDir> m_disc;
    std::unique_ptr<FakePlatform> m_platform;
    std::unique_ptr<TfrmMain> m_window;

    QString onDisc(const QString& relative) const { return m_disc->path() + '/' + relative; }
    void select(int row) {
        m_window->lstDesc->clearSelection();
        m_window->lstDesc->setCurrentRow(row, QItemSelectionModel::Select);
        m_window->lstDescClick();
    }

private slots:
    void init() {
        m_disc = std::make_unique<QTemporaryDir>();
        // The disc as a plain ISO 9660 image shows it here: names in small letters.
        writeFile(onDisc("qubrix.dat"), catalogue);
        writeFile(onDisc("setup/setup.exe"), "MZ");
        writeFile(onDisc("readme.txt"), "text");
        writeFile(onDisc(QString::fromUtf8("docs/CAF\u00c9.txt")), "text");
        writeFile(onDisc("tools/hello.sh"), "#!/bin/sh\n", true);
        m_platform = std::make_unique<FakePlatform>();
        m_platform->directory = m_disc->path();
        m_platform->mountPoint = m_disc->path();
        m_window = std::make_unique<TfrmMain>(*m_platform);
        QVERIFY(m_window->FormCreate());
        QCOMPARE(m_window->lstDesc->count(), 5);
    }
    void cleanup() {
        m_window.reset();
        m_platform.reset();
        m_disc.reset();
    }

    void soundPlaysOnEveryInvocationFromEachControl() {
        m_window->cmdInstallClick();
        QCOMPARE(m_platform->sounds, 1);
        QVERIFY(m_platform->boxes.isEmpty());
        QCOMPARE(m_platform->beeps, 0);

        select(Setup);
        m_window->cmdInstall->click();
        m_window->ToolInstall->click();
        m_window->mnuInstall->trigger();
        QCOMPARE(m_platform->sounds, 4);
        QCOMPARE(m_platform->boxes.size(), 3);
        QCOMPARE(m_platform->beeps, 3);
    }

    void noStartsNothing() {
        select(Setup);
        m_window->cmdInstallClick();
        QCOMPARE(m_platform->boxes.size(), 1);
        const FakePlatform::Box& box = m_platform->boxes.first();
        QCOMPARE(box.text, onDisc("SETUP/SETUP.EXE"));
        QCOMPARE(box.caption, QString("Confirm installation"));
        QCOMPARE(box.icon, Platform::Icon::Warning);
        QCOMPARE(box.buttons, Platform::Buttons::YesNo);
        QCOMPARE(m_platform->beeps, 1);
        QVERIFY(m_platform->runs.isEmpty());
        QVERIFY(m_platform->openedUrls.isEmpty());
    }

    void yesStartsWhatTheLineNames_data() {
        QTest::addColumn<int>("row");
        QTest::addColumn<QString>("question");
        QTest::addColumn<QString>("program");
        QTest::addColumn<QStringList>("arguments");
        // "@" stands for the disc's path.
        QTest::newRow("placeholder in arguments")
            << int(SetupQuietly) << "@/setup/setup.exe /s @/data"
            << "wine" << QStringList{"@/setup/setup.exe", "/s", "@/data"};
        QTest::newRow("script with shell syntax")
            << int(Hello) << "@/TOOLS/HELLO.SH \"a b\" $(touch x) && rm y"
            << "@/tools/hello.sh" << QStringList{"a b", "$(touch", "x)", "&&", "rm", "y"};
    }
    void yesStartsWhatTheLineNames() {
        QFETCH(int, row);
        QFETCH(QString, question);
        QFETCH(QString, program);
        QFETCH(QStringList, arguments);
        const QString disc = m_disc->path();
        arguments.replaceInStrings("@", disc);
        m_platform->answers = {Platform::Answer::Yes};
        select(row);
        m_window->cmdInstallClick();
        QCOMPARE(m_platform->boxes.size(), 1);
        QCOMPARE(m_platform->boxes.first().text, question.replace("@", disc));
        QCOMPARE(m_platform->runs.size(), 1);
        QCOMPARE(m_platform->runs.first().program, program.replace("@", disc));
        QCOMPARE(m_platform->runs.first().arguments, arguments);
        QCOMPARE(m_platform->runs.first().workingDirectory, m_platform->directory);
        QVERIFY(m_platform->openedUrls.isEmpty());
        QVERIFY(!m_window->programRunning);
    }

    void documentsOpenThroughTheDesktop() {
        m_platform->answers = {Platform::Answer::Yes, Platform::Answer::Yes};
        select(ReadMe);
        m_window->cmdInstallClick();
        select(Cafe);
        m_window->cmdInstallClick();
        QCOMPARE(m_platform->boxes.at(1).text, onDisc(QString::fromUtf8("DOCS/CAF\u00c9.TXT")));
        QCOMPARE(
            m_platform->openedUrls,
            (QList<QUrl>{QUrl::fromLocalFile(onDisc("readme.txt")),
                         QUrl::fromLocalFile(onDisc(QString::fromUtf8("docs/CAF\u00c9.txt")))}));
        QVERIFY(m_platform->runs.isEmpty());
    }

    void failedStartIsReported() {
        m_platform->whileRunning = nullptr;
        m_platform->answers = {Platform::Answer::Yes};
        select(Setup);
        m_window->cmdInstallClick();
        QCOMPARE(m_platform->runs.size(), 1);
        QCOMPARE(m_platform->boxes.size(), 2);
        const FakePlatform::Box& box = m_platform->boxes.at(1);
        QCOMPARE(box.text, QString("Error loading file!"));
        QCOMPARE(box.caption, QString("Error"));
        QCOMPARE(box.icon, Platform::Icon::Error);
        QCOMPARE(box.buttons, Platform::Buttons::Ok);
        QCOMPARE(m_platform->beeps, 2);
        QVERIFY(!m_window->programRunning);
        QVERIFY(!m_window->isMinimized());
    }

    void secondRunOnlyPlaysTheSoundWhileAProgramRuns() {
        m_window->show();
        bool checkedWhileRunning = false;
        m_platform->whileRunning = [&] {
            checkedWhileRunning = true;
            [&] {
                QVERIFY(m_window->programRunning);
                QVERIFY(m_window->isMinimized());
                select(ReadMe);
                m_window->cmdInstallClick();
                QCOMPARE(m_platform->sounds, 2);
                QCOMPARE(m_platform->boxes.size(), 1);
                QCOMPARE(m_platform->runs.size(), 1);
                QVERIFY(m_platform->openedUrls.isEmpty());
            }();
            return true;
        };
        m_platform->answers = {Platform::Answer::Yes};
        select(Hello);
        m_window->cmdInstallClick();
        QVERIFY(checkedWhileRunning);
        if (QTest::currentTestFailed())
            return;
        QVERIFY(!m_window->programRunning);
        QVERIFY(!m_window->isMinimized());

        m_platform->answers = {Platform::Answer::Yes};
        m_window->cmdInstallClick();
        QCOMPARE(m_platform->openedUrls, QList<QUrl>{QUrl::fromLocalFile(onDisc("readme.txt"))});
    }
};

QTEST_MAIN(TestRunInstall)
#include "tst_runinstall.moc"
