#include "platform/copyprogressdialog.h"

#include <QDateTime>
#include <QFile>
#include <QFontMetrics>
#include <QGridLayout>
#include <QLabel>
#include <QLocale>
#include <QProgressBar>
#include <QPushButton>

#include <condition_variable>
#include <mutex>
#include <optional>

using qubrix::CopyProgress;
using qubrix::CopyReport;
using qubrix::OverwriteAnswer;

namespace {

constexpr qsizetype maxListed = 12;

QString pathText(const std::string& path) {
    return QFile::decodeName(QByteArray::fromStdString(path));
}

QString sizeText(std::uint64_t bytes) {
    return QLocale().formattedDataSize(static_cast<qint64>(bytes));
}

QString factsText(const qubrix::FileFacts& facts) {
    const QDateTime modified = QDateTime::fromSecsSinceEpoch(facts.modified.tv_sec);
    return QString("%1 bytes, modified %2")
        .arg(QLocale().toString(static_cast<qulonglong>(facts.size)),
             modified.toString("yyyy-MM-dd HH:mm:ss"));
}

QString durationText(qint64 seconds) {
    if (seconds < 60)
        return QString("%1 s").arg(seconds);
    if (seconds < 3600)
        return QString("%1 min %2 s").arg(seconds / 60).arg(seconds % 60);
    return QString("%1 h %2 min").arg(seconds / 3600).arg(seconds % 3600 / 60);
}

QString failureLine(const qubrix::CopyFailure& failure) {
    const QString reason = QString::fromStdString(failure.reason);
    return failure.path.empty() ? reason : pathText(failure.path) + ": " + reason;
}

// The box's first line; empty when there is nothing to report.
QString reportHeadline(const CopyReport& report, qsizetype notCopied,
                       const QString& destinationFolder) {
    QString headline;
    switch (report.outcome) {
    case CopyReport::Outcome::NoSpace:
        headline =
            QString("The copy stopped: there is no space left in \"%1\".").arg(destinationFolder);
        break;
    case CopyReport::Outcome::Cancelled:
        headline = "The copy was cancelled.";
        break;
    default:
        if (notCopied == 0)
            return {};
        return QString("%1 could not be copied:")
            .arg(notCopied == 1 ? QString("One file or folder")
                                : QString("%1 files or folders")
                                      .arg(QLocale().toString(static_cast<qlonglong>(notCopied))));
    }
    if (report.filesCopied == 0)
        headline += " Nothing was copied.";
    return notCopied == 0 ? headline : headline + "\n\nNot copied:";
}

} // namespace

// The copy's observer: hands each call over to the dialog's thread. A question waits there
// for its answer until the dialog answers it or gives up waiting (the copy was cancelled, or
// the dialog's run ended without an answer): then the answer is Cancel, so the copy never
// waits for ever.
class CopyProgressDialog::Bridge final : public qubrix::CopyObserver {
public:
    explicit Bridge(CopyProgressDialog* dialog) : m_dialog(dialog) {}

    void copyProgress(const CopyProgress& progress) override {
        QMetaObject::invokeMethod(
            m_dialog, [dialog = m_dialog, progress] { dialog->showProgress(progress); },
            Qt::QueuedConnection);
    }
    OverwriteAnswer askOverwrite(const qubrix::OverwriteQuestion& question) override {
        std::unique_lock lock(m_mutex);
        m_answer.reset();
        m_waiting = true;
        QMetaObject::invokeMethod(
            m_dialog, [dialog = m_dialog, question] { dialog->answerOverwrite(question); },
            Qt::QueuedConnection);
        m_answered.wait(lock, [this] { return m_answer || m_givenUp; });
        m_waiting = false;
        return m_answer.value_or(OverwriteAnswer::Cancel);
    }
    void copyFinished(const CopyReport& report) override {
        QMetaObject::invokeMethod(
            m_dialog, [dialog = m_dialog, report] { dialog->finish(report); },
            Qt::QueuedConnection);
    }

    bool waiting() {
        const std::lock_guard lock(m_mutex);
        return m_waiting && !m_givenUp;
    }
    void answer(OverwriteAnswer answer) {
        const std::lock_guard lock(m_mutex);
        if (m_waiting)
            m_answer = answer;
        m_answered.notify_all();
    }
    // Every question from now on, and the one waiting, is answered Cancel.
    void giveUp() {
        const std::lock_guard lock(m_mutex);
        m_givenUp = true;
        m_answered.notify_all();
    }
    void reset() {
        const std::lock_guard lock(m_mutex);
        m_givenUp = false;
        m_waiting = false;
    }

private:
    CopyProgressDialog* m_dialog;
    std::mutex m_mutex;
    std::condition_variable m_answered;
    std::optional<OverwriteAnswer> m_answer;
    bool m_waiting = false;
    bool m_givenUp = false;
};

CopyProgressDialog::CopyProgressDialog(DialogService& dialogs, QWidget* parent)
    : QDialog(parent), m_dialogs(dialogs), m_bridge(std::make_unique<Bridge>(this)) {
    setObjectName("CopyProgressDialog");
    setWindowTitle("Copying");
    setModal(true);
    auto* grid = new QGridLayout(this);
    lblFiles = new QLabel(this);
    lblFiles->setObjectName("lblFiles");
    lblBytes = new QLabel(this);
    lblBytes->setObjectName("lblBytes");
    lblCurrent = new QLabel(this);
    lblCurrent->setObjectName("lblCurrent");
    lblCurrent->setMinimumWidth(380);
    lblTimeLeft = new QLabel(this);
    lblTimeLeft->setObjectName("lblTimeLeft");
    barProgress = new QProgressBar(this);
    barProgress->setObjectName("barProgress");
    barProgress->setRange(0, 1000);
    btnCancel = new QPushButton("Cancel", this);
    btnCancel->setObjectName("btnCancel");
    for (QLabel* label : {lblFiles, lblBytes, lblCurrent, lblTimeLeft})
        label->setTextFormat(Qt::PlainText);
    grid->addWidget(lblCurrent, 0, 0, 1, 2);
    grid->addWidget(barProgress, 1, 0, 1, 2);
    grid->addWidget(lblFiles, 2, 0);
    grid->addWidget(lblBytes, 2, 1);
    grid->addWidget(lblTimeLeft, 3, 0);
    grid->addWidget(btnCancel, 3, 1, Qt::AlignRight);
    connect(btnCancel, &QPushButton::clicked, this, &CopyProgressDialog::cancelCopy);
    lblCurrent->setText("Counting the files...");
}

