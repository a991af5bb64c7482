#include "core/window/windowlogic.h"

#include "core/naming/folderrename.h"
#include "core/naming/isoname.h"
#include "core/naming/nameplan.h"

namespace qubrix {

// Each pass asks about every failing name once; a rename changes the picked path, so the next
// pass tests the new names, until a pass renames nothing.
void WindowLogic::checkNames() {
    bool renamedSome = false;
    do {
        renamedSome = checkFolderNames();
        renamedSome = checkFileName() || renamedSome;
    } while (renamedSome);
}

NamePlan WindowLogic::namePlan() const {
    return NamePlan(m_document.place().pathRoot(),
                    {m_picked.pickedFolder, m_picked.pickedName,
                     m_picked.topFolderLeftOut ? m_picked.topFolder : std::string()});
}

bool WindowLogic::checkFolderNames() {
    bool accepted = false;
    NamePlan plan = namePlan();
    for (std::size_t i = 0; i < plan.folders().size(); ++i) {
        const DialogPort::NameAnswer answer =
            validateName(DialogPort::NameSubject::Folder, plan.folders()[i]);
        if (!answer.renameAccepted)
            continue;
        accepted = true;
        const NamePlan renamed = plan.withFolderName(i, answer.name);
        if (!renameOnMedium(plan.folderPath(i), renamed.folderPath(i), answer.name))
            continue;
        // Every listing through the folder follows it, or it would name a folder that is gone.
        const FolderRename rename = folderRenameOnMedium(m_document.place().pathRoot(),
                                                         plan.folderFromRoot(i), answer.name);
        renameFolderInListings(m_document.model(), rename);
        plan = renamed;
        setPickedPath(plan.filePath());
    }
    return accepted;
}

bool WindowLogic::checkFileName() {
    const NamePlan plan = namePlan();
    const DialogPort::NameAnswer answer =
        validateName(DialogPort::NameSubject::File, plan.fileName());
    if (!answer.renameAccepted)
        return false;
    const NamePlan renamed = plan.withFileName(answer.name);
    if (renameOnMedium(plan.filePath(), renamed.filePath(), answer.name))
        setPickedPath(renamed.filePath());
    return true;
}

DialogPort::NameAnswer WindowLogic::validateName(DialogPort::NameSubject subject,
                                                 const std::string& name) {
    if (isIsoName(name))
        return {name, false};
    return m_dialogs.askNewName(subject, m_picked.pickedPath, name);
}

bool WindowLogic::renameOnMedium(const std::string& from, const std::string& to,
                                 const std::string& newName) {
    // Nothing outside the medium is renamed, and a new name never moves an entry elsewhere.
    const bool renamed = mayRenameOnMedium(m_document.driveRoot(), from, newName) &&
                         m_system.renameWithoutReplacing(from, to);
    if (!renamed)
        m_user.tell("File error", "Error!");
    return renamed;
}

} // namespace qubrix
