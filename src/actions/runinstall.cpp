#include "actions/launch.h"
#include "app/frmmain.h"
#include "text/encoding.h"

#include <QListWidget>
#include <QStringList>
#include <QUrl>

namespace {

QStringList toStringList(const std::vector<std::string>& words) {
    QStringList list;
    for (const std::string& word : words)
        list.append(QString::fromStdString(word));
    return list;
}

} // namespace

// Behind "Run...", ToolInstall and "R&un": the sound plays on every invocation, even when a
// program started earlier still runs or nothing is selected.
void TfrmMain::cmdInstallClick() {
    m_services.desktop.playSound1000();
    if (programRunning)
        return;
    const int row = lstDesc->currentRow();
    if (lstDesc->count() == 0 || row < 0 ||
        static_cast<std::size_t>(row) >= m_document.model().lstPath.size())
        return;
    const std::string storedPath =
        qubrix::toUtf8(m_document.model().lstPath[row], m_document.model().catalogueEncoding);
    const qubrix::LaunchPlan plan = qubrix::planLaunch(driveRoot.toStdString(), storedPath);
    if (plan.leavesMedium) {
        ask("This path leads outside the medium and is not used:\n" +
                QString::fromStdString(plan.line),
            "Error", DialogService::Icon::Error, DialogService::Buttons::Ok);
        return;
    }
    if (ask(QString::fromStdString(plan.line), "Confirm installation", DialogService::Icon::Warning,
            DialogService::Buttons::YesNo) != DialogService::Answer::Yes)
        return;
    if (plan.kind == qubrix::LaunchKind::Document) {
        m_services.desktop.openUrl(QUrl::fromLocalFile(QString::fromStdString(plan.document)));
        return;
    }
    // While the program runs the window waits minimised, and every command but Run stays
    // usable in it.
    const bool started = m_services.processes.runAndWait(
        QString::fromStdString(plan.program), toStringList(plan.arguments),
        m_services.files.currentDirectory(), [this] {
            showMinimized();
            programRunning = true;
        });
    if (!started) {
        ask("Error loading file!", "Error", DialogService::Icon::Error, DialogService::Buttons::Ok);
        return;
    }
    programRunning = false;
    showNormal();
    activateWindow();
}
