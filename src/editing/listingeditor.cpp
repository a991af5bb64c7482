#include "app/frmmain.h"
#include "app/modesandoptions.h"
#include "catalogue/cataloguebrowser.h"
#include "catalogue/cataloguestore.h"

#include "actions/launch.h"
#include "naming/namecheck.h"
#include "text/ascii.h"
#include "text/encoding.h"

#include <QAction>
#include <QEvent>
#include <QFileInfo>
#include <QKeyEvent>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QPushButton>
#include <QSignalBlocker>
#include <QToolButton>

namespace {

bool isEnter(int key) {
    return key == Qt::Key_Return || key == Qt::Key_Enter;
}

// Why fields of an entry cannot be stored, as the author is told it; empty when they can.
struct FieldMessage {
    QString text;
    QString caption;
};

FieldMessage fieldMessage(qubrix::FieldProblem problem) {
    using qubrix::FieldProblem;
    switch (problem) {
    case FieldProblem::None:
        break;
    case FieldProblem::SemicolonInDescription:
        return {"The description cannot contain the character \";\".", "Description"};
    case FieldProblem::BracketStartsDescription:
        return {"The description cannot begin with the character \"[\".", "Description"};
    case FieldProblem::LineBreakInDescription:
        return {"The description cannot contain a line break.", "Description"};
    case FieldProblem::SemicolonInPath:
        return {"The file name cannot contain the character \";\".", "File name"};
    case FieldProblem::LineBreakInPath:
        return {"The file name cannot contain a line break.", "File name"};
    }
    return {};
}

} // namespace

void TfrmMain::connectListingEditor() {
    for (QAction* action : {mnuModify, mnuMModify})
        connect(action, &QAction::triggered, this, &TfrmMain::mnuModifyClick);
    for (QAction* action : {mnuDelete, mnuMDelete})
        connect(action, &QAction::triggered, this, &TfrmMain::mnuDeleteClick);
    connect(cmdDelete, &QToolButton::clicked, this, &TfrmMain::mnuDeleteClick);
    for (QAction* action : {mnuClear, mnuMClear})
        connect(action, &QAction::triggered, this, &TfrmMain::mnuMClearClick);
    connect(Browse, &QPushButton::clicked, this, &TfrmMain::cmdBrowseClick);
    for (QToolButton* button : {cmdOK, MOK})
        connect(button, &QToolButton::clicked, this, &TfrmMain::cmdOkClick);
    for (QToolButton* button : {cmdCancel, MOC})
        connect(button, &QToolButton::clicked, this, &TfrmMain::cmdCancelClick);
    connect(btnAddNote, &QPushButton::clicked, this, &TfrmMain::mnuNoteClick);
    // textChanged, not textEdited: the program's own changes count as well.
    connect(txtFilename, &QLineEdit::textChanged, this, &TfrmMain::txtFilenameChange);
    connect(MenuEdit, &QLineEdit::textChanged, this, &TfrmMain::MenuEditChange);
    for (QLineEdit* edit : {txtFilename, txtDescription, MenuEdit})
        edit->installEventFilter(this);
}

void TfrmMain::listingEditorEvent(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (watched == txtFilename)
            txtFilenameKeyDown(key);
        else if (watched == txtDescription)
            txtDescriptionKeyDown(key);
        else if (watched == MenuEdit)
            MenuEditKeyPress(key);
    } else if (event->type() == QEvent::MouseButtonDblClick && watched == txtFilename) {
        // After the edit's own handling of the double click, as a click handler would run.
        QMetaObject::invokeMethod(this, &TfrmMain::cmdBrowseClick, Qt::QueuedConnection);
    } else if (event->type() == QEvent::MouseButtonRelease && watched == MenuEdit) {
        MenuEditClick();
    }
}

void TfrmMain::txtFilenameKeyDown(int key) {
    if (isEnter(key))
        txtDescription->setFocus();
    else if (key == Qt::Key_Escape)
        cmdCancelClick();
}

void TfrmMain::txtDescriptionKeyDown(int key) {
    if (isEnter(key))
        cmdOkClick();
    else if (key == Qt::Key_Escape)
        cmdCancelClick();
}

void TfrmMain::txtFilenameChange() {
    m_document.markChanged();
}

