#include "linux/medium/makediscimagecommand.h"

#include "medium/disccheck.h"
#include "medium/imagewriter.h"

#include <QAction>
#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QFileInfo>
#include <QProgressDialog>
#include <QTimer>

#include <atomic>
#include <thread>

namespace {

constexpr char kCaption[] = "Make Disc Image";

std::string native(const QString& path) {
    return QFile::encodeName(path).toStdString();
}

QString shown(const std::string& text) {
    return QString::fromStdString(text);
}

// How far the image has come, written by the image's thread and read by the window's.
struct SharedProgress {
    std::atomic<int> phase{static_cast<int>(qubrix::ImagePhase::Writing)};
    std::atomic<std::uint64_t> done{0};
    std::atomic<std::uint64_t> total{0};
};

} // namespace

MakeDiscImageCommand::MakeDiscImageCommand(const qubrix::CatalogueDocument& document,
                                           Services services,
                                           std::function<bool()> saveChangesFirst, QAction* action,
                                           QWidget* parent)
    : QObject(parent), m_document(document), m_services(services),
      m_saveChangesFirst(std::move(saveChangesFirst)), m_parent(parent) {
    connect(action, &QAction::triggered, this, &MakeDiscImageCommand::makeDiscImageClick);
}

void MakeDiscImageCommand::makeDiscImageClick() {
    if (!m_saveChangesFirst())
        return;
    const QString folder =
        QFileInfo(QFile::decodeName(m_document.catalogPath().c_str())).absolutePath();
    const QString output = askImageFile(folder);
    if (output.isEmpty())
        return;
    const std::optional<QString> label =
        m_services.dialogs.askText(kCaption, tr("Volume label of the disc:"), defaultLabel(folder));
    if (!label)
        return;
    qubrix::ImagePlan plan =
        qubrix::planImage(native(folder), native(output), label->toStdString());
    if (plan.refusal) {
        m_services.dialogs.messageBox(shown(*plan.refusal), kCaption, DialogService::Icon::Error,
                                      DialogService::Buttons::Ok);
        return;
    }
    qubrix::appendIssues(plan.issues, qubrix::checkDiscBeforeImage(plan.folder));
    if (!acceptIssues(plan))
        return;
    const qubrix::ImageResult result = makeWithProgress(plan);
    m_services.dialogs.messageBox(shown(result.text), kCaption,
                                  result.outcome == qubrix::ImageOutcome::Failed
                                      ? DialogService::Icon::Error
                                      : DialogService::Icon::Information,
                                  DialogService::Buttons::Ok);
}

QString MakeDiscImageCommand::defaultLabel(const QString& folder) {
    // Mount points come with their links resolved.
    const QString canonical = QFileInfo(folder).canonicalFilePath();
    const QString top = canonical.isEmpty() ? folder : canonical;
    const QString mountPoint = m_services.files.mountPointOf(top);
    const std::string text = qubrix::defaultLabelText(
        native(top), native(mountPoint), m_services.files.volumeLabel(mountPoint).toStdString());
    return text.empty() ? QString("DISC") : QString::fromStdString(text);
}

QString MakeDiscImageCommand::askImageFile(const QString& folder) {
    // Beside the folder when the author may write there, as a staging folder in the home
    // folder is; the top of a medium mounted read-only or owned by root has no such place.
    const QFileInfo parent(QFileInfo(folder).absolutePath());
    const QString name =
        QFileInfo(folder).fileName().isEmpty() ? QString("disc") : QFileInfo(folder).fileName();
    QString proposed =
        (parent.isDir() && parent.isWritable() ? parent.absoluteFilePath() : QDir::homePath()) +
        '/' + name + ".iso";
    for (;;) {
        const QString output = m_services.dialogs.saveFileName(tr("Make Disc Image"), proposed,
                                                               {{tr("Disc images"), {"*.iso"}}});
        if (output.isEmpty())
            return {};
        const auto refusal =
            qubrix::outputPlaceRefusal(native(QFileInfo(output).absoluteFilePath()));
        if (!refusal)
            return output;
        // The picker opens again where the author was, to choose another place.
        m_services.dialogs.messageBox(shown(*refusal), kCaption, DialogService::Icon::Error,
                                      DialogService::Buttons::Ok);
        proposed = output;
    }
}

bool MakeDiscImageCommand::acceptIssues(const qubrix::ImagePlan& plan) {
    if (plan.issues.empty())
        return true;
    const QString list = shown(qubrix::issueListText(plan.issues));
    if (qubrix::hasErrors(plan.issues)) {
        m_services.dialogs.showReport(
            tr("The image cannot be made: mend the errors in the list first."), kCaption,
            DialogService::Icon::Error, list);
        return false;
    }
    const QString shownList = shown(qubrix::shortIssueListText(plan.issues));
    return m_services.dialogs.messageBox(tr("Before the image is made:\n\n%1\nMake the image all "
                                            "the same?")
                                             .arg(shownList),
                                         kCaption, DialogService::Icon::Warning,
                                         DialogService::Buttons::YesNo) ==
           DialogService::Answer::Yes;
}

qubrix::ImageResult MakeDiscImageCommand::makeWithProgress(const qubrix::ImagePlan& plan) {
    QProgressDialog dialog(tr("Writing the image..."), tr("Cancel"), 0, 1000, m_parent);
    dialog.setObjectName("frmImageProgress");
    // Titled apart from the boxes around it, which are all "Make Disc Image".
    dialog.setWindowTitle(tr("Making the Disc Image"));
    dialog.setWindowModality(Qt::WindowModal);
    dialog.setMinimumDuration(0);
    dialog.setAutoReset(false);
    dialog.setAutoClose(false);
    SharedProgress progress;
    std::atomic<bool> cancel{false};
    connect(&dialog, &QProgressDialog::canceled, &dialog, [&cancel, &dialog] {
        cancel = true;
        dialog.setLabelText(tr("Stopping..."));
    });
    QEventLoop loop;
    qubrix::ImageResult result;
    QElapsedTimer clock;
    clock.start();
    int shownPhase = progress.phase;
    // The image's thread only stores how far it came; the window shows that at its own pace.
    QTimer refresh;
    connect(&refresh, &QTimer::timeout, &dialog, [&] {
        if (cancel)
            return;
        if (progress.phase != shownPhase) {
            shownPhase = progress.phase;
            clock.restart();
        }
        const std::uint64_t total = progress.total;
        const std::uint64_t done = progress.done;
        dialog.setValue(total == 0 ? 0 : static_cast<int>(done * 1000 / total));
        dialog.setLabelText(
            (shownPhase == int(qubrix::ImagePhase::Writing) ? tr("Writing the image: %1")
                                                            : tr("Reading it back: %1"))
                .arg(shown(qubrix::imageProgressText(done, total, clock.elapsed() / 1000.0))));
    });
    refresh.start(100);
    std::jthread worker([&] {
        result = qubrix::makeImage(
            plan, true,
            [&progress](qubrix::ImagePhase phase, std::uint64_t done, std::uint64_t total) {
                progress.phase = int(phase);
                progress.total = total;
                progress.done = done;
            },
            cancel);
        QMetaObject::invokeMethod(&loop, &QEventLoop::quit, Qt::QueuedConnection);
    });
    loop.exec();
    worker.join();
    return result;
}
