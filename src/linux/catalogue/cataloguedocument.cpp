#include "linux/catalogue/cataloguedocument.h"

#include <utility>

CatalogueDocument::CatalogueDocument(const QString& folder, QString driveRoot, QObject* parent)
    : QObject(parent), m_catalogPath(folder + "qubrix.dat"), m_notesPath(folder + "descript.txt"),
      m_driveRoot(std::move(driveRoot)) {
    // The folder without its trailing "/", so that the root file system is the empty text.
    m_place = {folder.chopped(1).toStdString(), m_driveRoot.toStdString()};
    m_model.setListener(this);
}

CatalogueDocument::~CatalogueDocument() {
    m_model.setListener(nullptr);
}

void CatalogueDocument::setReadOnly(bool readOnly) {
    m_readOnly = readOnly;
    m_markedChanged = !readOnly;
    announceMark();
}

bool CatalogueDocument::isChanged() const {
    return !m_readOnly && (m_markedChanged || m_model.revision() != m_savedRevision);
}

void CatalogueDocument::markChanged() {
    m_markedChanged = true;
    announceMark();
}

void CatalogueDocument::markSaved() {
    m_markedChanged = false;
    m_savedRevision = m_model.revision();
    announceMark();
}

void CatalogueDocument::modelEdited() {
    emit catalogueEdited();
    announceMark();
}

void CatalogueDocument::modelShowedCategory(int k) {
    emit categoryShown(k);
}

void CatalogueDocument::announceMark() {
    const bool changed = isChanged();
    if (changed == m_announcedChanged)
        return;
    m_announcedChanged = changed;
    emit changedMarkChanged(changed);
}
