#include "medium/preparemediumcommand.h"

#include "medium/mediumpreparer.h"

#include <QAction>
#include <QCoreApplication>
#include <QFileInfo>
#include <QProgressDialog>

namespace {
constexpr char kCaption[] = "Prepare Medium";
}

PrepareMediumCommand::PrepareMediumCommand(CatalogueDocument& document, Services services,
                                           QAction* action, QWidget* parent)
    : QObject(parent), m_document(document), m_services(services), m_parent(parent) {
    connect(action, &QAction::triggered, this, &PrepareMediumCommand::prepareMediumClick);
}

void PrepareMediumCommand::prepareMediumClick() {
    QProgressDialog progress(tr("Preparing the medium..."), tr("Cancel"), 0, 0, m_parent);
    progress.setWindowTitle(kCaption);
    progress.setWindowModality(Qt::WindowModal);
    progress.setMinimumDuration(0);
    progress.setAutoReset(false);
    progress.setAutoClose(false);
    MediumPreparer preparer(Installation::around(QCoreApplication::applicationDirPath()),
                            [&progress](int done, int total, const QString& step) {
                                progress.setMaximum(total);
                                progress.setLabelText(step);
                                progress.setValue(done);
                                QCoreApplication::processEvents();
                                return !progress.wasCanceled();
                            });
    const PrepareReport report =
        preparer.prepare(QFileInfo(m_document.catalogPath()).absolutePath());
    progress.close();
    m_services.dialogs.messageBox(report.text, kCaption,
                                  report.ok ? DialogService::Icon::Information
                                            : DialogService::Icon::Error,
                                  DialogService::Buttons::Ok);
}
