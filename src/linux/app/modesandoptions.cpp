#include "linux/app/modesandoptions.h"

#include <QAction>
#include <QCheckBox>
#include <QFrame>
#include <QLineEdit>
#include <QMenu>
#include <QToolButton>

ModesAndOptions::ModesAndOptions(CatalogueDocument& document, Services services,
                                 const ModeControls& controls, std::function<void(bool)> showEditor,
                                 QObject* parent)
    : QObject(parent), m_document(document), m_services(services), m_controls(controls),
      m_showEditor(std::move(showEditor)) {
    setObjectName("modesAndOptions");
    connect(controls.cmdAdd, &QToolButton::clicked, this, &ModesAndOptions::cmdAddClick);
    connect(controls.AddFiles1, &QAction::triggered, this, &ModesAndOptions::cmdAddClick);
    for (QToolButton* button : {controls.cmdMenu, controls.btnClose})
        connect(button, &QToolButton::clicked, this, &ModesAndOptions::cmdMenuClick);
    connect(controls.ReadOnly, &QAction::triggered, this, &ModesAndOptions::ReadOnlyClick);

    // A check box set from code runs its handler as well, which keeps the menu in step.
    connect(controls.chkSave, &QCheckBox::toggled, this, &ModesAndOptions::chkSaveClick);
    connect(controls.chkValid, &QCheckBox::toggled, this, &ModesAndOptions::chkValidClick);
    connect(controls.chkRoot, &QCheckBox::toggled, this, &ModesAndOptions::chkRootClick);
    connect(controls.AutoSave1, &QAction::triggered, this, &ModesAndOptions::AutoSave1Click);
    connect(controls.Filenamecheck1, &QAction::triggered, this,
            &ModesAndOptions::Filenamecheck1Click);
    connect(controls.Includeparent1, &QAction::triggered, this,
            &ModesAndOptions::Includeparent1Click);
}

int ModesAndOptions::checkBoxOptions() const {
    return qubrix::optionsNumber({m_controls.chkSave->isChecked(), m_controls.chkValid->isChecked(),
                                  m_controls.chkRoot->isChecked()});
}

void ModesAndOptions::cmdAddClick() {
    m_showEditor(true);
    m_editorShown = true;
    m_controls.cmdAdd->setChecked(true);
    m_controls.txtFilename->setFocus();
}

void ModesAndOptions::cmdMenuClick() {
    m_showEditor(false);
    m_editorShown = false;
    m_controls.cmdMenu->setChecked(true);
}

void ModesAndOptions::SetEditable(bool editable) {
    m_showEditor(false);
    m_editorShown = editable;
    const ModeControls& c = m_controls;
    m_document.setReadOnly(!editable);
    const qubrix::Options loaded = qubrix::decodeOptions(m_document.model().optionsAtLoad);
    m_document.options().autoSave = editable && loaded.autoSave;

    c.mnuNewCat->menuAction()->setVisible(editable);
    for (QWidget* control : std::initializer_list<QWidget*>{
             c.cmdCat, c.Splitter1, c.cmdSave, c.cmdDelete, c.Splitter2, c.cmdMenu, c.cmdAdd})
        control->setVisible(editable);
    for (QAction* action :
         {c.AddFiles1, c.mnuPrepareMedium, c.mnuMakeImage, c.mnuSave, c.AutoSave1,
          c.Options->menuAction(), c.mnuEdit->menuAction(), c.N1, c.N7, c.mnuDelete, c.mnuModify,
          c.N2, c.mnuClear})
        action->setVisible(editable);
    m_catPopupEnabled = editable;
    // The end user may select and copy a path, but a read-only catalogue takes no quick edit.
    c.MenuEdit->setReadOnly(!editable);
    if (!editable)
        return;

    // Back to the options of the last load or save: changes made since are dropped.
    c.chkSave->setChecked(loaded.autoSave);
    c.chkValid->setChecked(loaded.isoCheck);
    c.chkRoot->setChecked(loaded.includeParent);
    c.cmdMenu->setChecked(true);
}

void ModesAndOptions::ReadOnlyClick() {
    // The action has already inverted its own check mark.
    const bool readOnly = m_controls.ReadOnly->isChecked();
    if (readOnly)
        m_services.files.setReadOnly(m_document.catalogPath());
    else
        m_services.files.clearReadOnly(m_document.catalogPath());
    SetEditable(!readOnly);
}

void ModesAndOptions::chkSaveClick() {
    m_document.options().autoSave = m_controls.chkSave->isChecked();
    m_controls.AutoSave1->setChecked(m_controls.chkSave->isChecked());
}

void ModesAndOptions::AutoSave1Click() {
    m_document.options().autoSave = m_controls.AutoSave1->isChecked();
    m_controls.chkSave->setChecked(m_controls.AutoSave1->isChecked());
}

void ModesAndOptions::chkValidClick() {
    m_document.options().isoCheck = m_controls.chkValid->isChecked();
    m_controls.Filenamecheck1->setChecked(m_controls.chkValid->isChecked());
}

void ModesAndOptions::Filenamecheck1Click() {
    m_controls.chkValid->setChecked(m_controls.Filenamecheck1->isChecked());
    m_document.options().isoCheck = m_controls.Filenamecheck1->isChecked();
}

void ModesAndOptions::chkRootClick() {
    m_document.options().includeParent = m_controls.chkRoot->isChecked();
    m_controls.Includeparent1->setChecked(m_controls.chkRoot->isChecked());
}

void ModesAndOptions::Includeparent1Click() {
    m_controls.chkRoot->setChecked(m_controls.Includeparent1->isChecked());
    m_document.options().includeParent = m_controls.chkRoot->isChecked();
}

void ModesAndOptions::setOptionsFromNumber(int number) {
    const qubrix::Options options = qubrix::decodeOptions(number);
    m_controls.chkSave->setChecked(options.autoSave);
    m_controls.chkValid->setChecked(options.isoCheck);
    m_controls.chkRoot->setChecked(options.includeParent);
}
