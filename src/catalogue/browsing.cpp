#include "app/frmmain.h"
#include "catalogue/notepopup.h"

#include <QAction>
#include <QEvent>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QMouseEvent>
#include <QPushButton>
#include <QSignalBlocker>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextEdit>
#include <QTextLayout>
#include <QToolButton>

void TfrmMain::BuildCategories() {
    m_document.model().BuildCategories();
    const QSignalBlocker quiet(CatBox);
    CatBox->clear();
    for (const std::string& name : m_document.model().categoryNames)
        CatBox->addItem(displayText(name, m_document.model().catalogueEncoding));
}

void TfrmMain::selectCategoryRow(int row) {
    const QSignalBlocker quiet(CatBox);
    CatBox->setCurrentRow(row);
}

void TfrmMain::CatBoxChange() {
    m_document.model().showCategory(CatBox->currentRow());
    {
        const QSignalBlocker quiet(lstDesc);
        lstDesc->clear();
        for (std::size_t i = 0; i < m_document.model().lstFiles.size(); ++i)
            lstDesc->addItem(displayText(m_document.model().GetListingDescription(i),
                                         m_document.model().catalogueEncoding));
    }
    lstDescClick();
}

int TfrmMain::selectedListingCount() const {
    return int(lstDesc->selectedItems().size());
}

void TfrmMain::lstDescClick() {
    hideNotePopup();
    const bool hasRows = lstDesc->count() > 0;
    mnuEdit->menuAction()->setEnabled(hasRows);
    editPopupEnabled = hasRows;

    const int selected = selectedListingCount();
    m_editFlags.selectionChanged(std::size_t(selected));
    const bool one = selected == 1;
    const bool some = selected > 0;
    const int row = lstDesc->currentRow();
    const bool rowKnown = row >= 0 && std::size_t(row) < m_document.model().lstPath.size();
    MenuEdit->setText(one && rowKnown ? displayText(m_document.model().lstPath[std::size_t(row)],
                                                    m_document.model().catalogueEncoding)
                                      : QString());
    MenuEdit->setEnabled(one);
    cmdCopy->setVisible(some);
    cmdInstall->setVisible(one);
    ToolCopy->setEnabled(some);
    for (QToolButton* button : {ToolCopyFolder, ToolInstall, cmdDelete})
        button->setEnabled(one);
    Folder1->setEnabled(one);
    mnuCopy->menuAction()->setEnabled(some);
    for (QAction* action : {mnuInstall, mnuDelete, mnuModify, mnuMDelete, mnuMModify})
        action->setEnabled(one);
}

void TfrmMain::lstDescMouseDown(int y) {
    lastClickY = y;
}

void TfrmMain::lstDescDblClick() {
    const int row = lstDesc->currentRow();
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

void TfrmMain::ShowNote(int row) {
    if (row < 0 || std::size_t(row) >= m_document.model().noteIndex.size())
        return;
    const int note = m_document.model().noteIndex[std::size_t(row)];
    if (note < 0) {
        m_services.dialogs.beep();
        return;
    }
    if (std::size_t(note) >= m_document.model().lstMemo.size()) {
        showError(QString("List index out of bounds (%1)").arg(note));
        return;
    }
    const QString text = displayText(m_document.model().lstMemo[std::size_t(note)],
                                     m_document.model().notesEncoding);
    NotePad->setPlainText(shownPart(text, NotePad->width(), qubrix::maxNoteLines(clientHeight())));
    const auto geometry =
        qubrix::notePopupGeometry(displayedLines(NotePad), lastClickY, clientHeight());
    NotePad->setGeometry(geometry.left, geometry.top, NotePad->width(), geometry.height);
    Outline->setGeometry(geometry.outlineLeft, geometry.outlineTop, Outline->width(),
                         geometry.outlineHeight);
    Outline->raise();
    NotePad->raise();
    Outline->show();
    NotePad->show();
}

void TfrmMain::hideNotePopup() {
    NotePad->clear();
    NotePad->hide();
    Outline->hide();
}

void TfrmMain::NotePadMouseUp() {
    hideNotePopup();
}

bool TfrmMain::eventFilter(QObject* watched, QEvent* event) {
    listingEditorEvent(watched, event);
    if (watched == lstDesc->viewport()) {
        if (event->type() == QEvent::MouseButtonPress)
            lstDescMouseDown(static_cast<QMouseEvent*>(event)->position().toPoint().y());
        else if (event->type() == QEvent::MouseButtonDblClick)
            QMetaObject::invokeMethod(this, &TfrmMain::lstDescDblClick, Qt::QueuedConnection);
    } else if (watched == NotePad->viewport() && (event->type() == QEvent::MouseButtonPress ||
                                                  event->type() == QEvent::MouseButtonRelease)) {
        NotePadMouseUp();
    }
    return QMainWindow::eventFilter(watched, event);
}
