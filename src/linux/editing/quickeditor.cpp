#include "linux/editing/listingeditor.h"

#include "linux/editing/frmnote.h"

#include <QLineEdit>
#include <QListWidget>

void ListingEditor::MenuEditClick() {
    m_services.desktop.playSound1000();
    m_editFlags.quickEditorClicked();
}

void ListingEditor::MenuEditChange() {
    if (!m_editFlags.quickEditorTextChanged())
        return;
    // Neither the listing nor the category may change while its path is being edited.
    lockListsForQuickEdit(true);
    m_controls.txtFilename->setText(m_controls.MenuEdit->text());
}

void ListingEditor::MenuEditKeyPress(int key) {
    if (key == Qt::Key_Return || key == Qt::Key_Enter)
        cmdOkClick();
    else if (key == Qt::Key_Escape)
        cmdCancelClick();
}

std::optional<std::size_t> ListingEditor::noteOfCurrentListing() const {
    const int row = m_controls.lstDesc->currentRow();
    const auto note = row < 0 ? std::nullopt : m_document.model().noteOfRow(std::size_t(row));
    // A reference beyond the notes file names no note that could be shown or edited.
    if (!note || *note >= m_document.model().lstMemo.size())
        return std::nullopt;
    return note;
}

void ListingEditor::mnuNoteClick() {
    m_editFlags.notesOpened(noteOfCurrentListing().has_value());
    if (m_frmNote)
        m_frmNote->exec();
}

std::optional<QString> ListingEditor::noteOfEntry() const {
    const auto note = noteOfCurrentListing();
    if (m_editFlags.newNoteMode || !note)
        return std::nullopt;
    return displayText(m_document.model().lstMemo[*note], m_document.model().notesEncoding);
}

void ListingEditor::storeNoteOfEntry(const QString& text) {
    const auto note = noteOfCurrentListing();
    std::string bytes = m_document.model().noteTextFromUtf8(text.toStdString());
    if (m_editFlags.newNoteMode || !note)
        m_document.model().lstMemo.push_back(std::move(bytes));
    else
        m_document.model().lstMemo[*note] = std::move(bytes);
}

void ListingEditor::noteOfEntryCancelled() {
    m_editFlags.notesCancelled();
}
