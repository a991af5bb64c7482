#pragma once

#include "core/catalogue/catalogue.h"
#include "core/editing/listingedit.h"
#include "core/naming/pickedpath.h"
#include "core/window/document.h"
#include "core/window/systemport.h"
#include "core/window/userport.h"
#include "core/window/windowview.h"

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

namespace qubrix {

class NamePlan;

// The rules of the main window, for the Linux and the Windows window alike: the state the
// window shares across its commands, what each command does to the catalogue, which questions
// it asks in which order and what each answer does, and which commands the mode and the
// selection enable. A window forwards the user's acts here and shows what the view is told.
// Texts are UTF-8; rows are rows of the shown category.
class WindowLogic final {
public:
    // The data files lie in folder (ending with the separator) on the medium mounted at
    // driveRoot ("" for "/").
    WindowLogic(const std::string& folder, const std::string& driveRoot, UserPort& user,
                DialogPort& dialogs, SystemPort& system);
    WindowLogic(const WindowLogic&) = delete;
    WindowLogic& operator=(const WindowLogic&) = delete;

    // The window that shows this logic; told of every change from then on.
    void setView(WindowView* view) { m_view = view; }

    CatalogueDocument& document() { return m_document; }
    const CatalogueDocument& document() const { return m_document; }
    const ListingEditFlags& editFlags() const { return m_editFlags; }
    const PickedPath& picked() const { return m_picked; }
    bool programRunning() const { return m_programRunning; }
    // The author's editor is shown: the band stays open after an entry.
    bool editorShown() const { return m_editorShown; }

    // --- Start and caption (storeflows.cpp) ---
    // Loads the catalogue, enters read-only mode when it is write-protected, and shows the
    // first category. False when the catalogue exists but cannot be read: the reason has been
    // shown and the program must end.
    bool FormCreate();
    // "Qubrix 3.1  [label]".
    std::string caption() const;

    // --- Browsing (browsing.cpp) ---
    std::vector<std::string> categoryRows() const;
    int categoryRow() const { return m_categoryRow; }
    // Each listing row's text: two blanks and the description.
    std::vector<std::string> listingRows() const;
    std::string listingRow(std::size_t row) const;
    // The note of a row as readers speak it; empty for none.
    std::string rowNote(std::size_t row) const;
    int currentRow() const { return m_currentRow; }
    const std::vector<int>& selectedRows() const { return m_selectedRows; }
    // The stored path of a row as shown (UTF-8); empty for no such row.
    std::string storedPathOfRow(std::size_t row) const;
    const CommandStates& commands() const { return m_commands; }
    // The user chose category row k (CatBox): its listings are shown, none selected.
    void CatBoxChange(int k);
    // The user changed the selection of listings: current is the focused row.
    void lstDescClick(int current, std::vector<int> selected);
    // The note pop-up of a row: its text, or none after a beep (no note) or an error (a note
    // beyond the notes file).
    std::optional<std::string> ShowNote(int row);

    // --- Modes and options (modes.cpp) ---
    void cmdAddClick();
    void cmdMenuClick();
    // Read-only mode hides every editing command; editable brings the options of the last
    // load or save back.
    void SetEditable(bool editable);
    // Read Only toggled to readOnly: sets or clears the catalogue file's attribute.
    void ReadOnlyClick(bool readOnly);
    void setAutoSave(bool on);
    void setIsoCheck(bool on);
    void setIncludeParent(bool on);
    // The options number the window shows, which a save writes; in read-only mode Auto-Save is
    // off whatever the check box shows.
    int optionsNumber() const;
    // Shows the options of a loaded number.
    void setOptionsFromNumber(int number);

    // --- Saving and leaving (storeflows.cpp) ---
    // Writes both files; false, with the reason shown, when they could not be written. Asks
    // before it replaces another program's change.
    bool saveCatalogue();
    void mnuSaveClick() { saveCatalogue(); }
    // Before the disc is made from the files: changes not saved yet are offered for saving.
    // False when the author cancels or the save fails, and nothing should be made.
    bool saveChangesFirst(const std::string& caption);
    // Exit or the close box: asks to save a changed catalogue, then ends the program; a
    // dismissed question or a failed save keeps the window.
    void mnuExitClick();
    void Contents1Click();

