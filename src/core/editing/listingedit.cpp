#include "core/editing/listingedit.h"

namespace qubrix {

void ListingEditFlags::selectionChanged(std::size_t selectedCount) {
    quickEditArmed = false;
    singleSelection = selectedCount == 1;
}

void ListingEditFlags::quickEditorClicked() {
    quickEditArmed = true;
}

bool ListingEditFlags::quickEditorTextChanged() {
    if (!singleSelection || !quickEditArmed)
        return false;
    quickEditActive = true;
    modifyMode = true;
    return true;
}

void ListingEditFlags::modifyStarted() {
    modifyMode = true;
}

bool ListingEditFlags::notesOpened(bool currentListingHasNote) {
    noteTouched = true;
    newNoteMode = !(modifyMode && currentListingHasNote);
    return newNoteMode;
}

void ListingEditFlags::notesCancelled() {
    noteTouched = false;
}

void ListingEditFlags::entryEnded() {
    modifyMode = false;
    quickEditActive = false;
    noteTouched = false;
    quickEditArmed = false;
}

} // namespace qubrix