void TfrmMain::cmdBrowseClick() {
    m_picked.browseStarted();
    // Discs show names in either letter case.
    const QString chosen = m_services.dialogs.openFileName(
        QFileInfo(m_document.catalogPath()).path(),
        {{"Programs (*.com, *.exe, *.bat)", {"*.[cC][oO][mM]", "*.[eE][xX][eE]", "*.[bB][aA][tT]"}},
         {"All files (*.*)", {"*"}}});
    if (!chosen.isEmpty())
        setPickedPath(chosen);
}

bool TfrmMain::setPickedPath(const QString& fullPath) {
    // The folder as the mount table knows it; the name stays as picked.
    const QFileInfo file(fullPath);
    const QString folder = QFileInfo(file.absolutePath()).canonicalFilePath();
    const QString onMedium =
        (folder.isEmpty() ? file.absolutePath() : folder) + '/' + file.fileName();
    const QString mediumRoot = driveRoot.isEmpty() ? QString("/") : driveRoot;
    if (m_services.files.mountPointOf(onMedium) != mediumRoot ||
        !m_picked.setPickedPath(onMedium.toStdString(), driveRoot.toStdString(),
                                m_document.options().includeParent)) {
        ask(QString("%1\nis not on the medium of this catalogue:\n%2")
                .arg(fullPath, driveRoot + '/'),
            "File name", DialogService::Icon::Error, DialogService::Buttons::Ok);
        return false;
    }
    txtFilename->setText(QString::fromStdString(m_picked.pickedPath));
    return true;
}

QString TfrmMain::trimmedDescription(int row) const {
    return displayText(std::string(qubrix::trimmedText(
                           m_document.model().GetListingDescription(std::size_t(row)))),
                       m_document.model().catalogueEncoding);
}

bool TfrmMain::isListingRow(int row) const {
    return row >= 0 && std::size_t(row) < m_document.model().lstFiles.size();
}

void TfrmMain::mnuModifyClick() {
    const int row = lstDesc->currentRow();
    if (!isListingRow(row))
        return;
    m_editFlags.modifyStarted();
    txtFilename->setText(displayText(m_document.model().lstPath[std::size_t(row)],
                                     m_document.model().catalogueEncoding));
    txtDescription->setText(trimmedDescription(row));
    // The editing band opens for this one edit even in menu mode.
    setClientHeight(editorHeight);
}

void TfrmMain::lockListsForQuickEdit(bool locked) {
    // While a quick edit holds the lists nothing else may change the catalogue: its OK replaces
    // the listing it started on, which a sort, a removal or a category command would move away.
    for (QWidget* control : std::initializer_list<QWidget*>{lstDesc, CatBox, cmdSort, cmdCat})
        control->setEnabled(!locked);
    for (QAction* command : {mnuNewCat->menuAction(), ReadOnly})
        command->setEnabled(!locked);
    // The selection's commands come back with the lstDescClick that follows every release.
    if (locked) {
        cmdDelete->setEnabled(false);
        mnuEdit->menuAction()->setEnabled(false);
    }
    MOK->setEnabled(locked);
    MOC->setEnabled(locked);
}

bool TfrmMain::entryHasItsPlace(int row) {
    // A modify replaces the current listing; a new listing goes to the shown category.
    if (m_editFlags.modifyMode ? isListingRow(row) : m_document.model().shownCategory >= 0)
        return true;
    if (m_editFlags.modifyMode)
        ask("Select the listing to change first.", "Modify", DialogService::Icon::Error,
            DialogService::Buttons::Ok);
    else
        ask("Choose a category for the new listing first. If there is none, make one with New "
            "Category.",
            "Category", DialogService::Icon::Error, DialogService::Buttons::Ok);
    return false;
}

bool TfrmMain::entryFieldsAccepted() {
    if (txtFilename->text().isEmpty()) {
        ask("Please enter file name!", "File name", DialogService::Icon::Error,
            DialogService::Buttons::Ok);
        return false;
    }
    // Blanks count as a description.
    if (txtDescription->text().isEmpty()) {
        ask("A file description is required!", "Description", DialogService::Icon::Error,
            DialogService::Buttons::Ok);
        return false;
    }
    const std::string path = txtFilename->text().toStdString();
    FieldMessage problem =
        fieldMessage(qubrix::listingFieldProblem(txtDescription->text().toStdString(), path));
    // Run refuses such a listing; the author learns it here.
    if (problem.text.isEmpty() && qubrix::planLaunch(driveRoot.toStdString(), path).leavesMedium)
        problem = {"The file name leads outside the medium.", "File name"};
    if (problem.text.isEmpty())
        return true;
    ask(problem.text, problem.caption, DialogService::Icon::Error, DialogService::Buttons::Ok);
    return false;
}

