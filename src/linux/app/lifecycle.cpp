#include "linux/app/frmmain.h"
#include "linux/app/modesandoptions.h"
#include "linux/catalogue/cataloguebrowser.h"
#include "linux/catalogue/cataloguestore.h"
#include "core/window/product.h"

#include <QAction>
#include <QCloseEvent>
#include <QLineEdit>
#include <QListWidget>

bool TfrmMain::FormCreate() {
    using LoadResult = CatalogueStore::LoadResult;
    const LoadResult loaded = m_store->LoadCatalogue();
    if (loaded == LoadResult::Unreadable)
        return false;
    if (loaded == LoadResult::WriteProtected) {
        // On a medium that cannot be written the attribute cannot be set again, and the
        // window stays read-only for the whole run.
        if (m_services.files.setReadOnly(m_document.catalogPath()))
            m_controls.ReadOnly->setChecked(true);
        else
            m_controls.ReadOnly->setVisible(false);
        m_modes->SetEditable(false);
    }
    // The drive root is the mount point found at construction; "/" shows as the empty text.
    const QString label = m_services.files.volumeLabel(
        m_document.driveRoot().isEmpty() ? "/" : m_document.driveRoot());
    setWindowTitle(QString("%1 %2  [%3]").arg(productName, productVersion, label));
    m_controls.txtDescription->setMaxLength(53);
    m_controls.txtDescription->clear();
    m_browser->BuildCategories();
    if (m_controls.CatBox->count() > 0)
        m_browser->selectCategoryRow(0);
    m_browser->CatBoxChange();
    // Keys go to the lists first: the first Space must not press the first tool button.
    (m_controls.lstDesc->count() > 0 ? m_controls.lstDesc : m_controls.CatBox)->setFocus();
    return true;
}

void TfrmMain::mnuExitClick() {
    const bool optionsChanged = m_modes->checkBoxOptions() != m_document.model().optionsAtLoad;
    if ((optionsChanged || m_document.isChanged()) && !m_controls.ReadOnly->isChecked()) {
        const auto answer = m_services.dialogs.beepAndAsk(
            "List has changed--Save before exiting?", "Confirm SAVE", DialogService::Icon::Warning,
            DialogService::Buttons::YesNo);
        // Dismissing the question answers neither: the window stays and nothing is written.
        if (answer == DialogService::Answer::Dismissed)
            return;
        // A failed save keeps the window open, so nothing is lost.
        if (answer == DialogService::Answer::Yes && !m_store->saveCatalogue())
            return;
    }
    m_services.processes.endProcess(1);
}

void TfrmMain::closeEvent(QCloseEvent* event) {
    // Leaving goes through Exit; the process ends there, or the window stays open.
    event->ignore();
    mnuExitClick();
}
