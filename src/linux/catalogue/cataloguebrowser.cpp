#include "linux/catalogue/cataloguebrowser.h"

#include "linux/catalogue/noteviewer.h"
#include "core/text/encoding.h"

#include <QAction>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QPoint>
#include <QPushButton>
#include <QSignalBlocker>
#include <QToolButton>

#include <algorithm>

namespace {

bool hasVisibleItem(const QMenu* menu) {
    const auto actions = menu->actions();
    return std::any_of(actions.begin(), actions.end(),
                       [](const QAction* action) { return action->isVisible(); });
}

} // namespace

CatalogueBrowser::CatalogueBrowser(CatalogueDocument& document, const BrowsingControls& controls,
                                   NoteViewer& notes, std::function<bool()> catPopupEnabled,
                                   std::function<void(std::size_t)> selectionChanged,
                                   QObject* parent)
    : QObject(parent), m_document(document), m_controls(controls), m_notes(notes),
      m_catPopupEnabled(std::move(catPopupEnabled)),
      m_selectionChanged(std::move(selectionChanged)) {
    setObjectName("catalogueBrowser");
    connect(controls.CatBox, &QListWidget::itemSelectionChanged, this,
            &CatalogueBrowser::CatBoxChange);
    connect(controls.lstDesc, &QListWidget::itemSelectionChanged, this,
            &CatalogueBrowser::lstDescClick);
    // An edit may change a listing's note without a change of its row: the notes are told
    // again once the edit's rows are in place.
    connect(&document, &CatalogueDocument::catalogueEdited, this,
            &CatalogueBrowser::describeListings, Qt::QueuedConnection);
    connect(controls.CatBox, &QWidget::customContextMenuRequested, this, [this](const QPoint& at) {
        if (m_catPopupEnabled())
            m_controls.CatPopup->popup(m_controls.CatBox->viewport()->mapToGlobal(at));
    });
    connect(controls.lstDesc, &QWidget::customContextMenuRequested, this, [this](const QPoint& at) {
        if (m_editPopupEnabled && hasVisibleItem(m_controls.EditPopup))
            m_controls.EditPopup->popup(m_controls.lstDesc->viewport()->mapToGlobal(at));
    });
}

void CatalogueBrowser::BuildCategories() {
    QListWidget* CatBox = m_controls.CatBox;
    m_document.model().BuildCategories();
    const QSignalBlocker quiet(CatBox);
    CatBox->clear();
    for (const std::string& name : m_document.model().categoryNames)
        CatBox->addItem(displayText(name, m_document.model().catalogueEncoding));
}

void CatalogueBrowser::selectCategoryRow(int row) {
    const QSignalBlocker quiet(m_controls.CatBox);
    m_controls.CatBox->setCurrentRow(row);
}

void CatalogueBrowser::CatBoxChange() {
    QListWidget* lstDesc = m_controls.lstDesc;
    m_document.model().showCategory(m_controls.CatBox->currentRow());
    {
        const QSignalBlocker quiet(lstDesc);
        lstDesc->clear();
        for (std::size_t i = 0; i < m_document.model().lstFiles.size(); ++i)
            lstDesc->addItem(displayText(m_document.model().GetListingDescription(i),
                                         m_document.model().catalogueEncoding));
    }
    describeListings();
    lstDescClick();
}

void CatalogueBrowser::describeListings() {
    // Readers speak a listing's note as the description of its row; the pop-up shows it only
    // on demand.
    const qubrix::Catalogue& model = m_document.model();
    QListWidget* lstDesc = m_controls.lstDesc;
    const int rows = std::min(lstDesc->count(), int(model.noteIndex.size()));
    for (int row = 0; row < rows; ++row) {
        const int note = model.noteIndex[std::size_t(row)];
        const bool known = note >= 0 && std::size_t(note) < model.lstMemo.size();
        lstDesc->item(row)->setData(
            Qt::AccessibleDescriptionRole,
            known ? displayText(model.lstMemo[std::size_t(note)], model.notesEncoding) : QString());
    }
}

void CatalogueBrowser::lstDescClick() {
    const BrowsingControls& c = m_controls;
    m_notes.hideNotePopup();
    const bool hasRows = c.lstDesc->count() > 0;
    c.mnuEdit->menuAction()->setEnabled(hasRows);
    m_editPopupEnabled = hasRows;

    const int selected = int(c.lstDesc->selectedItems().size());
    m_selectionChanged(std::size_t(selected));
    const bool one = selected == 1;
    const bool some = selected > 0;
    const int row = c.lstDesc->currentRow();
    const bool rowKnown = row >= 0 && std::size_t(row) < m_document.model().lstPath.size();
    c.MenuEdit->setText(one && rowKnown ? displayText(m_document.model().lstPath[std::size_t(row)],
                                                      m_document.model().catalogueEncoding)
                                        : QString());
    c.MenuEdit->setEnabled(one);
    c.cmdCopy->setVisible(some);
    c.cmdInstall->setVisible(one);
    c.ToolCopy->setEnabled(some);
    for (QToolButton* button : {c.ToolCopyFolder, c.ToolInstall, c.cmdDelete})
        button->setEnabled(one);
    c.Folder1->setEnabled(one);
    c.mnuCopy->menuAction()->setEnabled(some);
    for (QAction* action : {c.mnuInstall, c.mnuDelete, c.mnuModify, c.mnuMDelete, c.mnuMModify})
        action->setEnabled(one);
}
