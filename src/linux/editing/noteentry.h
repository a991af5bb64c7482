#pragma once

#include <QString>

#include <optional>

// What the notes dialog TfrmNote needs of the listing being entered: the note it opens with
// (the listing's own, unless a new note is written), the note it accepts, and its Cancel.
class NoteEntry {
public:
    virtual std::optional<QString> noteOfEntry() const = 0;
    virtual void storeNoteOfEntry(const QString& text) = 0;
    virtual void noteOfEntryCancelled() = 0;

protected:
    ~NoteEntry() = default;
};
