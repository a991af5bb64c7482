#include "linux/naming/namecheck.h"

#include "core/naming/folderrename.h"
#include "core/naming/isoname.h"
#include "core/naming/nameplan.h"

namespace {

QString displayed(const std::string& utf8) {
    return QString::fromStdString(utf8);
}

} // namespace

NameCheck::NameCheck(CatalogueDocument& document, Services services, qubrix::PickedPath& picked,
                     std::function<bool(const QString&)> pick)
    : m_document(document), m_services(services), m_picked(picked), m_pick(std::move(pick)) {}

void NameCheck::checkNames() {
    if (!m_question)
        return;
    bool renamedSome = false;
    do {
        renamedSome = checkFolderNames();
        renamedSome = checkFileName() || renamedSome;
    } while (renamedSome);
}

qubrix::NamePlan NameCheck::namePlan() const {
    return qubrix::NamePlan(m_document.place().pathRoot(),
                            {m_picked.pickedFolder, m_picked.pickedName,
                             m_picked.topFolderLeftOut ? m_picked.topFolder : std::string()});
}

bool NameCheck::checkFolderNames() {
    bool accepted = false;
    qubrix::NamePlan plan = namePlan();
    for (std::size_t i = 0; i < plan.folders().size(); ++i) {
        const NameQuestion::Answer answer =
            validateName(NameQuestion::Subject::Folder, displayed(plan.folders()[i]));
        if (!answer.renameAccepted)
            continue;
        accepted = true;
        const qubrix::NamePlan renamed = plan.withFolderName(i, answer.name.toStdString());
        if (!renameOnMedium(plan.folderPath(i), renamed.folderPath(i), answer.name))
            continue;
        followFolderRename(plan.folderFromRoot(i), answer.name.toStdString());
        plan = renamed;
        m_pick(displayed(plan.filePath()));
    }
    return accepted;
}

bool NameCheck::checkFileName() {
    const qubrix::NamePlan plan = namePlan();
    const NameQuestion::Answer answer =
        validateName(NameQuestion::Subject::File, displayed(plan.fileName()));
    if (!answer.renameAccepted)
        return false;
    const qubrix::NamePlan renamed = plan.withFileName(answer.name.toStdString());
    if (renameOnMedium(plan.filePath(), renamed.filePath(), answer.name))
        m_pick(displayed(renamed.filePath()));
    return true;
}

NameQuestion::Answer NameCheck::validateName(NameQuestion::Subject subject, const QString& name) {
    if (qubrix::isIsoName(name.toStdString()))
        return {name, false};
    return m_question->askNewName(subject, displayed(m_picked.pickedPath), name);
}

bool NameCheck::renameOnMedium(const std::string& from, const std::string& to,
                               const QString& newName) {
    // Nothing outside the medium is renamed, and a new name never moves an entry elsewhere.
    const bool renamed = qubrix::mayRenameOnMedium(m_document.driveRoot().toStdString(), from,
                                                   newName.toStdString()) &&
                         m_services.files.renameWithoutReplacing(displayed(from), displayed(to));
    if (!renamed) {
        m_services.dialogs.beep();
        m_services.dialogs.messageBox("File error", "Error!", DialogService::Icon::Error,
                                      DialogService::Buttons::Ok);
    }
    return renamed;
}

void NameCheck::followFolderRename(std::vector<std::string> folder, const std::string& newName) {
    const qubrix::FolderRename rename =
        qubrix::folderRenameOnMedium(m_document.place().pathRoot(), std::move(folder), newName);
    qubrix::renameFolderInListings(m_document.model(), rename);
}
