#include "app/frmmain.h"

#include "naming/folderrename.h"
#include "naming/frmvalidname.h"
#include "naming/isoname.h"
#include "naming/nameplan.h"

#include <QLabel>
#include <QLineEdit>

namespace {

QString displayed(const std::string& utf8) {
    return QString::fromStdString(utf8);
}

} // namespace

void TfrmMain::checkNames() {
    // Every pass in which the author accepted a new name is followed by another: a new name
    // that still fails is asked for again, and so is a rename that failed, until it is skipped.
    do {
        checkFolderNames();
        checkFileName();
    } while (folderChanged || fileChanged);
}

qubrix::NamePlan TfrmMain::namePlan() const {
    return qubrix::NamePlan(driveRoot.toStdString(),
                            {m_picked.pickedFolder, m_picked.pickedName,
                             m_picked.topFolderLeftOut ? m_picked.topFolder : std::string()});
}

void TfrmMain::checkFolderNames() {
    m_frmValidName->lblLocation->setText("Folder Location:");
    m_frmValidName->lblName->setText("Folder name:");
    folderChanged = false;
    qubrix::NamePlan plan = namePlan();
    for (std::size_t i = 0; i < plan.folders().size(); ++i) {
        QString name = displayed(plan.folders()[i]);
        m_frmValidName->renameAccepted = false;
        validateName(name);
        if (!m_frmValidName->renameAccepted)
            continue;
        folderChanged = true;
        const qubrix::NamePlan renamed = plan.withFolderName(i, name.toStdString());
        if (!renameOnMedium(plan.folderPath(i), renamed.folderPath(i), name))
            continue;
        followFolderRename(plan.folderFromRoot(i), name.toStdString());
        plan = renamed;
        setPickedPath(displayed(plan.filePath()));
    }
}

void TfrmMain::checkFileName() {
    m_frmValidName->lblLocation->setText("File Location:");
    m_frmValidName->lblName->setText("File name:");
    fileChanged = false;
    m_frmValidName->renameAccepted = false;
    const qubrix::NamePlan plan = namePlan();
    QString name = displayed(plan.fileName());
    validateName(name);
    if (!m_frmValidName->renameAccepted)
        return;
    fileChanged = true;
    const qubrix::NamePlan renamed = plan.withFileName(name.toStdString());
    if (renameOnMedium(plan.filePath(), renamed.filePath(), name))
        setPickedPath(displayed(renamed.filePath()));
}

void TfrmMain::validateName(QString& name) {
    if (qubrix::isIsoName(name.toStdString()))
        return;
    m_frmValidName->lblPath->setText(displayed(m_picked.pickedPath));
    m_frmValidName->lblFName->setText(name);
    m_frmValidName->Edit1->setText(name);
    m_frmValidName->exec();
    name = m_frmValidName->Edit1->text();
}

bool TfrmMain::renameOnMedium(const std::string& from, const std::string& to,
                              const QString& newName) {
    // Nothing outside the medium is renamed, and a new name never moves an entry elsewhere.
    const bool renamed =
        qubrix::mayRenameOnMedium(driveRoot.toStdString(), from, newName.toStdString()) &&
        m_services.files.renameWithoutReplacing(displayed(from), displayed(to));
    if (!renamed)
        ask("File error", "Error!", DialogService::Icon::Error, DialogService::Buttons::Ok);
    return renamed;
}

void TfrmMain::followFolderRename(std::vector<std::string> folder, const std::string& newName) {
    const qubrix::FolderRename rename =
        qubrix::folderRenameOnMedium(driveRoot.toStdString(), std::move(folder), newName);
    qubrix::renameFolderInListings(m_document.model(), rename);
}
