#include "linux/catalogue/noteviewer.h"

#include "core/catalogue/notepopup.h"

#include <QEvent>
#include <QKeyEvent>
#include <QListWidget>
#include <QMouseEvent>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextEdit>
#include <QTextLayout>

NoteViewer::NoteViewer(qubrix::WindowLogic& logic, const NoteControls& controls,
                       std::function<int()> clientHeight, QObject* parent)
    : QObject(parent), m_logic(logic), m_controls(controls),
      m_clientHeight(std::move(clientHeight)), m_listViewport(controls.lstDesc->viewport()),
      m_notePadViewport(controls.NotePad->viewport()) {
    m_listViewport->installEventFilter(this);
    m_notePadViewport->installEventFilter(this);
    controls.lstDesc->installEventFilter(this);
}

void NoteViewer::lstDescMouseDown(int y) {
    m_lastClickY = y;
}

void NoteViewer::lstDescDblClick() {
    const int row = m_controls.lstDesc->currentRow();
    if (row >= 0)
        ShowNote(row);
}

namespace {

// At most the text the pop-up can show: a pixel a character at the least, on every line that
// fits. Laying out more would only cost time (a note of a megabyte without blanks took
// minutes).
QString shownPart(const QString& note, int width, int lines) {
    const qsizetype most = qsizetype(width) * lines;
    return note.size() <= most ? note : note.left(most - 1) + QChar(0x2026);
}

// Lines the note takes when wrapped at the pop-up's width.
int displayedLines(QTextEdit* pad) {
    QTextDocument* document = pad->document();
    document->setTextWidth(pad->width());
    int lines = 0;
    for (QTextBlock block = document->begin(); block.isValid(); block = block.next())
        lines += block.layout() ? block.layout()->lineCount() : 1;
    return std::max(lines, 1);
}

} // namespace

void NoteViewer::ShowNote(int row) {
    const std::optional<std::string> note = m_logic.ShowNote(row);
    if (!note)
        return;
    const QString text = QString::fromStdString(*note);
    QTextEdit* NotePad = m_controls.NotePad;
    QTextEdit* Outline = m_controls.Outline;
    const int clientHeight = m_clientHeight();
    NotePad->setPlainText(shownPart(text, NotePad->width(), qubrix::maxNoteLines(clientHeight)));
    const auto geometry =
        qubrix::notePopupGeometry(displayedLines(NotePad), m_lastClickY, clientHeight);
    NotePad->setGeometry(geometry.left, geometry.top, NotePad->width(), geometry.height);
    Outline->setGeometry(geometry.outlineLeft, geometry.outlineTop, Outline->width(),
                         geometry.outlineHeight);
    Outline->raise();
    NotePad->raise();
    Outline->show();
    NotePad->show();
}

void NoteViewer::hideNotePopup() {
    m_controls.NotePad->clear();
    m_controls.NotePad->hide();
    m_controls.Outline->hide();
}

void NoteViewer::NotePadMouseUp() {
    hideNotePopup();
}

bool NoteViewer::lstDescKeyDown(int key) {
    if (key == Qt::Key_Escape && m_controls.NotePad->isVisible()) {
        hideNotePopup();
        return true;
    }
    if (key != Qt::Key_Return && key != Qt::Key_Enter && key != Qt::Key_F2)
        return false;
    QListWidget* lstDesc = m_controls.lstDesc;
    QListWidgetItem* current = lstDesc->currentItem();
    if (!current || !current->isSelected())
        return false;
    // The pop-up opens beside the row, as if the row had been double-clicked in its middle.
    lstDescMouseDown(lstDesc->visualItemRect(current).center().y());
    ShowNote(lstDesc->currentRow());
    return true;
}

bool NoteViewer::eventFilter(QObject* watched, QEvent* event) {
    // The viewports were taken at construction: while the window is destroyed, the lists are no
    // longer lists, yet their viewports still see events.
    if (watched == m_controls.lstDesc && event->type() == QEvent::KeyPress) {
        const auto* press = static_cast<QKeyEvent*>(event);
        if (press->modifiers() == Qt::NoModifier || press->modifiers() == Qt::KeypadModifier)
            return lstDescKeyDown(press->key()) || QObject::eventFilter(watched, event);
    } else if (watched == m_listViewport) {
        if (event->type() == QEvent::MouseButtonPress)
            lstDescMouseDown(static_cast<QMouseEvent*>(event)->position().toPoint().y());
        else if (event->type() == QEvent::MouseButtonDblClick)
            QMetaObject::invokeMethod(this, &NoteViewer::lstDescDblClick, Qt::QueuedConnection);
    } else if (watched == m_notePadViewport && (event->type() == QEvent::MouseButtonPress ||
                                                event->type() == QEvent::MouseButtonRelease)) {
        NotePadMouseUp();
    }
    return QObject::eventFilter(watched, event);
}
