#include "core/window/windowlogic.h"

namespace qubrix {

void WindowLogic::cmdAddClick() {
    m_editorShown = true;
    m_commands.addPressed = true;
    m_commands.bandOpen = true;
    updateCommands();
    if (m_view)
        m_view->focusOn(Focus::FileName);
}

void WindowLogic::cmdMenuClick() {
    m_editorShown = false;
    m_commands.addPressed = false;
    m_commands.bandOpen = false;
    updateCommands();
}

void WindowLogic::SetEditable(bool editable) {
    m_commands.bandOpen = false;
    m_editorShown = editable;
    m_document.setReadOnly(!editable);
    const Options loaded = decodeOptions(m_document.model().optionsAtLoad);
    m_document.options().autoSave = editable && loaded.autoSave;
    // Back to the options of the last load or save: changes made since are dropped.
    if (editable) {
        setOptionsFromNumber(m_document.model().optionsAtLoad);
        m_commands.addPressed = false;
    }
    updateCommands();
}

void WindowLogic::ReadOnlyClick(bool readOnly) {
    if (readOnly)
        m_system.setReadOnly(m_document.catalogPath());
    else
        m_system.clearReadOnly(m_document.catalogPath());
    m_commands.readOnlyChecked = readOnly;
    SetEditable(!readOnly);
}

void WindowLogic::setAutoSave(bool on) {
    m_commands.options.autoSave = on;
    m_document.options().autoSave = on;
    updateCommands();
}

void WindowLogic::setIsoCheck(bool on) {
    m_commands.options.isoCheck = on;
    m_document.options().isoCheck = on;
    updateCommands();
}

void WindowLogic::setIncludeParent(bool on) {
    m_commands.options.includeParent = on;
    m_document.options().includeParent = on;
    updateCommands();
}

int WindowLogic::optionsNumber() const {
    return qubrix::optionsNumber(m_commands.options);
}

void WindowLogic::setOptionsFromNumber(int number) {
    m_commands.options = decodeOptions(number);
    m_document.options() = m_commands.options;
    updateCommands();
}

} // namespace qubrix
