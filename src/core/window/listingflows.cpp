#include "core/window/windowlogic.h"

namespace qubrix {

// The program's own changes of the file name count as a change of the catalogue as well.
void WindowLogic::setFileName(const std::string& text) {
    if (text == m_fileName)
        return;
    m_fileName = text;
    m_document.markChanged();
    if (m_view)
        m_view->entryChanged();
}

void WindowLogic::setDescription(const std::string& text) {
    if (text == m_description)
        return;
    m_description = text;
    if (m_view)
        m_view->entryChanged();
}

void WindowLogic::fileNameEdited(const std::string& text) {
    setFileName(text);
}

void WindowLogic::descriptionEdited(const std::string& text) {
    setDescription(text);
}

} // namespace qubrix
