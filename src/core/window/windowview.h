#pragma once

#include "core/catalogue/catalogue.h"

#include <string>

namespace qubrix {

// What each command and control of the window shows, decided by the window logic from the mode,
// the selection and the entry under way; a window sets its controls from this and from nothing
// else. Each field names the controls it sets.
struct CommandStates {
    // Editor mode (the catalogue may be written): New Category, Save, Delete, Menu, Add, Add
    // Files, Prepare Medium, Make Disc Image, the Options and Edit menus and their separators,
    // the listing pop-up's Delete, Modify and Clear, and the category pop-up are shown.
    bool editingShown = false;
    // The category and listing lists, Sort, New Category (the button and the menu) and Read
    // Only take input: not while a quick edit holds the lists.
    bool listsEnabled = true;
    // MOK and MOC: only while a quick edit runs.
    bool quickEditButtons = false;
    // The Edit menu and the listing pop-up: the shown category has listings, and no quick edit
    // runs (the menu; the pop-up opens whenever there are listings).
    bool editMenuEnabled = false;
    bool editPopupEnabled = false;
    // One listing selected: Run (cmdInstall shown; ToolInstall and R&un enabled), Copy Folder
    // (ToolCopyFolder, F&older), Delete and Modify in the menus, and the quick editor.
    bool oneSelected = false;
    // Some listing selected: Copy (cmdCopy shown; ToolCopy and the Copy menu enabled).
    bool someSelected = false;
    // The Delete button: one listing selected and no quick edit.
    bool deleteEnabled = false;
    // The quick editor's text: the stored path of the one selected listing, else empty; it takes
    // no typing where the catalogue cannot be written.
    std::string quickEditorText;
    bool quickEditorReadOnly = true;
    // Read Only: its check mark, and whether it is offered at all (not on a medium that cannot
    // take the attribute).
    bool readOnlyChecked = false;
    bool readOnlyShown = true;
    // The three options: the check boxes and their menu items.
    Options options;
    // Add (the editing band stays open) is pressed, else Menu (the window is cut to the menu).
    bool addPressed = false;
    // The editing band is open: always with Add, and for one modify in menu mode.
    bool bandOpen = false;

    bool operator==(const CommandStates&) const = default;
};

// Where the logic puts the keyboard after a command.
enum class Focus { FileName, Description, Listings, Categories };

// What the window logic tells the window that shows it. The window then reads what changed from
// the logic; it never rebuilds a list or sets a command's state on its own.
class WindowView {
public:
    // The category names (WindowLogic::categoryRows) and the selected one (categoryRow).
    virtual void categoriesChanged() = 0;
    // The listing rows (listingRows), the current row and the selected rows.
    virtual void rowsChanged() = 0;
    // One listing row's text.
    virtual void rowChanged(std::size_t row) = 0;
    // The current row and the selected rows, the rows staying as they are.
    virtual void selectionChanged() = 0;
    // commands(): shown, enabled, checked, the quick editor's text.
    virtual void commandsChanged() = 0;
    // The file-name and description edits (fileNameText, descriptionText).
    virtual void entryChanged() = 0;
    virtual void focusOn(Focus where) = 0;
    // The note pop-up closes.
    virtual void hideNote() = 0;
    // A started program runs (the window waits minimised) and has ended (the window comes back).
    virtual void programStarted() = 0;
    virtual void programEnded() = 0;

protected:
    ~WindowView() = default;
};

} // namespace qubrix