    // --- The listing editor, quick editor and notes editor (listingflows.cpp) ---
    void cmdBrowseClick();
    // Makes the full path the picked path and shows it in the file-name edit; refuses a file
    // outside the disc's folder with an error box (false).
    bool setPickedPath(const std::string& fullPath);
    const std::string& fileNameText() const { return m_fileName; }
    const std::string& descriptionText() const { return m_description; }
    // The author's typing in the file-name and description edits.
    void fileNameEdited(const std::string& text);
    void descriptionEdited(const std::string& text);
    void mnuModifyClick();
    void cmdOkClick();
    void cmdCancelClick();
    void mnuDeleteClick();
    // Clears the shown category after asking; true when the author confirmed.
    bool clearShownCategory();
    void MenuEditClick();
    void MenuEditChange(const std::string& text);
    void mnuNoteClick();
    // What the notes dialog opens with, what it accepts, and its Cancel.
    std::optional<std::string> noteOfEntry() const;
    void storeNoteOfEntry(const std::string& text);
    void noteOfEntryCancelled();

    // --- Categories (categoryflows.cpp) ---
    void New1Click();
    void Rename2Click();
    void Delete2Click();
    void cmdSortClick();
    // A listing row dropped on (or moved to) category row target.
    void moveListing(int row, int target);

    // --- Run and Copy (actionflows.cpp) ---
    void cmdInstallClick();
    void cmdCopyClick() { copySelection(false); }
    void ToolCopyFolderClick() { copySelection(true); }

private:
    // browsing.cpp
    // Rebuilds the category table from the header lines and selects row selectRow (none for a
    // row beyond the table); the listings shown stay until CatBoxChange.
    void BuildCategories(int selectRow);
    // The listing rows changed: current is the focused row, none selected.
    void listingRowsChanged(int current);
    // The commands again, after a change of the mode, the entry or the selection.
    void updateCommands();
    bool isListingRow(int row) const;
    // An error the program does not expect, shown as the toolkit shows an escaped error: no
    // beep, the application title as caption, the error icon and OK.
    void showError(const std::string& text);
    // storeflows.cpp
    DataFilePair dataFiles() const;
    bool replaceChangedFiles(const WriteOutcome& changed);
    void saveIfAutoSave();
    // listingflows.cpp
    void setFileName(const std::string& text);
    void setDescription(const std::string& text);
    bool entryHasItsPlace(int row);
    // The launch kind of an entry that may be stored; none, after saying why, when it may not.
    std::optional<LaunchKind> acceptedEntryKind();
    void storeEntry(int row);
    std::optional<std::size_t> noteOfCurrentListing() const;
    std::string trimmedDescription(int row) const;
    // nameflows.cpp: the name check of the picked path, until a pass renames nothing new.
    void checkNames();
    bool checkFolderNames();
    bool checkFileName();
    DialogPort::NameAnswer validateName(DialogPort::NameSubject subject, const std::string& name);
    NamePlan namePlan() const;
    bool renameOnMedium(const std::string& from, const std::string& to, const std::string& newName);
    // actionflows.cpp
    void copySelection(bool folderMode);
    bool wholeDiscAgreed(int row);
    // categoryflows.cpp
    std::optional<std::string> askCategoryName(DialogPort::CategoryPurpose purpose,
                                               const std::string& name);

    CatalogueDocument m_document;
    UserPort& m_user;
    DialogPort& m_dialogs;
    SystemPort& m_system;
    WindowView* m_view = nullptr;

    CommandStates m_commands;
    int m_categoryRow = -1;
    int m_currentRow = -1;
    std::vector<int> m_selectedRows;
    std::string m_fileName;
    std::string m_description;
    ListingEditFlags m_editFlags;
    PickedPath m_picked;
    bool m_programRunning = false;
    bool m_editorShown = true;
};

} // namespace qubrix
