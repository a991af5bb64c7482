#pragma once

#include "core/catalogue/catalogue.h"
#include "core/catalogue/discplace.h"

#include <cstdint>
#include <string>

namespace qubrix {

// The catalogue a window works on: the model, the paths of its two data files, the options as
// the window shows them, the read-only state and the mark of changes not saved yet. The mark
// follows the model's edits by itself; markChanged is for what the model does not see.
class CatalogueDocument final {
public:
    // The data files qubrix.dat and descript.txt in folder, which ends with the system's
    // separator, on the medium mounted at driveRoot ("" for "/").
    CatalogueDocument(const std::string& folder, std::string driveRoot);
    CatalogueDocument(const CatalogueDocument&) = delete;
    CatalogueDocument& operator=(const CatalogueDocument&) = delete;

    Catalogue& model() { return m_model; }
    const Catalogue& model() const { return m_model; }
    const std::string& catalogPath() const { return m_catalogPath; }
    const std::string& notesPath() const { return m_notesPath; }
    // The folder that holds the data files, with its trailing separator.
    const std::string& folder() const { return m_folder; }
    // The mount point of the medium, "" for "/".
    const std::string& driveRoot() const { return m_driveRoot; }
    // The disc's folder, which holds the data files, on that medium: where stored paths lead.
    const DiscPlace& place() const { return m_place; }
    Options& options() { return m_options; }
    const Options& options() const { return m_options; }

    bool readOnly() const { return m_readOnly; }
    // A catalogue made editable counts as changed, so that Exit offers to save it; a read-only
    // one never counts as changed, whatever the end user rearranged for the run.
    void setReadOnly(bool readOnly);

    // Whether there is something to save: an edit of the model since the last load or save, or
    // a markChanged since then.
    bool isChanged() const;
    // Whether the files would change with a save: an edit of the model since the last load or
    // save. The file-name edit alone puts nothing into the files.
    bool hasUnsavedEdits() const;
    // A change that is no edit of the model (the file-name edit).
    void markChanged();
    // The files hold what the model holds: after a load or a save.
    void markSaved();

    // Text of a catalogue line and of a note as the windows show it (UTF-8).
    std::string shownText(const std::string& catalogueBytes) const;
    std::string shownNote(const std::string& noteBytes) const;

private:
    Catalogue m_model;
    std::string m_folder;
    std::string m_catalogPath;
    std::string m_notesPath;
    std::string m_driveRoot;
    DiscPlace m_place;
    Options m_options;
    bool m_readOnly = false;
    bool m_markedChanged = false;
    std::uint64_t m_savedRevision = 0;
};

} // namespace qubrix
