#include "platform/linuxcopyservice.h"

#include "platform/copyprogressdialog.h"

#include <QApplication>
#include <QFile>

void LinuxCopyService::copy(const qubrix::CopyPlan& plan) {
    CopyProgressDialog progress(m_dialogs, QApplication::activeWindow());
    const qubrix::CopyReport report = progress.run(plan);
    const QString destination =
        QFile::decodeName(QByteArray::fromStdString(plan.destinationFolder));
    const QString text = copyReportText(report, destination);
    if (text.isEmpty())
        return;
    const bool stopped = report.outcome == qubrix::CopyReport::Outcome::NoSpace ||
                         report.outcome == qubrix::CopyReport::Outcome::Refused;
    const QStringList notCopied = notCopiedList(report);
    m_dialogs.showReport(text, "Copy",
                         stopped ? DialogService::Icon::Error : DialogService::Icon::Warning,
                         notCopied.size() > 1 ? notCopied.join('\n') : QString());
}
