#include "core/window/document.h"

#include "core/text/encoding.h"

#include <utility>

namespace qubrix {

CatalogueDocument::CatalogueDocument(const std::string& folder, std::string driveRoot)
    : m_folder(folder), m_catalogPath(folder + "qubrix.dat"), m_notesPath(folder + "descript.txt"),
      m_driveRoot(std::move(driveRoot)) {
    // The folder without its trailing separator, so that the root file system is the empty text.
    m_place = {folder.empty() ? folder : folder.substr(0, folder.size() - 1), m_driveRoot};
}

void CatalogueDocument::setReadOnly(bool readOnly) {
    m_readOnly = readOnly;
    m_markedChanged = !readOnly;
}

bool CatalogueDocument::isChanged() const {
    return !m_readOnly && (m_markedChanged || m_model.revision() != m_savedRevision);
}

bool CatalogueDocument::hasUnsavedEdits() const {
    return !m_readOnly && m_model.revision() != m_savedRevision;
}

void CatalogueDocument::markChanged() {
    m_markedChanged = true;
}

void CatalogueDocument::markSaved() {
    m_markedChanged = false;
    m_savedRevision = m_model.revision();
}

std::string CatalogueDocument::shownText(const std::string& catalogueBytes) const {
    return toUtf8(catalogueBytes, m_model.catalogueEncoding);
}

std::string CatalogueDocument::shownNote(const std::string& noteBytes) const {
    return toUtf8(noteBytes, m_model.notesEncoding);
}

} // namespace qubrix