void TfrmMain::cmdOkClick() {
    const int row = lstDesc->currentRow();
    const int category = CatBox->currentRow();
    if (m_editFlags.quickEditActive)
        txtDescription->setText(trimmedDescription(row));
    // A refused entry keeps its text, and a quick edit keeps the lists until it is stored or
    // cancelled.
    if (!entryHasItsPlace(row) || !entryFieldsAccepted())
        return;
    if (m_editFlags.quickEditActive)
        lockListsForQuickEdit(false);
    // The stored path is always the one the author sees; the name check tests that path.
    if (m_document.options().isoCheck) {
        m_picked.describeShownPath(txtFilename->text().toStdString(),
                                   m_document.options().includeParent);
        m_nameCheck->checkNames();
    }
    storeEntry(row, category);
    if (m_document.options().autoSave)
        m_store->mnuSaveClick();
    m_editFlags.entryEnded();
    txtFilename->clear();
    txtDescription->clear();
    if (!m_modes->editorShown())
        setClientHeight(menuHeight);
    m_browser->lstDescClick();
    lstDesc->setFocus();
}

void TfrmMain::storeEntry(int row, int category) {
    const std::string description =
        m_document.model().catalogueTextFromUtf8(txtDescription->text().toStdString());
    const std::string path =
        m_document.model().catalogueTextFromUtf8(txtFilename->text().toStdString());
    const bool modify = m_editFlags.modifyMode;
    const std::string note = m_document.model().noteFieldForEntry(
        modify ? std::optional<std::size_t>(std::size_t(row)) : std::nullopt,
        m_editFlags.noteTouched);
    if (modify) {
        m_document.model().replaceListing(std::size_t(row), description, path, note);
        lstDesc->item(row)->setText(
            displayText(m_document.model().GetListingDescription(std::size_t(row)),
                        m_document.model().catalogueEncoding));
        return;
    }
    if (!m_document.model().addListing(description, path, note))
        return;
    m_browser->BuildCategories();
    m_browser->selectCategoryRow(category);
    const QSignalBlocker quiet(lstDesc);
    lstDesc->addItem(displayText(
        m_document.model().GetListingDescription(m_document.model().lstFiles.size() - 1),
        m_document.model().catalogueEncoding));
}

void TfrmMain::cmdCancelClick() {
    lockListsForQuickEdit(false);
    lstDesc->setFocus();
    m_editFlags.entryEnded();
    // An abandoned quick edit: the quick editor shows the stored path again, and the
    // selection's commands come back.
    m_browser->lstDescClick();
    txtFilename->clear();
    txtDescription->clear();
}

void TfrmMain::mnuDeleteClick() {
    const int row = lstDesc->currentRow();
    if (!isListingRow(row))
        return;
    // The listing as the Run question shows it: the mount point and the path with "/".
    const std::string path = qubrix::toUtf8(m_document.model().lstPath[std::size_t(row)],
                                            m_document.model().catalogueEncoding);
    const QString location =
        QString::fromStdString(qubrix::buildCommandLine(driveRoot.toStdString(), path))
            .replace('\\', '/');
    if (ask("Delete listing for " + location, "Confirm delete listing",
            DialogService::Icon::Warning,
            DialogService::Buttons::YesNo) != DialogService::Answer::Yes)
        return;
    const int category = CatBox->currentRow();
    m_document.model().removeListing(std::size_t(row));
    {
        const QSignalBlocker quiet(lstDesc);
        delete lstDesc->takeItem(row);
    }
    m_browser->BuildCategories();
    m_browser->selectCategoryRow(category);
    m_browser->lstDescClick();
    if (m_document.options().autoSave)
        m_store->mnuSaveClick();
}

void TfrmMain::mnuMClearClick() {
    mnuClearClick();
}

bool TfrmMain::mnuClearClick() {
    if (ask("Are you sure that you want to clear the file list?", "Confirm CLEAR command",
            DialogService::Icon::Warning,
            DialogService::Buttons::YesNo) != DialogService::Answer::Yes)
        return false;
    const int category = CatBox->currentRow();
    m_document.model().clearListings();
    m_browser->BuildCategories();
    m_browser->selectCategoryRow(category);
    m_browser->CatBoxChange();
    if (m_document.options().autoSave)
        m_store->mnuSaveClick();
    return true;
}

bool TfrmMain::eventFilter(QObject* watched, QEvent* event) {
    listingEditorEvent(watched, event);
    return QMainWindow::eventFilter(watched, event);
}
