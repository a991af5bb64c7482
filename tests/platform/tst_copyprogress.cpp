#include "platform/copyprogressdialog.h"
#include "platform/linuxcopyservice.h"
#include "platform/linuxdialogservice.h"
#include "testfiles.h"

#include <QAbstractButton>
#include <QApplication>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <functional>
#include <utility>

namespace {

using qubrix::CopyReport;
using Outcome = qubrix::CopyReport::Outcome;

std::string native(const QString& path) {
    return QFile::encodeName(path).toStdString();
}

qubrix::CopyPlan folderCopy(const QString& disc, const QString& destination) {
    return qubrix::planCopy(native(disc), {"F\\X"}, qubrix::CopyMode::Folder, native(destination));
}

QWidget* visibleWindow(const QString& name) {
    for (QWidget* widget : QApplication::topLevelWidgets())
        if (widget->isVisible() && widget->objectName() == name)
            return widget;
    return nullptr;
}

// While it lives, calls act with the visible window of that name, from whichever event loop
// runs (the modal dialogs run their own), until act returns true.
class WhenShown {
public:
    WhenShown(const QString& name, std::function<bool(QWidget*)> act) {
        QObject::connect(&m_timer, &QTimer::timeout, [this, name, act] {
            if (QWidget* window = visibleWindow(name); window && act(window))
                m_timer.stop();
        });
        m_timer.start(10);
    }

private:
    QTimer m_timer;
};

void clickButton(QWidget* box, QMessageBox::StandardButton which) {
    static_cast<QMessageBox*>(box)->button(which)->click();
}

} // namespace

class TestCopyProgress : public QObject {
    Q_OBJECT

private:
    QTemporaryDir m_disc, m_home;
    LinuxDialogService m_dialogs;
    QString disc(const QString& relative) const { return m_disc.path() + '/' + relative; }
    QString home(const QString& relative) const { return m_home.path() + '/' + relative; }

private slots:
    void init() {
        QVERIFY(m_disc.isValid() && m_home.isValid());
        QDir(m_disc.path()).removeRecursively();
        QDir(m_home.path()).removeRecursively();
        QDir().mkpath(m_disc.path());
        QDir().mkpath(m_home.path());
    }
    void cleanup() { QVERIFY(QApplication::topLevelWidgets().size() <= 1); }

    void copiesWithoutAnyQuestionOrBox() {
        writeFile(disc("f/a.txt"), "a");
        writeFile(disc("f/sub/b.txt"), "b");
        bool boxShown = false;
        const WhenShown answer("reportBox", [&](QWidget* box) {
            boxShown = true;
            box->close();
            return true;
        });
        LinuxCopyService(m_dialogs).copy(folderCopy(m_disc.path(), home("out")));
        QVERIFY(!boxShown);
        QCOMPARE(readAll(home("out/a.txt")), QByteArray("a"));
        QCOMPARE(readAll(home("out/sub/b.txt")), QByteArray("b"));
    }

    void overwriteQuestionNamesTheFileWithBothSizesAndDates() {
        writeFile(disc("f/a.txt"), "new text");
        writeFile(disc("f/b.txt"), "new b");
        writeFile(home("a.txt"), "old");
        writeFile(home("b.txt"), "old");
        QStringList questions;
        const WhenShown answer("messageBox", [&](QWidget* box) {
            questions.append(static_cast<QMessageBox*>(box)->text());
            clickButton(box, QMessageBox::YesToAll);
            return true;
        });
        LinuxCopyService(m_dialogs).copy(folderCopy(m_disc.path(), m_home.path()));
        QCOMPARE(questions.size(), 1);
        QVERIFY2(questions[0].contains("\"" + home("a.txt") + "\" exists already"),
                 qPrintable(questions[0]));
        QVERIFY(questions[0].contains("3 bytes, modified 20"));
        QVERIFY(questions[0].contains("8 bytes, modified 20"));
        QCOMPARE(readAll(home("a.txt")), QByteArray("new text"));
        QCOMPARE(readAll(home("b.txt")), QByteArray("new b"));
    }

