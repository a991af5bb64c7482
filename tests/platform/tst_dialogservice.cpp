#include "platform/linuxdialogservice.h"

#include <QApplication>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <functional>

// The real message boxes, answered by keys and clicks once they are shown.
class TestDialogService : public QObject {
    Q_OBJECT

private:
    LinuxDialogService m_dialogs;

    // Runs act on the message box as soon as it is up, and returns the box's answer.
    DialogService::Answer answerWith(DialogService::Buttons buttons,
                                     const std::function<void(QMessageBox&)>& act) {
        QTimer::singleShot(0, this, [&] {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            QVERIFY(box);
            act(*box);
        });
        return m_dialogs.messageBox("Save <b>now</b>?", "Confirm SAVE",
                                    DialogService::Icon::Warning, buttons);
    }

private slots:
    void dismissingAQuestionIsNoAnswer() {
        using Answer = DialogService::Answer;
        using Buttons = DialogService::Buttons;
        QCOMPARE(answerWith(Buttons::YesNo,
                            [](QMessageBox& box) { QTest::keyClick(&box, Qt::Key_Escape); }),
                 Answer::Dismissed);
        QCOMPARE(answerWith(Buttons::YesNo, [](QMessageBox& box) { box.close(); }),
                 Answer::Dismissed);
        QCOMPARE(answerWith(Buttons::YesNo,
                            [](QMessageBox& box) { box.button(QMessageBox::No)->click(); }),
                 Answer::No);
        QCOMPARE(answerWith(Buttons::YesNo,
                            [](QMessageBox& box) { box.button(QMessageBox::Yes)->click(); }),
                 Answer::Yes);
        QCOMPARE(answerWith(Buttons::YesNoAllCancel,
                            [](QMessageBox& box) { QTest::keyClick(&box, Qt::Key_Escape); }),
                 Answer::Cancel);
        QCOMPARE(answerWith(Buttons::Ok,
                            [](QMessageBox& box) { QTest::keyClick(&box, Qt::Key_Escape); }),
                 Answer::Ok);
    }

    // Typed into the picker: a folder that exists, or one to be made (even two levels deep).
    void folderPickerTakesNewFolders() {
        QTemporaryDir home;
        QVERIFY(home.isValid());
        for (const QString& typed : {home.path(), home.path() + "/new", home.path() + "/a/b"}) {
            QString title;
            bool chooseEnabled = false;
            QTimer::singleShot(0, this, [&] {
                auto* picker = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
                QVERIFY(picker);
                title = picker->windowTitle();
                picker->findChild<QLineEdit*>("fileNameEdit")->setText(typed);
                QPushButton* choose = picker->findChild<QDialogButtonBox*>("buttonBox")
                                          ->button(QDialogButtonBox::Open);
                chooseEnabled = choose->isEnabled();
                if (chooseEnabled)
                    choose->click();
                else
                    picker->reject();
            });
            QCOMPARE(m_dialogs.pickFolder("Qubrix"), typed);
            QVERIFY2(chooseEnabled, qPrintable(typed));
            QCOMPARE(title, QString("Qubrix"));
        }
        QVERIFY(!QFileInfo::exists(home.path() + "/new")); // made by the copy, not the picker
    }

    void cancellingThePickerPicksNothing() {
        QTimer::singleShot(0, this, [] {
            auto* picker = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
            QVERIFY(picker);
            picker->reject();
        });
        QCOMPARE(m_dialogs.pickFolder("Qubrix"), QString());
    }

    void textIsShownAsPlainText() {
        QString shown;
        answerWith(DialogService::Buttons::Ok, [&](QMessageBox& box) {
            QCOMPARE(box.textFormat(), Qt::PlainText);
            for (const QLabel* label : box.findChildren<QLabel*>())
                if (label->text().contains("now"))
                    shown = label->text();
            box.close();
        });
        QCOMPARE(shown, QString("Save <b>now</b>?"));
    }
};

QTEST_MAIN(TestDialogService)
#include "tst_dialogservice.moc"
