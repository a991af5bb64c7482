#pragma once

#include <cstddef>

namespace qubrix {

// The state of the listing editor between a selection, a quick edit, the notes dialog and the
// OK or Cancel that ends an entry.
struct ListingEditFlags {
    bool modifyMode = false;      // the next OK replaces the current listing
    bool quickEditActive = false; // a quick edit of the selected listing's path is running
    bool quickEditArmed = false;  // the quick editor was clicked since the last selection change
    bool singleSelection = false; // exactly one listing is selected
    bool noteTouched = false;     // the notes dialog was accepted during this entry
    bool newNoteMode = false;     // the notes dialog appends a note instead of editing one

    void selectionChanged(std::size_t selectedCount);
    void quickEditorClicked();
    // A change of the quick editor's text starts (or goes on with) a quick edit only when the
    // author clicked into it and exactly one listing is selected: the program's own updates of
    // the text never do. True when the change is part of a quick edit.
    bool quickEditorTextChanged();
    void modifyStarted();
    // The notes dialog opens: it edits the listing's own note only in a modify of a listing
    // that has one. Returns newNoteMode.
    bool notesOpened(bool currentListingHasNote);
    void notesCancelled();
    // An OK that stored the entry, or a Cancel.
    void entryEnded();
};

} // namespace qubrix
