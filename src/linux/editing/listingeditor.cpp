#include "linux/editing/listingeditor.h"

#include "core/actions/launch.h"
#include "core/actions/medium.h"
#include "linux/catalogue/cataloguebrowser.h"
#include "linux/catalogue/cataloguestore.h"
#include "core/text/ascii.h"
#include "core/text/encoding.h"

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

ListingEditor::ListingEditor(CatalogueDocument& document, Services services,
                             const ListingEditorControls& controls, CatalogueBrowser& browser,
                             CatalogueStore& store, EditingBand band, QObject* parent)
    : QObject(parent), m_document(document), m_services(services), m_controls(controls),
      m_browser(browser), m_store(store), m_band(std::move(band)),
      m_nameCheck(document, services, m_picked,
                  [this](const QString& fullPath) { return setPickedPath(fullPath); }) {
    setObjectName("listingEditor");
    connectControls();
}

void ListingEditor::connectControls() {
    for (QAction* action : {m_controls.mnuModify, m_controls.mnuMModify})
        connect(action, &QAction::triggered, this, &ListingEditor::mnuModifyClick);
    for (QAction* action : {m_controls.mnuDelete, m_controls.mnuMDelete})
        connect(action, &QAction::triggered, this, &ListingEditor::mnuDeleteClick);
    connect(m_controls.cmdDelete, &QToolButton::clicked, this, &ListingEditor::mnuDeleteClick);
    for (QAction* action : {m_controls.mnuClear, m_controls.mnuMClear})
        connect(action, &QAction::triggered, this, &ListingEditor::clearShownCategory);
    connect(m_controls.Browse, &QPushButton::clicked, this, &ListingEditor::cmdBrowseClick);
    for (QToolButton* button : {m_controls.cmdOK, m_controls.MOK})
        connect(button, &QToolButton::clicked, this, &ListingEditor::cmdOkClick);
    for (QToolButton* button : {m_controls.cmdCancel, m_controls.MOC})
        connect(button, &QToolButton::clicked, this, &ListingEditor::cmdCancelClick);
    connect(m_controls.btnAddNote, &QPushButton::clicked, this, &ListingEditor::mnuNoteClick);
    // textChanged, not textEdited: the program's own changes count as well.
    connect(m_controls.txtFilename, &QLineEdit::textChanged, &m_document,
            &CatalogueDocument::markChanged);
    connect(m_controls.MenuEdit, &QLineEdit::textChanged, this, &ListingEditor::MenuEditChange);
    for (QLineEdit* edit : {m_controls.txtFilename, m_controls.txtDescription, m_controls.MenuEdit})
        edit->installEventFilter(this);
}

bool ListingEditor::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (watched == m_controls.txtFilename)
            txtFilenameKeyDown(key);
        else if (watched == m_controls.txtDescription)
            txtDescriptionKeyDown(key);
        else if (watched == m_controls.MenuEdit)
            MenuEditKeyPress(key);
    } else if (event->type() == QEvent::MouseButtonDblClick && watched == m_controls.txtFilename) {
        // After the edit's own handling of the double click, as a click handler would run.
        QMetaObject::invokeMethod(this, &ListingEditor::cmdBrowseClick, Qt::QueuedConnection);
    } else if (event->type() == QEvent::MouseButtonRelease && watched == m_controls.MenuEdit) {
        MenuEditClick();
    }
    return QObject::eventFilter(watched, event);
}

void ListingEditor::txtFilenameKeyDown(int key) {
    if (isEnter(key))
        m_controls.txtDescription->setFocus();
    else if (key == Qt::Key_Escape)
        cmdCancelClick();
}

void ListingEditor::txtDescriptionKeyDown(int key) {
    if (isEnter(key))
        cmdOkClick();
    else if (key == Qt::Key_Escape)
        cmdCancelClick();
}

void ListingEditor::cmdBrowseClick() {
    m_picked.browseStarted();
    // Discs show names in either letter case.
    const QString chosen = m_services.dialogs.openFileName(
        QFileInfo(m_document.catalogPath()).path(),
        {{"Programs (*.com, *.exe, *.bat)", {"*.[cC][oO][mM]", "*.[eE][xX][eE]", "*.[bB][aA][tT]"}},
         {"All files (*.*)", {"*"}}});
    // The name is in place: what is left to type is the description.
    if (!chosen.isEmpty() && setPickedPath(chosen))
        m_controls.txtDescription->setFocus();
}

