#include "platform/linuxdialogservice.h"

#include <QApplication>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
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
        QCOMPARE(answerWith(Buttons::Ok,
                            [](QMessageBox& box) { QTest::keyClick(&box, Qt::Key_Escape); }),
                 Answer::Ok);
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
