#include "core/window/windowlogic.h"

#include "core/window/product.h"

namespace qubrix {

namespace {

std::string fileNameOf(const std::string& path) {
    const auto separator = path.find_last_of("/\\");
    return separator == std::string::npos ? path : path.substr(separator + 1);
}

std::string countsText(const Catalogue::Counts& counts) {
    return std::to_string(counts.categories) + " categories, " + std::to_string(counts.listings) +
           " listings, " + std::to_string(counts.notes) + " notes";
}

} // namespace

DataFilePair WindowLogic::dataFiles() const {
    return {m_document.catalogPath(), m_document.notesPath()};
}

bool WindowLogic::FormCreate() {
    using Status = Catalogue::LoadOutcome::Status;
    const std::optional<bool> writeProtected = m_system.isReadOnly(m_document.catalogPath());
    const auto outcome = m_document.model().loadFiles(m_system.readPair(dataFiles()));
    bool readOnly = false;
    switch (outcome.status) {
    case Status::Unreadable:
        // Going on could overwrite a catalogue that merely could not be read this time.
        showError("Cannot open file " + m_document.catalogPath() + ". " + outcome.error);
        return false;
    case Status::Missing:
        // Nothing is changed yet: a catalogue that cannot be created asks for no save at Exit.
        m_document.markSaved();
        setOptionsFromNumber(m_document.model().optionsAtLoad);
        // A catalogue that cannot be created leaves the window read-only on the default one. A
        // system that calls even the missing file write-protected (a read-only menu) is not
        // asked to create it.
        readOnly = writeProtected.value_or(false) || !saveCatalogue();
        break;
    case Status::Loaded:
        m_document.markSaved();
        setOptionsFromNumber(outcome.options);
        readOnly = writeProtected.value_or(false);
        break;
    }
    if (readOnly) {
        // On a medium that cannot be written the attribute cannot be set again, and the window
        // stays read-only for the whole run.
        if (m_system.setReadOnly(m_document.catalogPath()))
            m_commands.readOnlyChecked = true;
        else
            m_commands.readOnlyShown = false;
        SetEditable(false);
    }
    setDescription({});
    BuildCategories(0);
    CatBoxChange(m_categoryRow);
    // Keys go to the lists first: the first Space must not press the first tool button.
    if (m_view)
        m_view->focusOn(m_document.model().rowCount() == 0 ? Focus::Categories : Focus::Listings);
    return true;
}

std::string WindowLogic::caption() const {
    // The drive root is the mount point found at the start; "/" shows as the empty text.
    const std::string& root = m_document.driveRoot();
    return std::string(productName) + " " + productVersion + "  [" +
           m_system.volumeLabel(root.empty() ? "/" : root) + "]";
}

// Another program saved the catalogue after this window loaded it: the question names what it
// changed, as replacing it loses that change.
bool WindowLogic::replaceChangedFiles(const WriteOutcome& changed) {
    const Catalogue::DiskChange change = m_document.model().diskChange(changed);
    std::vector<std::string> names;
    if (change.catalogueChanged)
        names.push_back(fileNameOf(m_document.catalogPath()));
    if (change.notesChanged)
        names.push_back(fileNameOf(m_document.notesPath()));
    const bool both = names.size() > 1;
    std::string joined;
    for (const std::string& name : names)
        joined += (joined.empty() ? "" : " and ") + name;
    const std::string text = joined + (both ? " were" : " was") +
                             " changed on disk by another program since this window loaded " +
                             (both ? "them" : "it") +
                             ".\nOn disk now: " + countsText(change.onDisk) +
                             ".\nIn this window: " + countsText(change.here) +
                             ".\n\nSave anyway and replace the other program's change?";
    return m_user.ask(text, "Confirm SAVE", UserPort::Icon::Warning, UserPort::Buttons::YesNo) ==
           UserPort::Answer::Yes;
}

bool WindowLogic::saveCatalogue() {
    const DataFilePair files = dataFiles();
    const auto write = [this, &files](std::string_view catalogue, std::string_view notes,
                                      const PairStamp* expected) {
        return m_system.writePair(files, catalogue, notes, expected);
    };
    const auto save = [&](const PairStamp* replacing) {
        return m_document.model().SaveCatalogue(files, optionsNumber(), replacing, write);
    };
    WriteOutcome outcome = save(nullptr);
    // Yes agrees to replace the change the question named: one made while it was asked is
    // asked about again. No keeps the window as it is, with its change not saved.
    while (outcome.changedOnDisk) {
        if (!replaceChangedFiles(outcome))
            return false;
        const PairStamp agreed = outcome.onDisk;
        outcome = save(&agreed);
    }
    if (!outcome.ok) {
        if (outcome.readFailed)
            showError("Cannot open file " + outcome.failedPath + ". " + outcome.error);
        else
            showError("Cannot create file " + outcome.failedPath);
        return false;
    }
    m_document.markSaved();
    return true;
}

void WindowLogic::saveIfAutoSave() {
    if (m_document.options().autoSave)
        saveCatalogue();
}

bool WindowLogic::saveChangesFirst(const std::string& caption) {
    // Only what a save would write counts: the file-name edit emptied after an auto-saved entry
    // marks the catalogue changed for leaving, yet puts nothing into the files.
    if (m_document.readOnly() ||
        (!m_document.hasUnsavedEdits() && optionsNumber() == m_document.model().optionsAtLoad))
        return true;
    const auto answer = m_user.ask(
        "The catalogue has changes that are not saved. Save them first, so that the disc holds "
        "them?\n\nNo makes the disc from the files as they are.",
        caption, UserPort::Icon::Warning, UserPort::Buttons::YesNoCancel);
    if (answer == UserPort::Answer::No)
        return true;
    return answer == UserPort::Answer::Yes && saveCatalogue();
}

void WindowLogic::mnuExitClick() {
    const bool optionsChanged = optionsNumber() != m_document.model().optionsAtLoad;
    if ((optionsChanged || m_document.isChanged()) && !m_commands.readOnlyChecked) {
        const auto answer = m_user.ask("List has changed--Save before exiting?", "Confirm SAVE",
                                       UserPort::Icon::Warning, UserPort::Buttons::YesNo);
        // Dismissing the question answers neither: the window stays and nothing is written.
        if (answer == UserPort::Answer::Dismissed)
            return;
        // A failed save keeps the window open, so nothing is lost.
        if (answer == UserPort::Answer::Yes && !saveCatalogue())
            return;
    }
    m_system.endProgram(1);
}

void WindowLogic::Contents1Click() {
    if (!m_system.openHelp())
        m_user.tell("Cannot open the help page.\nThere is no web browser on this computer that "
                    "shows it.",
                    "Contents");
}

} // namespace qubrix
