#include "app/frmmain.h"
#include "catalogue/noteviewer.h"

#include <QAction>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QPushButton>
#include <QSignalBlocker>
#include <QTextEdit>
#include <QToolButton>

void TfrmMain::BuildCategories() {
    m_document.model().BuildCategories();
    const QSignalBlocker quiet(CatBox);
    CatBox->clear();
    for (const std::string& name : m_document.model().categoryNames)
        CatBox->addItem(displayText(name, m_document.model().catalogueEncoding));
}

void TfrmMain::selectCategoryRow(int row) {
    const QSignalBlocker quiet(CatBox);
    CatBox->setCurrentRow(row);
}

void TfrmMain::CatBoxChange() {
    m_document.model().showCategory(CatBox->currentRow());
    {
        const QSignalBlocker quiet(lstDesc);
        lstDesc->clear();
        for (std::size_t i = 0; i < m_document.model().lstFiles.size(); ++i)
            lstDesc->addItem(displayText(m_document.model().GetListingDescription(i),
                                         m_document.model().catalogueEncoding));
    }
    lstDescClick();
}

int TfrmMain::selectedListingCount() const {
    return int(lstDesc->selectedItems().size());
}

void TfrmMain::lstDescClick() {
    m_notes->hideNotePopup();
    const bool hasRows = lstDesc->count() > 0;
    mnuEdit->menuAction()->setEnabled(hasRows);
    editPopupEnabled = hasRows;

    const int selected = selectedListingCount();
    m_editFlags.selectionChanged(std::size_t(selected));
    const bool one = selected == 1;
    const bool some = selected > 0;
    const int row = lstDesc->currentRow();
    const bool rowKnown = row >= 0 && std::size_t(row) < m_document.model().lstPath.size();
    MenuEdit->setText(one && rowKnown ? displayText(m_document.model().lstPath[std::size_t(row)],
                                                    m_document.model().catalogueEncoding)
                                      : QString());
    MenuEdit->setEnabled(one);
    cmdCopy->setVisible(some);
    cmdInstall->setVisible(one);
    ToolCopy->setEnabled(some);
    for (QToolButton* button : {ToolCopyFolder, ToolInstall, cmdDelete})
        button->setEnabled(one);
    Folder1->setEnabled(one);
    mnuCopy->menuAction()->setEnabled(some);
    for (QAction* action : {mnuInstall, mnuDelete, mnuModify, mnuMDelete, mnuMModify})
        action->setEnabled(one);
}

bool TfrmMain::eventFilter(QObject* watched, QEvent* event) {
    listingEditorEvent(watched, event);
    return QMainWindow::eventFilter(watched, event);
}
