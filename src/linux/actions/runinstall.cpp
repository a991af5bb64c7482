#include "linux/actions/runinstall.h"

#include "core/actions/launch.h"
#include "core/actions/medium.h"
#include "core/text/encoding.h"

#include <QAction>
#include <QListWidget>
#include <QPushButton>
#include <QStringList>
#include <QToolButton>
#include <QUrl>

namespace {

QStringList toStringList(const std::vector<std::string>& words) {
    QStringList list;
    for (const std::string& word : words)
        list.append(QString::fromStdString(word));
    return list;
}

} // namespace

RunInstall::RunInstall(CatalogueDocument& document, Services services,
                       const RunInstallControls& controls, QObject* parent)
    : QObject(parent), m_document(document), m_services(services), m_controls(controls) {
    setObjectName("runInstall");
    connect(controls.cmdInstall, &QPushButton::clicked, this, &RunInstall::cmdInstallClick);
    connect(controls.ToolInstall, &QToolButton::clicked, this, &RunInstall::cmdInstallClick);
    connect(controls.mnuInstall, &QAction::triggered, this, &RunInstall::cmdInstallClick);
}

// Behind "Run...", ToolInstall and "R&un": the sound plays on every invocation, even when a
// program started earlier still runs or nothing is selected.
void RunInstall::cmdInstallClick() {
    m_services.desktop.playSound1000();
    if (m_programRunning)
        return;
    const int row = m_controls.lstDesc->currentRow();
    if (m_controls.lstDesc->count() == 0 || row < 0 ||
        static_cast<std::size_t>(row) >= m_document.model().lstPath.size())
        return;
    const std::string storedPath =
        qubrix::toUtf8(m_document.model().lstPath[row], m_document.model().catalogueEncoding);
    const qubrix::LaunchPlan plan =
        qubrix::planLaunch(qubrix::storedPathRoot(m_document.place(), storedPath), storedPath);
    if (plan.leavesMedium) {
        m_services.dialogs.beepAndAsk("This path leads outside the medium and is not used:\n" +
                                          QString::fromStdString(plan.line),
                                      "Error", DialogService::Icon::Error,
                                      DialogService::Buttons::Ok);
        return;
    }
    if (m_services.dialogs.beepAndAsk(QString::fromStdString(plan.line), "Confirm installation",
                                      DialogService::Icon::Warning,
                                      DialogService::Buttons::YesNo) != DialogService::Answer::Yes)
        return;
    if (plan.kind == qubrix::LaunchKind::Document) {
        m_services.desktop.openUrl(QUrl::fromLocalFile(QString::fromStdString(plan.document)));
        return;
    }
    if (!runAndWait(QString::fromStdString(plan.program), toStringList(plan.arguments)))
        m_services.dialogs.beepAndAsk("Error loading file!", "Error", DialogService::Icon::Error,
                                      DialogService::Buttons::Ok);
}

// While the program runs the window waits minimised, and every command but Run stays usable
// in it.
bool RunInstall::runAndWait(const QString& program, const QStringList& arguments) {
    const bool started = m_services.processes.runAndWait(
        program, arguments, m_services.files.currentDirectory(), [this] {
            m_controls.window->showMinimized();
            m_programRunning = true;
        });
    if (!started)
        return false;
    m_programRunning = false;
    m_controls.window->showNormal();
    m_controls.window->activateWindow();
    return true;
}
