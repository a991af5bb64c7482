#pragma once

#include "linux/editing/noteentry.h"
#include "linux/ui/toolglyphs.h"

#include <QDialog>

class QTextEdit;
class QToolButton;

// The notes dialog "Add Notes": created once at start-up and shown modally by the notes
// button of the editing band. It writes a new note or changes the note of the listing being
// modified; the listing's OK then makes the listing refer to it.
class TfrmNote final : public QDialog {
    Q_OBJECT

public:
    explicit TfrmNote(NoteEntry& entry, QWidget* parent = nullptr);

    void FormActivate();
    void cmdOkClick();
    void cmdCancelClick();
    void cmdClearClick();

    QTextEdit* EditNote = nullptr;
    QToolButton* cmdOk = nullptr;
    QToolButton* cmdCancel = nullptr;
    QToolButton* cmdClear = nullptr;

protected:
    void showEvent(QShowEvent* event) override;
    // Escape leaves the dialog as its Cancel button does.
    void reject() override;

private:
    QToolButton* pictureButton(const char* name, const QString& hint, int left, ToolGlyph picture);

    NoteEntry& m_entry;
};
