#pragma once

#include "core/window/windowlogic.h"

#include <QObject>

#include <functional>

class QListWidget;
class QTextEdit;

// The controls of the note pop-up, built by the window's layout code: the listing list whose
// double click opens it, and the note with its outline.
struct NoteControls {
    QListWidget* lstDesc = nullptr;
    QTextEdit* NotePad = nullptr;
    QTextEdit* Outline = nullptr;
};

// The note pop-up: a double click on a listing shows its note next to the press, a click on
// the note closes it. From the keyboard, Enter or F2 on the selected listing shows it beside the
// row and Escape closes it.
class NoteViewer final : public QObject {
    Q_OBJECT

public:
    // clientHeight: the height of the window's client area, which the pop-up stays inside.
    NoteViewer(qubrix::WindowLogic& logic, const NoteControls& controls,
               std::function<int()> clientHeight, QObject* parent = nullptr);

    void lstDescMouseDown(int y);
    void lstDescDblClick();
    // Shows the note the logic gives for the row (it beeps for a listing without note).
    void ShowNote(int row);
    void NotePadMouseUp();
    // True when the key opened or closed the pop-up.
    bool lstDescKeyDown(int key);
    void hideNotePopup();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    qubrix::WindowLogic& m_logic;
    NoteControls m_controls;
    std::function<int()> m_clientHeight;
    int m_lastClickY = 0;
    QWidget* m_listViewport;
    QWidget* m_notePadViewport;
};
