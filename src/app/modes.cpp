#include "about/aboutbox.h"
#include "app/frmmain.h"

#include <QAction>
#include <QCheckBox>
#include <QFrame>
#include <QLineEdit>
#include <QMenu>
#include <QToolButton>

void TfrmMain::cmdAddClick() {
    setClientHeight(editorHeight);
    editorShown = true;
    cmdAdd->setChecked(true);
    txtFilename->setFocus();
}

void TfrmMain::cmdMenuClick() {
    setClientHeight(menuHeight);
    editorShown = false;
    cmdMenu->setChecked(true);
}

void TfrmMain::SetEditable(bool editable) {
    setClientHeight(menuHeight);
    editorShown = editable;
    m_document.setReadOnly(!editable);
    const qubrix::Options loaded = qubrix::decodeOptions(m_document.model().optionsAtLoad);
    m_document.options().autoSave = editable && loaded.autoSave;

    mnuNewCat->menuAction()->setVisible(editable);
    for (QWidget* control : std::initializer_list<QWidget*>{cmdCat, Splitter1, cmdSave, cmdDelete,
                                                            Splitter2, cmdMenu, cmdAdd})
        control->setVisible(editable);
    for (QAction* action : {AddFiles1, mnuSave, AutoSave1, Options->menuAction(),
                            mnuEdit->menuAction(), N1, N7, mnuDelete, mnuModify, N2, mnuClear})
        action->setVisible(editable);
    catPopupEnabled = editable;
    // The end user may select and copy a path, but a read-only catalogue takes no quick edit.
    MenuEdit->setReadOnly(!editable);
    if (!editable)
        return;

    // Back to the options of the last load or save: changes made since are dropped.
    chkSave->setChecked(loaded.autoSave);
    chkValid->setChecked(loaded.isoCheck);
    chkRoot->setChecked(loaded.includeParent);
    cmdMenu->setChecked(true);
}

void TfrmMain::ReadOnlyClick() {
    // The action has already inverted its own check mark.
    const bool readOnly = ReadOnly->isChecked();
    if (readOnly)
        m_services.files.setReadOnly(m_document.catalogPath());
    else
        m_services.files.clearReadOnly(m_document.catalogPath());
    SetEditable(!readOnly);
}

void TfrmMain::chkSaveClick() {
    m_document.options().autoSave = chkSave->isChecked();
    AutoSave1->setChecked(chkSave->isChecked());
}

void TfrmMain::AutoSave1Click() {
    m_document.options().autoSave = AutoSave1->isChecked();
    chkSave->setChecked(AutoSave1->isChecked());
}

void TfrmMain::chkValidClick() {
    m_document.options().isoCheck = chkValid->isChecked();
    Filenamecheck1->setChecked(chkValid->isChecked());
}

void TfrmMain::Filenamecheck1Click() {
    chkValid->setChecked(Filenamecheck1->isChecked());
    m_document.options().isoCheck = Filenamecheck1->isChecked();
}

void TfrmMain::chkRootClick() {
    m_document.options().includeParent = chkRoot->isChecked();
    Includeparent1->setChecked(chkRoot->isChecked());
}

void TfrmMain::Includeparent1Click() {
    chkRoot->setChecked(Includeparent1->isChecked());
    m_document.options().includeParent = chkRoot->isChecked();
}

void TfrmMain::setOptionsFromNumber(int number) {
    const qubrix::Options options = qubrix::decodeOptions(number);
    chkSave->setChecked(options.autoSave);
    chkValid->setChecked(options.isoCheck);
    chkRoot->setChecked(options.includeParent);
}

void TfrmMain::Contents1Click() {
    m_services.desktop.openHelp();
}

void TfrmMain::About1Click() {
    if (m_aboutBox)
        m_aboutBox->exec();
}