bool ListingEditor::setPickedPath(const QString& fullPath) {
    // The folder as the mount table knows it; the name stays as picked.
    const QFileInfo file(fullPath);
    const QString folder = QFileInfo(file.absolutePath()).canonicalFilePath();
    const QString onDisc =
        (folder.isEmpty() ? file.absolutePath() : folder) + '/' + file.fileName();
    const QString mediumTop =
        m_document.driveRoot().isEmpty() ? QString("/") : m_document.driveRoot();
    // Only what lies in the disc's folder goes onto the disc, and a medium mounted inside that
    // folder is another disc.
    if (m_services.files.mountPointOf(onDisc) != mediumTop ||
        !m_picked.setPickedPath(onDisc.toStdString(), m_document.place(),
                                m_document.options().includeParent)) {
        const QString discFolder = QString::fromStdString(m_document.place().discFolder) + '/';
        showError(QString("%1\nlies outside the disc's folder\n%2\nOnly the files in that folder "
                          "and its folders go onto the disc: copy the file there first.")
                      .arg(fullPath, discFolder),
                  "File name");
        return false;
    }
    m_controls.txtFilename->setText(QString::fromStdString(m_picked.pickedPath));
    return true;
}

QString ListingEditor::trimmedDescription(int row) const {
    return displayText(std::string(qubrix::trimmedText(
                           m_document.model().GetListingDescription(std::size_t(row)))),
                       m_document.model().catalogueEncoding);
}

bool ListingEditor::isListingRow(int row) const {
    return row >= 0 && std::size_t(row) < m_document.model().lstFiles.size();
}

void ListingEditor::mnuModifyClick() {
    const int row = m_controls.lstDesc->currentRow();
    if (!isListingRow(row))
        return;
    m_editFlags.modifyStarted();
    m_controls.txtFilename->setText(displayText(m_document.model().lstPath[std::size_t(row)],
                                                m_document.model().catalogueEncoding));
    m_controls.txtDescription->setText(trimmedDescription(row));
    // The editing band opens for this one edit even in menu mode.
    m_band.show(true);
}

void ListingEditor::lockListsForQuickEdit(bool locked) {
    // While a quick edit holds the lists nothing else may change the catalogue: its OK replaces
    // the listing it started on, which a sort, a removal or a category command would move away.
    for (QWidget* control : std::initializer_list<QWidget*>{m_controls.lstDesc, m_controls.CatBox,
                                                            m_controls.cmdSort, m_controls.cmdCat})
        control->setEnabled(!locked);
    for (QAction* command : {m_controls.mnuNewCat->menuAction(), m_controls.ReadOnly})
        command->setEnabled(!locked);
    // The selection's commands come back with the lstDescClick that follows every release.
    if (locked) {
        m_controls.cmdDelete->setEnabled(false);
        m_controls.mnuEdit->menuAction()->setEnabled(false);
    }
    m_controls.MOK->setEnabled(locked);
    m_controls.MOC->setEnabled(locked);
}

bool ListingEditor::entryHasItsPlace(int row) {
    // A modify replaces the current listing; a new listing goes to the shown category.
    if (m_editFlags.modifyMode ? isListingRow(row) : m_document.model().shownCategory >= 0)
        return true;
    if (m_editFlags.modifyMode)
        showError("Select the listing to change first.", "Modify");
    else
        showError(
            "Choose a category for the new listing first. If there is none, make one with New "
            "Category.",
            "Category");
    return false;
}

bool ListingEditor::entryFieldsAccepted() {
    if (m_controls.txtFilename->text().isEmpty()) {
        showError("Please enter file name!", "File name");
        return false;
    }
    // Blanks count as a description.
    if (m_controls.txtDescription->text().isEmpty()) {
        showError("A file description is required!", "Description");
        return false;
    }
    const std::string path = m_controls.txtFilename->text().toStdString();
    FieldMessage problem = fieldMessage(
        qubrix::listingFieldProblem(m_controls.txtDescription->text().toStdString(), path));
    // Run refuses such a listing; the author learns it here.
    if (problem.text.isEmpty() &&
        qubrix::planLaunch(qubrix::storedPathRoot(m_document.place(), path), path).leavesMedium)
        problem = {"The file name leads outside the medium.", "File name"};
    if (problem.text.isEmpty())
        return true;
    showError(problem.text, problem.caption);
    return false;
}

