#include "linux/actions/copycommands.h"

#include "core/actions/copyplan.h"
#include "core/actions/medium.h"
#include "core/text/encoding.h"
#include "core/window/product.h"

#include <QAction>
#include <QFile>
#include <QListWidget>
#include <QPushButton>
#include <QToolButton>

CopyCommands::CopyCommands(CatalogueDocument& document, Services services,
                           const CopyControls& controls, QObject* parent)
    : QObject(parent), m_document(document), m_services(services), m_controls(controls) {
    connect(controls.cmdCopy, &QPushButton::clicked, this, &CopyCommands::cmdCopyClick);
    connect(controls.ToolCopy, &QToolButton::clicked, this, &CopyCommands::cmdCopyClick);
    connect(controls.File1, &QAction::triggered, this, &CopyCommands::cmdCopyClick);
    connect(controls.ToolCopyFolder, &QToolButton::clicked, this,
            &CopyCommands::ToolCopyFolderClick);
    connect(controls.Folder1, &QAction::triggered, this, &CopyCommands::ToolCopyFolderClick);
}

// Behind "Copy", ToolCopy and "&File": each selected listing's file.
void CopyCommands::cmdCopyClick() {
    copySelection(false);
}

// Behind ToolCopyFolder and "F&older": the folder of the one selected listing.
void CopyCommands::ToolCopyFolderClick() {
    copySelection(true);
}

void CopyCommands::copySelection(bool folderMode) {
    const QListWidget* lstDesc = m_controls.lstDesc;
    std::vector<int> rows;
    for (int row = 0; row < lstDesc->count(); ++row)
        if (lstDesc->item(row)->isSelected() &&
            static_cast<std::size_t>(row) < m_document.model().lstPath.size())
            rows.push_back(row);
    if (rows.empty())
        return;
    const QString picked = m_services.dialogs.pickFolder(productName);
    if (picked.isEmpty())
        return;
    if (folderMode)
        m_services.dialogs.beep();
    std::vector<std::string> storedPaths;
    for (const int row : rows) {
        if (folderMode && !wholeDiscAgreed(row)) {
            m_services.dialogs.beepAndAsk("Copy cancelled!", "Copy Folder",
                                          DialogService::Icon::Warning, DialogService::Buttons::Ok);
            return;
        }
        storedPaths.push_back(storedPathOf(row));
    }
    // The first listing tells where the disc's paths start; a listing read from elsewhere is
    // reported as not found by the copy.
    const qubrix::CopyPlan plan = qubrix::planCopy(
        qubrix::storedPathRoot(m_document.place(), storedPaths.front()), storedPaths,
        folderMode ? qubrix::CopyMode::Folder : qubrix::CopyMode::File,
        QFile::encodeName(picked).toStdString());
    if (!plan.error.empty()) {
        m_services.dialogs.beepAndAsk(QString::fromStdString(plan.error), "Error",
                                      DialogService::Icon::Error, DialogService::Buttons::Ok);
        return;
    }
    m_services.copy.copy(plan);
}

std::string CopyCommands::storedPathOf(int row) const {
    return qubrix::toUtf8(m_document.model().lstPath[row], m_document.model().catalogueEncoding);
}

// A folder copy of a listing in the root of the disc copies the whole disc: only after a Yes,
// asked without beep or icon.
bool CopyCommands::wholeDiscAgreed(int row) {
    return !qubrix::namesWholeMedium(storedPathOf(row)) ||
           m_services.dialogs.messageBox(
               "This will copy the entire CD, continue?", "Warning", DialogService::Icon::None,
               DialogService::Buttons::YesNo) == DialogService::Answer::Yes;
}
