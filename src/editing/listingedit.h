#pragma once

#include <cstddef>
#include <string>
#include <string_view>

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

// The file the author picked, relative to the medium, in the parts the name check tests.
// Paths use "\" between folders, as they are stored.
struct PickedPath {
    std::string pickedPath;   // what the file-name edit shows
    std::string topFolder;    // the first folder of the path below the medium's root
    std::string pickedFolder; // pickedPath up to and including its last "\"
    std::string pickedName;   // pickedPath after its last "\"
    // pickedPath leaves topFolder out. A file picked in the medium's root has no first folder to
    // leave out, whatever topFolder still holds from an earlier pick.
    bool topFolderLeftOut = false;

    // A Browse begins: until a file is chosen there is no picked name.
    void browseStarted();
    // Takes the chosen file's full path and the medium's mount point ("" for "/"). Without
    // includeParent the first folder is left out of pickedPath. False, with nothing changed,
    // when the file does not lie below the mount point.
    bool setPickedPath(std::string_view fullPath, std::string_view mountPoint, bool includeParent);
    // Makes the state describe shownPath, the path the entry stores. A state that already
    // describes it (a Browse whose result was kept) stays as it is; otherwise it is built from
    // shownPath as if that path had been picked below the same first folder.
    void describeShownPath(std::string_view shownPath, bool includeParent);

private:
    void splitPickedPath();
};

} // namespace qubrix
