#pragma once

#include "core/catalogue/catalogue.h"
#include "core/catalogue/discplace.h"

#include <QObject>
#include <QString>

#include <cstdint>
#include <string>

// Bytes of a catalogue or notes line as the windows show them.
inline QString displayText(const std::string& bytes, qubrix::TextEncoding encoding) {
    return QString::fromStdString(qubrix::toUtf8(bytes, encoding));
}

// The catalogue a window works on: the model, the paths of its two data files, the options as
// the window shows them, the read-only state and the mark of changes not saved yet. The mark
// follows the model's edits by itself; markChanged is for what the model does not see.
class CatalogueDocument final : public QObject, private qubrix::CatalogueListener {
    Q_OBJECT

public:
    // The data files qubrix.dat and descript.txt in folder, which ends with "/", on the medium
    // mounted at driveRoot ("" for "/").
    CatalogueDocument(const QString& folder, QString driveRoot, QObject* parent = nullptr);
    ~CatalogueDocument() override;

    qubrix::Catalogue& model() { return m_model; }
    const qubrix::Catalogue& model() const { return m_model; }
    const QString& catalogPath() const { return m_catalogPath; }
    const QString& notesPath() const { return m_notesPath; }
    // The mount point of the medium, "" for "/".
    const QString& driveRoot() const { return m_driveRoot; }
    // The disc's folder, which holds the data files, on that medium: where stored paths lead.
    const qubrix::DiscPlace& place() const { return m_place; }
    qubrix::Options& options() { return m_options; }
    const qubrix::Options& options() const { return m_options; }

    bool readOnly() const { return m_readOnly; }
    // A catalogue made editable counts as changed, so that Exit offers to save it; a read-only
    // one never counts as changed, whatever the end user rearranged for the run.
    void setReadOnly(bool readOnly);

    // Whether there is something to save: an edit of the model since the last load or save, or
    // a markChanged since then.
    bool isChanged() const;
    // A change that is no edit of the model (the file-name edit).
    void markChanged();
    // The files hold what the model holds: after a load or a save.
    void markSaved();

signals:
    void catalogueEdited();
    void categoryShown(int row);
    void changedMarkChanged(bool changed);

private:
    void modelEdited() override;
    void modelShowedCategory(int k) override;
    // Tells the listeners when isChanged has turned since they were told last.
    void announceMark();

    qubrix::Catalogue m_model;
    QString m_catalogPath;
    QString m_notesPath;
    QString m_driveRoot;
    qubrix::DiscPlace m_place;
    qubrix::Options m_options;
    bool m_readOnly = false;
    bool m_markedChanged = false;
    std::uint64_t m_savedRevision = 0;
    bool m_announcedChanged = false;
};
