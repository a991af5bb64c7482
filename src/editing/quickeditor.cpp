#include "app/frmmain.h"
#include "editing/frmnote.h"

#include <QLineEdit>
#include <QListWidget>

void TfrmMain::MenuEditClick() {
    m_services.desktop.playSound1000();
    m_editFlags.quickEditorClicked();
}

void TfrmMain::MenuEditChange() {
    if (!m_editFlags.quickEditorTextChanged())
        return;
    // Neither the listing nor the category may change while its path is being edited.
    lockListsForQuickEdit(true);
    txtFilename->setText(MenuEdit->text());
}

void TfrmMain::MenuEditKeyPress(int key) {
    if (key == Qt::Key_Return || key == Qt::Key_Enter)
        cmdOkClick();
    else if (key == Qt::Key_Escape)
        cmdCancelClick();
}

std::optional<std::size_t> TfrmMain::noteOfCurrentListing() const {
    const int row = lstDesc->currentRow();
    const auto note = row < 0 ? std::nullopt : m_document.model().noteOfRow(std::size_t(row));
    // A reference beyond the notes file names no note that could be shown or edited.
    if (!note || *note >= m_document.model().lstMemo.size())
        return std::nullopt;
    return note;
}

void TfrmMain::mnuNoteClick() {
    m_editFlags.notesOpened(noteOfCurrentListing().has_value());
    if (m_frmNote)
        m_frmNote->exec();
}

std::optional<QString> TfrmMain::noteOfEntry() const {
    const auto note = noteOfCurrentListing();
    if (m_editFlags.newNoteMode || !note)
        return std::nullopt;
    return displayText(m_document.model().lstMemo[*note], m_document.model().notesEncoding);
}

void TfrmMain::storeNoteOfEntry(const QString& text) {
    const auto note = noteOfCurrentListing();
    std::string bytes = m_document.model().noteTextFromUtf8(text.toStdString());
    if (m_editFlags.newNoteMode || !note)
        m_document.model().lstMemo.push_back(std::move(bytes));
    else
        m_document.model().lstMemo[*note] = std::move(bytes);
}

void TfrmMain::noteOfEntryCancelled() {
    m_editFlags.notesCancelled();
}