    void failuresEndInOneBox() {
        writeFile(disc("f/a.txt"), "a");
        QString text;
        const WhenShown answer("reportBox", [&](QWidget* box) {
            text = static_cast<QMessageBox*>(box)->text();
            clickButton(box, QMessageBox::Ok);
            return true;
        });
        LinuxCopyService(m_dialogs).copy(
            qubrix::planCopy(native(m_disc.path()), {"F\\A.TXT", "F\\GONE.TXT"},
                             qubrix::CopyMode::File, native(m_home.path())));
        QCOMPARE(text, "One file or folder could not be copied:\n" + disc("F/GONE.TXT") +
                           ": No such file or directory");
        QCOMPARE(readAll(home("a.txt")), QByteArray("a"));
    }

    void reportTexts() {
        CopyReport report;
        QCOMPARE(copyReportText(report, "/d"), QString());
        report.outcome = Outcome::Cancelled;
        QCOMPARE(copyReportText(report, "/d"), "The copy was cancelled. Nothing was copied.");
        report.filesCopied = 1;
        report.notCopied = {"/m/b", "/m/c"};
        QCOMPARE(copyReportText(report, "/d"),
                 "The copy was cancelled.\n\nNot copied:\n/m/b\n/m/c");
        report.outcome = Outcome::Refused;
        report.failures = {
            {"",
             "Cannot copy \"/m/a\" into \"/m/a/b\": the destination lies inside what is copied."}};
        QCOMPARE(
            copyReportText(report, "/d"),
            "Cannot copy \"/m/a\" into \"/m/a/b\": the destination lies inside what is copied.");
        report.outcome = Outcome::NoSpace;
        report.failures = {{"/d/big", "No space left on device"}};
        report.notCopied = {"/m/next"};
        QCOMPARE(copyReportText(report, "/d"),
                 "The copy stopped: there is no space left in \"/d\".\n\nNot copied:\n"
                 "/d/big: No space left on device\n/m/next");
        report.notCopied.clear();
        report.outcome = Outcome::Finished;
        report.failures.assign(20, {"/d/x", "Permission denied"});
        const QString text = copyReportText(report, "/d");
        QVERIFY(text.startsWith("20 files or folders could not be copied:\n/d/x: "));
        QVERIFY(text.endsWith("...and 8 more: see the details."));
        QCOMPARE(notCopiedList(report).size(), 20);
    }

    // Cancel or Escape, given with the Yes to replacing "big" while the copy waits for it, stops
    // the copy: the old file stays, no unfinished copy is left, and what follows is not copied.
    // A Cancel while the question is still open ends the copy without waiting for the answer.
    void cancels_data() {
        QTest::addColumn<bool>("escape");
        QTest::addColumn<bool>("unanswered");
        QTest::newRow("Cancel") << false << false;
        QTest::newRow("Escape") << true << false;
        QTest::newRow("Cancel while asked") << false << true;
    }
    void cancels() {
        QFETCH(bool, escape);
        QFETCH(bool, unanswered);
        writeFile(disc("f/a.txt"), "a");
        writeFile(disc("f/big"), "new big");
        writeFile(disc("f/c.txt"), "c");
        writeFile(home("big"), "old");
        bool asked = false;
        bool endedUnanswered = false;
        const WhenShown answer("messageBox", [&](QWidget* box) {
            if (std::exchange(asked, true))
                return true;
            auto* dialog = static_cast<CopyProgressDialog*>(visibleWindow("CopyProgressDialog"));
            if (unanswered) {
                dialog->btnCancel->click();
                endedUnanswered = QTest::qWaitFor([&] { return !dialog->isVisible(); }, 3000);
            }
            clickButton(box, QMessageBox::Yes);
            if (escape)
                QTest::keyClick(dialog, Qt::Key_Escape);
            else
                dialog->btnCancel->click();
            return true;
        });
        CopyProgressDialog dialog(m_dialogs);
        const CopyReport report = dialog.run(folderCopy(m_disc.path(), m_home.path()));
        QCOMPARE(report.outcome, Outcome::Cancelled);
        QCOMPARE(QDir(m_home.path()).entryList(QDir::Files | QDir::Hidden),
                 (QStringList{"a.txt", "big"}));
        QCOMPARE(readAll(home("big")), QByteArray("old"));
        QCOMPARE(endedUnanswered, unanswered);
    }
};

QTEST_MAIN(TestCopyProgress)
#include "tst_copyprogress.moc"