void ListingEditor::cmdOkClick() {
    const int row = m_controls.lstDesc->currentRow();
    const int category = m_controls.CatBox->currentRow();
    if (m_editFlags.quickEditActive)
        m_controls.txtDescription->setText(trimmedDescription(row));
    // A refused entry keeps its text, and a quick edit keeps the lists until it is stored or
    // cancelled.
    if (!entryHasItsPlace(row) || !entryFieldsAccepted())
        return;
    if (m_editFlags.quickEditActive)
        lockListsForQuickEdit(false);
    // The stored path is always the one the author sees; the name check tests that path.
    if (m_document.options().isoCheck) {
        m_picked.describeShownPath(m_controls.txtFilename->text().toStdString(), m_document.place(),
                                   m_document.options().includeParent);
        m_nameCheck.checkNames();
    }
    storeEntry(row, category);
    saveIfAutoSave();
    m_editFlags.entryEnded();
    m_controls.txtFilename->clear();
    m_controls.txtDescription->clear();
    if (!m_band.editorShown())
        m_band.show(false);
    m_browser.lstDescClick();
    m_controls.lstDesc->setFocus();
}

void ListingEditor::storeEntry(int row, int category) {
    const std::string description =
        m_document.model().catalogueTextFromUtf8(m_controls.txtDescription->text().toStdString());
    const std::string path =
        m_document.model().catalogueTextFromUtf8(m_controls.txtFilename->text().toStdString());
    const bool modify = m_editFlags.modifyMode;
    const std::string note = m_document.model().noteFieldForEntry(
        modify ? std::optional<std::size_t>(std::size_t(row)) : std::nullopt,
        m_editFlags.noteTouched);
    if (modify) {
        m_document.model().replaceListing(std::size_t(row), description, path, note);
        m_controls.lstDesc->item(row)->setText(
            displayText(m_document.model().GetListingDescription(std::size_t(row)),
                        m_document.model().catalogueEncoding));
        return;
    }
    if (!m_document.model().addListing(description, path, note))
        return;
    m_browser.BuildCategories();
    m_browser.selectCategoryRow(category);
    const QSignalBlocker quiet(m_controls.lstDesc);
    m_controls.lstDesc->addItem(displayText(
        m_document.model().GetListingDescription(m_document.model().lstFiles.size() - 1),
        m_document.model().catalogueEncoding));
}

void ListingEditor::cmdCancelClick() {
    lockListsForQuickEdit(false);
    m_controls.lstDesc->setFocus();
    m_editFlags.entryEnded();
    // An abandoned quick edit: the quick editor shows the stored path again, and the
    // selection's commands come back.
    m_browser.lstDescClick();
    m_controls.txtFilename->clear();
    m_controls.txtDescription->clear();
}

void ListingEditor::mnuDeleteClick() {
    const int row = m_controls.lstDesc->currentRow();
    if (!isListingRow(row))
        return;
    // The listing as the Run question shows it: the mount point and the path with "/".
    const std::string path = qubrix::toUtf8(m_document.model().lstPath[std::size_t(row)],
                                            m_document.model().catalogueEncoding);
    const QString location =
        QString::fromStdString(
            qubrix::buildCommandLine(qubrix::storedPathRoot(m_document.place(), path), path))
            .replace('\\', '/');
    if (m_services.dialogs.beepAndAsk("Delete listing for " + location, "Confirm delete listing",
                                      DialogService::Icon::Warning,
                                      DialogService::Buttons::YesNo) != DialogService::Answer::Yes)
        return;
    const int category = m_controls.CatBox->currentRow();
    m_document.model().removeListing(std::size_t(row));
    {
        const QSignalBlocker quiet(m_controls.lstDesc);
        delete m_controls.lstDesc->takeItem(row);
    }
    m_browser.BuildCategories();
    m_browser.selectCategoryRow(category);
    m_browser.lstDescClick();
    saveIfAutoSave();
}

bool ListingEditor::clearShownCategory() {
    if (m_services.dialogs.beepAndAsk("Are you sure that you want to clear the file list?",
                                      "Confirm CLEAR command", DialogService::Icon::Warning,
                                      DialogService::Buttons::YesNo) != DialogService::Answer::Yes)
        return false;
    const int category = m_controls.CatBox->currentRow();
    m_document.model().clearListings();
    m_browser.BuildCategories();
    m_browser.selectCategoryRow(category);
    m_browser.CatBoxChange();
    saveIfAutoSave();
    return true;
}

void ListingEditor::saveIfAutoSave() {
    if (m_document.options().autoSave)
        m_store.mnuSaveClick();
}

void ListingEditor::showError(const QString& text, const QString& caption) {
    m_services.dialogs.beepAndAsk(text, caption, DialogService::Icon::Error,
                                  DialogService::Buttons::Ok);
}
