#include "platform/linuxcopyservice.h"

#include "platform/copyprogressdialog.h"

#include <QApplication>
#include <QFile>
#include <QMessageBox>

void LinuxCopyService::copy(const qubrix::CopyPlan& plan) {
    QWidget* owner = QApplication::activeWindow();
    CopyProgressDialog progress(owner);
    const qubrix::CopyReport report = progress.run(plan);
    const QString destination =
        QFile::decodeName(QByteArray::fromStdString(plan.destinationFolder));
    const QString text = copyReportText(report, destination);
    if (text.isEmpty())
        return;
    const bool stopped = report.outcome == qubrix::CopyReport::Outcome::NoSpace ||
                         report.outcome == qubrix::CopyReport::Outcome::Refused;
    QMessageBox box(stopped ? QMessageBox::Critical : QMessageBox::Warning, "Copy", text,
                    QMessageBox::Ok, owner);
    box.setObjectName("copyReport");
    box.setTextFormat(Qt::PlainText);
    // The paths can be selected and copied, to look into them afterwards.
    box.setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    if (const QStringList notCopied = notCopiedList(report); notCopied.size() > 1)
        box.setDetailedText(notCopied.join('\n'));
    box.exec();
}
