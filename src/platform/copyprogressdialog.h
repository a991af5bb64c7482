#pragma once

#include "platform/dialogservice.h"
#include "posix/actions/copyengine.h"

#include <QDialog>
#include <QElapsedTimer>
#include <QString>
#include <QStringList>

#include <memory>

class QLabel;
class QProgressBar;
class QPushButton;

// Shows a copy running on a thread of its own: files and bytes done of the total, the file
// being copied, the time left and Cancel; asks before a file is replaced, through the dialog
// service. The window stays responsive, as the copy's thread only posts to it.
class CopyProgressDialog final : public QDialog {
    Q_OBJECT

public:
    explicit CopyProgressDialog(DialogService& dialogs, QWidget* parent = nullptr);
    ~CopyProgressDialog() override;

    // Copies with the dialog shown modally and returns what happened.
    qubrix::CopyReport run(const qubrix::CopyPlan& plan);

    QLabel* lblFiles = nullptr;
    QLabel* lblBytes = nullptr;
    QLabel* lblCurrent = nullptr;
    QLabel* lblTimeLeft = nullptr;
    QProgressBar* barProgress = nullptr;
    QPushButton* btnCancel = nullptr;

protected:
    // Escape and the close box cancel the copy; the dialog closes once it has stopped.
    void reject() override;

private:
    class Bridge;

    void showProgress(const qubrix::CopyProgress& progress);
    // Asks the question the copy waits on, unless the copy no longer waits.
    void answerOverwrite(const qubrix::OverwriteQuestion& question);
    qubrix::OverwriteAnswer askOverwrite(const qubrix::OverwriteQuestion& question);
    void finish(const qubrix::CopyReport& report);
    void cancelCopy();
    QString timeLeft(const qubrix::CopyProgress& progress) const;

    DialogService& m_dialogs;
    std::unique_ptr<Bridge> m_bridge;
    std::unique_ptr<qubrix::CopyEngine> m_engine;
    qubrix::CopyReport m_report;
    QElapsedTimer m_clock;
    qint64 m_askingTime = 0; // milliseconds the copy waited for answers
    bool m_finished = false;
};

// The text of the one box shown after a copy: after a stop or a cancel it says so and names
// what was not copied, after a copy that went through what could not be copied; empty when
// there is nothing to report. Long lists end in a count of the rest.
QString copyReportText(const qubrix::CopyReport& report, const QString& destinationFolder);
// Everything that was not copied: a failure as "path: reason", a file the copy stopped inside
// or did not reach as its path.
QStringList notCopiedList(const qubrix::CopyReport& report);
