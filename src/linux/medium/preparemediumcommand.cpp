#include "linux/medium/preparemediumcommand.h"

#include "medium/autoruninf.h"
#include "medium/imagewriter.h"
#include "medium/preparecheck.h"

#include <QAction>
#include <QEventLoop>
#include <QFile>
#include <QFileInfo>
#include <QProgressDialog>
#include <QTimer>

#include <algorithm>
#include <atomic>
#include <mutex>
#include <thread>

namespace {

constexpr char kCaption[] = "Prepare Medium";

QString shownBytes(std::uint64_t bytes, qubrix::Rounding rounding) {
    return QString::fromStdString(qubrix::byteText(bytes, rounding));
}

} // namespace

// How far a step has come, written by the preparer's thread and read by the window's.
struct PrepareMediumCommand::SharedProgress {
    std::atomic<std::uint64_t> done{0};
    std::atomic<std::uint64_t> total{0};
    std::mutex stepMutex;
    QString step;
    std::atomic<bool> cancel{false};
};

PrepareMediumCommand::PrepareMediumCommand(const qubrix::CatalogueDocument& document,
                                           Services services,
                                           std::function<bool()> saveChangesFirst, QAction* action,
                                           QWidget* parent, Installation installation)
    : QObject(parent), m_document(document), m_services(services),
      m_saveChangesFirst(std::move(saveChangesFirst)), m_parent(parent),
      m_installation(std::move(installation)) {
    connect(action, &QAction::triggered, this, &PrepareMediumCommand::prepareMediumClick);
}

void PrepareMediumCommand::prepareMediumClick() {
    if (!m_saveChangesFirst())
        return;
    const QString folder =
        QFileInfo(QFile::decodeName(m_document.catalogPath().c_str())).absolutePath();
    SharedProgress progress;
    MediumPreparer preparer(
        m_installation,
        [&progress](std::uint64_t done, std::uint64_t total, const QString& step) {
            progress.total = total;
            progress.done = done;
            const std::lock_guard lock(progress.stepMutex);
            progress.step = step;
        },
        &progress.cancel);
    std::variant<PreparePlan, PrepareReport> collected;
    runWithProgress([&] { collected = preparer.collect(folder); }, progress);
    if (const auto* report = std::get_if<PrepareReport>(&collected)) {
        tell(*report);
        return;
    }
    const PreparePlan& plan = std::get<PreparePlan>(collected);
    // Asked only when the files fit: the room is checked again just before they are written.
    if (const std::optional<QString> refusal =
            MediumPreparer::roomRefusal(plan, m_services.files)) {
        PrepareReport report;
        report.text = *refusal;
        tell(report);
        return;
    }
    if (!askToWrite(plan))
        return;
    PrepareReport report;
    runWithProgress([&] { report = preparer.write(plan, m_services.files); }, progress);
    tell(report);
}

bool PrepareMediumCommand::askToWrite(const PreparePlan& plan) {
    const std::optional<FileService::Room> room = m_services.files.freeRoom(plan.folder);
    const std::uint64_t needed =
        MediumPreparer::roomNeeded(plan, room ? room->blockSize : FileService::Room{}.blockSize);
    QStringList older;
    if (plan.hasAutorun)
        older << "autorun.sh";
    if (plan.hasBundle)
        older << ".qubrix";
    // The author is asked about every file that goes onto the disc, the Windows ones included.
    const QString topFiles = plan.hasWindowsProgram
                                 ? "autorun.sh, " + QString::fromUtf8(qubrix::kAutorunInf.data(),
                                                                      qubrix::kAutorunInf.size())
                                 : QString("autorun.sh");
    const QString windowsProgram =
        plan.hasWindowsProgram ? tr(" and the Windows program %1")
                                     .arg(QString::fromUtf8(qubrix::kWindowsProgramTarget.data(),
                                                            qubrix::kWindowsProgramTarget.size()))
                               : QString();
    QString text = tr("Prepare Medium puts %1 and the program folder .qubrix, which holds Qubrix "
                      "with the libraries and plugins it needs%2, at the top of %3")
                       .arg(topFiles, windowsProgram, plan.folder);
    text +=
        older.isEmpty() ? "." : tr(", in place of the older %1 there.").arg(older.join(" and "));
    text += "\n\n" + tr("They need %1 of room").arg(shownBytes(needed, qubrix::Rounding::Up));
    if (room)
        text +=
            tr(", and %1 are free there").arg(shownBytes(room->available, qubrix::Rounding::Down));
    text +=
        tr(". The program folder holds %1.").arg(MediumPreparer::sizeText(plan.sizes, plan.total));
    const std::vector<qubrix::NameIssue> issues =
        qubrix::checkStagingFolder(QFile::encodeName(plan.folder).toStdString());
    if (!issues.empty())
        text += "\n\n" + tr("Before the disc is made:") + "\n\n" +
                QString::fromStdString(qubrix::shortIssueListText(issues));
    text += "\n\n" + tr("Write them now?");
    return m_services.dialogs.messageBox(text, kCaption, DialogService::Icon::Information,
                                         DialogService::Buttons::YesNo) ==
           DialogService::Answer::Yes;
}

void PrepareMediumCommand::tell(const PrepareReport& report) {
    // A cancel is the author's choice, not a failure.
    m_services.dialogs.messageBox(report.text, kCaption,
                                  report.outcome == PrepareOutcome::Failed
                                      ? DialogService::Icon::Error
                                      : DialogService::Icon::Information,
                                  DialogService::Buttons::Ok);
}

void PrepareMediumCommand::runWithProgress(const std::function<void()>& work,
                                           SharedProgress& progress) {
    progress.done = 0;
    progress.total = 0;
    {
        const std::lock_guard lock(progress.stepMutex);
        progress.step.clear();
    }
    QProgressDialog dialog(tr("Preparing the medium..."), tr("Cancel"), 0, 0, m_parent);
    dialog.setObjectName("frmPrepareProgress");
    // Titled apart from the boxes around it, which are all "Prepare Medium".
    dialog.setWindowTitle(tr("Preparing the Medium"));
    dialog.setAccessibleName(tr("Preparing the Medium"));
    dialog.setWindowModality(Qt::WindowModal);
    dialog.setMinimumDuration(0);
    dialog.setAutoReset(false);
    dialog.setAutoClose(false);
    connect(&dialog, &QProgressDialog::canceled, &dialog, [&progress, &dialog] {
        progress.cancel = true;
        dialog.setLabelText(tr("Stopping..."));
    });
    // The preparer's thread only stores how far it came; the window shows that at its own pace.
    QTimer refresh;
    connect(&refresh, &QTimer::timeout, &dialog, [&progress, &dialog] {
        if (progress.cancel)
            return;
        const std::uint64_t total = progress.total;
        const std::uint64_t done = progress.done;
        dialog.setMaximum(total == 0 ? 0 : 1000);
        dialog.setValue(total == 0 ? 0 : static_cast<int>(std::min(done, total) * 1000 / total));
        const std::lock_guard lock(progress.stepMutex);
        if (!progress.step.isEmpty())
            dialog.setLabelText(progress.step);
    });
    refresh.start(100);
    QEventLoop loop;
    std::jthread worker([&] {
        work();
        QMetaObject::invokeMethod(&loop, &QEventLoop::quit, Qt::QueuedConnection);
    });
    loop.exec();
}
