#include "linux/app/frmmain.h"
#include "linux/catalogue/noteviewer.h"

#include <QAction>
#include <QCheckBox>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QPushButton>
#include <QSignalBlocker>
#include <QToolButton>

namespace {

QString shown(const std::string& utf8) {
    return QString::fromStdString(utf8);
}

void setText(QLineEdit* edit, const std::string& utf8) {
    const QString text = shown(utf8);
    if (edit->text() == text)
        return;
    const QSignalBlocker quiet(edit);
    edit->setText(text);
}

} // namespace

void TfrmMain::categoriesChanged() {
    QListWidget* CatBox = m_controls.CatBox;
    const QSignalBlocker quiet(CatBox);
    CatBox->clear();
    for (const std::string& name : m_logic.categoryRows())
        CatBox->addItem(shown(name));
    CatBox->setCurrentRow(m_logic.categoryRow());
}

void TfrmMain::rowsChanged() {
    QListWidget* lstDesc = m_controls.lstDesc;
    {
        const QSignalBlocker quiet(lstDesc);
        lstDesc->clear();
        for (const std::string& row : m_logic.listingRows())
            lstDesc->addItem(shown(row));
        for (int row = 0; row < lstDesc->count(); ++row)
            describeRow(row);
    }
    selectionChanged();
}

void TfrmMain::rowChanged(std::size_t row) {
    QListWidgetItem* item = m_controls.lstDesc->item(int(row));
    if (!item)
        return;
    item->setText(shown(m_logic.listingRow(row)));
    describeRow(int(row));
}

// Readers speak a listing's note as the description of its row; the pop-up shows it only on
// demand.
void TfrmMain::describeRow(int row) {
    m_controls.lstDesc->item(row)->setData(Qt::AccessibleDescriptionRole,
                                           shown(m_logic.rowNote(std::size_t(row))));
}

void TfrmMain::selectionChanged() {
    QListWidget* lstDesc = m_controls.lstDesc;
    const QSignalBlocker quiet(lstDesc);
    lstDesc->setCurrentRow(m_logic.currentRow(), QItemSelectionModel::NoUpdate);
    lstDesc->clearSelection();
    for (const int row : m_logic.selectedRows())
        if (QListWidgetItem* item = lstDesc->item(row))
            item->setSelected(true);
}

void TfrmMain::commandsChanged() {
    const qubrix::CommandStates& c = m_logic.commands();
    showModeCommands(c);
    showSelectionCommands(c);
    showOptions(c);
    if (c.bandOpen != m_bandOpen) {
        m_bandOpen = c.bandOpen;
        setClientHeight(c.bandOpen ? ClientArea::editorHeight : ClientArea::menuHeight);
    }
}

void TfrmMain::showModeCommands(const qubrix::CommandStates& c) {
    const MainControls& m = m_controls;
    m.mnuNewCat->menuAction()->setVisible(c.editingShown);
    for (QWidget* control : std::initializer_list<QWidget*>{
             m.cmdCat, m.Splitter1, m.cmdSave, m.cmdDelete, m.Splitter2, m.cmdMenu, m.cmdAdd})
        control->setVisible(c.editingShown);
    for (QAction* action : {m.AddFiles1, m.mnuPrepareMedium, m.mnuMakeImage, m.mnuSave, m.AutoSave1,
                            m.Options->menuAction(), m.mnuEdit->menuAction(), m.N1, m.N7,
                            m.mnuDelete, m.mnuModify, m.N2, m.mnuClear})
        action->setVisible(c.editingShown);
    m.ReadOnly->setChecked(c.readOnlyChecked);
    m.ReadOnly->setVisible(c.readOnlyShown);
    (c.addPressed ? m.cmdAdd : m.cmdMenu)->setChecked(true);
    // While a quick edit holds the lists nothing else may change the catalogue.
    for (QWidget* control :
         std::initializer_list<QWidget*>{m.lstDesc, m.CatBox, m.cmdSort, m.cmdCat})
        control->setEnabled(c.listsEnabled);
    for (QAction* command : {m.mnuNewCat->menuAction(), m.ReadOnly})
        command->setEnabled(c.listsEnabled);
    m.MOK->setEnabled(c.quickEditButtons);
    m.MOC->setEnabled(c.quickEditButtons);
}

void TfrmMain::showSelectionCommands(const qubrix::CommandStates& c) {
    const MainControls& m = m_controls;
    m.mnuEdit->menuAction()->setEnabled(c.editMenuEnabled);
    setText(m.MenuEdit, c.quickEditorText);
    m.MenuEdit->setEnabled(c.oneSelected);
    // The end user may select and copy a path, but a read-only catalogue takes no quick edit.
    m.MenuEdit->setReadOnly(c.quickEditorReadOnly);
    m.cmdCopy->setVisible(c.someSelected);
    m.cmdInstall->setVisible(c.oneSelected);
    m.ToolCopy->setEnabled(c.someSelected);
    for (QToolButton* button : {m.ToolCopyFolder, m.ToolInstall})
        button->setEnabled(c.oneSelected);
    m.cmdDelete->setEnabled(c.deleteEnabled);
    m.Folder1->setEnabled(c.oneSelected);
    m.mnuCopy->menuAction()->setEnabled(c.someSelected);
    for (QAction* action : {m.mnuInstall, m.mnuDelete, m.mnuModify, m.mnuMDelete, m.mnuMModify})
        action->setEnabled(c.oneSelected);
}

void TfrmMain::showOptions(const qubrix::CommandStates& c) {
    const MainControls& m = m_controls;
    const std::initializer_list<std::pair<bool, std::pair<QCheckBox*, QAction*>>> shownOptions = {
        {c.options.autoSave, {m.chkSave, m.AutoSave1}},
        {c.options.isoCheck, {m.chkValid, m.Filenamecheck1}},
        {c.options.includeParent, {m.chkRoot, m.Includeparent1}}};
    for (const auto& [on, controls] : shownOptions) {
        const QSignalBlocker quietBox(controls.first);
        controls.first->setChecked(on);
        controls.second->setChecked(on);
    }
}

void TfrmMain::entryChanged() {
    setText(m_controls.txtFilename, m_logic.fileNameText());
    setText(m_controls.txtDescription, m_logic.descriptionText());
}

void TfrmMain::focusOn(qubrix::Focus where) {
    switch (where) {
    case qubrix::Focus::FileName:
        m_controls.txtFilename->setFocus();
        break;
    case qubrix::Focus::Description:
        m_controls.txtDescription->setFocus();
        break;
    case qubrix::Focus::Listings:
        m_controls.lstDesc->setFocus();
        break;
    case qubrix::Focus::Categories:
        m_controls.CatBox->setFocus();
        break;
    }
}

void TfrmMain::hideNote() {
    m_notes->hideNotePopup();
}

// While the program runs the window waits minimised, and every command but Run stays usable
// in it.
void TfrmMain::programStarted() {
    showMinimized();
}

void TfrmMain::programEnded() {
    showNormal();
    activateWindow();
}