CopyProgressDialog::~CopyProgressDialog() = default;

CopyReport CopyProgressDialog::run(const qubrix::CopyPlan& plan) {
    m_finished = false;
    m_bridge->reset();
    m_engine = std::make_unique<qubrix::CopyEngine>(plan, *m_bridge);
    exec();
    m_bridge->giveUp();
    m_engine.reset();
    return m_report;
}

void CopyProgressDialog::reject() {
    if (m_finished)
        QDialog::reject();
    else
        cancelCopy();
}

void CopyProgressDialog::cancelCopy() {
    if (!m_engine || m_finished)
        return;
    m_engine->cancel();
    m_bridge->giveUp();
    btnCancel->setEnabled(false);
    lblTimeLeft->setText("Cancelling...");
}

void CopyProgressDialog::showProgress(const CopyProgress& progress) {
    if (m_finished)
        return;
    if (!m_clock.isValid() && progress.filesTotal > 0)
        m_clock.start();
    lblFiles->setText(QString("Files: %1 of %2")
                          .arg(QLocale().toString(static_cast<qulonglong>(progress.filesDone)),
                               QLocale().toString(static_cast<qulonglong>(progress.filesTotal))));
    lblBytes->setText(
        QString("%1 of %2").arg(sizeText(progress.bytesDone), sizeText(progress.bytesTotal)));
    const QString current = pathText(progress.currentFile);
    lblCurrent->setText(
        lblCurrent->fontMetrics().elidedText(current, Qt::ElideMiddle, lblCurrent->width()));
    lblCurrent->setToolTip(current);
    const double share = progress.bytesTotal > 0 ? double(progress.bytesDone) / progress.bytesTotal
                         : progress.filesTotal > 0
                             ? double(progress.filesDone) / progress.filesTotal
                             : 0.0;
    barProgress->setValue(static_cast<int>(share * 1000));
    if (btnCancel->isEnabled())
        lblTimeLeft->setText(timeLeft(progress));
}

// From the pace so far, once there has been a second of it; time spent on questions is no
// part of the pace.
QString CopyProgressDialog::timeLeft(const CopyProgress& progress) const {
    const qint64 elapsed = m_clock.isValid() ? m_clock.elapsed() - m_askingTime : 0;
    if (elapsed < 1000 || progress.bytesDone == 0)
        return "Time left: estimating...";
    const double rate = double(progress.bytesDone) / elapsed; // bytes a millisecond
    const double left =
        double(progress.bytesTotal - std::min(progress.bytesTotal, progress.bytesDone)) / rate /
        1000.0;
    return "Time left: about " + durationText(static_cast<qint64>(left + 0.5));
}

void CopyProgressDialog::answerOverwrite(const qubrix::OverwriteQuestion& question) {
    if (m_bridge->waiting())
        m_bridge->answer(askOverwrite(question));
}

OverwriteAnswer CopyProgressDialog::askOverwrite(const qubrix::OverwriteQuestion& question) {
    QElapsedTimer asking;
    asking.start();
    const DialogService::Answer answer = m_dialogs.messageBox(
        QString("The file \"%1\" exists already.\n\nReplace the existing file\n"
                "    %2\nwith the new one\n    %3?")
            .arg(pathText(question.destination), factsText(question.existing),
                 factsText(question.incoming)),
        "Confirm File Replace", DialogService::Icon::Warning,
        DialogService::Buttons::YesNoAllCancel);
    m_askingTime += asking.elapsed();
    switch (answer) {
    case DialogService::Answer::Yes:
        return OverwriteAnswer::Yes;
    case DialogService::Answer::YesToAll:
        return OverwriteAnswer::YesToAll;
    case DialogService::Answer::No:
        return OverwriteAnswer::No;
    case DialogService::Answer::NoToAll:
        return OverwriteAnswer::NoToAll;
    default:
        return OverwriteAnswer::Cancel;
    }
}

void CopyProgressDialog::finish(const CopyReport& report) {
    m_report = report;
    m_finished = true;
    accept();
}

QStringList notCopiedList(const CopyReport& report) {
    QStringList lines;
    for (const qubrix::CopyFailure& failure : report.failures)
        lines.append(failureLine(failure));
    for (const std::string& path : report.notCopied)
        lines.append(pathText(path));
    return lines;
}

QString copyReportText(const CopyReport& report, const QString& destinationFolder) {
    if (report.outcome == CopyReport::Outcome::Refused && report.failures.size() == 1)
        return failureLine(report.failures.front());
    const QStringList lines = notCopiedList(report);
    QString text = reportHeadline(report, lines.size(), destinationFolder);
    const qsizetype listed = std::min(lines.size(), maxListed);
    for (qsizetype i = 0; i < listed; ++i)
        text += '\n' + lines[i];
    if (listed < lines.size())
        text += QString("\n...and %1 more: see the details.").arg(lines.size() - listed);
    return text;
}
