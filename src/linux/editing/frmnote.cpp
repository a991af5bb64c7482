#include "linux/editing/frmnote.h"

#include "linux/ui/placement.h"
#include "linux/ui/readers.h"
#include "linux/ui/toolglyphs.h"

#include <QFrame>
#include <QGuiApplication>
#include <QScreen>
#include <QTextEdit>
#include <QToolButton>

TfrmNote::TfrmNote(NoteEntry& entry, QWidget* parent) : QDialog(parent), m_entry(entry) {
    setObjectName("frmNote");
    setWindowTitle("Add Notes");
    // No close box: the dialog is left through its buttons.
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::MSWindowsFixedSizeDialogHint);
    setFixedSize(193, 149);

    cmdOk = pictureButton("cmdOk", "OK - Accept entry", 4, ToolGlyph::Accept);
    cmdCancel = pictureButton("cmdCancel", "Cancel - Abort & reject entry", 29, ToolGlyph::Cancel);
    auto* divider = place<QFrame>(this, "ToolButton1", 56, 4, 8, 22);
    divider->setFrameShape(QFrame::VLine);
    divider->setFrameShadow(QFrame::Sunken);
    cmdClear = pictureButton("cmdClear", "Erase comments", 66, ToolGlyph::Clear);

    EditNote = place<QTextEdit>(this, "EditNote", 0, 32, 185, 89);
    EditNote->setAcceptRichText(false);
    // The edit has no label: the caption says what it takes.
    EditNote->setAccessibleName(windowTitle());
    EditNote->setLineWrapMode(QTextEdit::WidgetWidth);
    // A note is one line of text: Tab moves on to the buttons instead of typing a tab.
    EditNote->setTabChangesFocus(true);

    connect(cmdOk, &QToolButton::clicked, this, &TfrmNote::cmdOkClick);
    connect(cmdCancel, &QToolButton::clicked, this, &TfrmNote::cmdCancelClick);
    connect(cmdClear, &QToolButton::clicked, this, &TfrmNote::cmdClearClick);
}

QToolButton* TfrmNote::pictureButton(const char* name, const QString& hint, int left,
                                     ToolGlyph picture) {
    auto* button = place<QToolButton>(this, name, left, 4, 25, 22);
    button->setToolTip(hint);
    button->setAutoRaise(true);
    button->setIcon(toolIcon(picture));
    nameAfterHint(button);
    return button;
}

void TfrmNote::showEvent(QShowEvent* event) {
    if (const QScreen* screen = QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - rect().center());
    QDialog::showEvent(event);
    FormActivate();
    EditNote->setFocus();
}

void TfrmNote::FormActivate() {
    if (const auto note = m_entry.noteOfEntry())
        EditNote->append(*note);
}

void TfrmNote::cmdOkClick() {
    // A note is one line: the lines typed are joined with nothing between them.
    QString note = EditNote->toPlainText();
    note.remove(QChar('\n'));
    note.remove(QChar('\r'));
    note.remove(QChar::LineSeparator);
    note.remove(QChar::ParagraphSeparator);
    m_entry.storeNoteOfEntry(note);
    EditNote->clear();
    accept();
}

void TfrmNote::cmdCancelClick() {
    m_entry.noteOfEntryCancelled();
    EditNote->clear();
    QDialog::reject();
}

void TfrmNote::reject() {
    cmdCancelClick();
}

void TfrmNote::cmdClearClick() {
    EditNote->clear();
}
