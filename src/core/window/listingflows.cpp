#include "core/window/windowlogic.h"

#include "core/actions/launch.h"
#include "core/text/ascii.h"

#include <algorithm>

namespace qubrix {

namespace {

// Why fields of an entry cannot be stored, as the author is told it; empty when they can.
struct FieldMessage {
    std::string text;
    std::string caption;
};

FieldMessage fieldMessage(FieldProblem problem) {
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

bool isSeparator(char c) {
    return c == '/' || c == '\\';
}

// The folder of a catalogue path as the picker starts in it: without the trailing separator,
// except for a root ("/", "C:\"), which is nothing without it.
std::string pickerFolder(const std::string& folder) {
    if (folder.size() > 1 && isSeparator(folder.back()) && folder[folder.size() - 2] != ':')
        return folder.substr(0, folder.size() - 1);
    return folder;
}

} // namespace

// The program's own changes of the file name count as a change of the catalogue as well, so
// that leaving after an entry asks whether to save.
void WindowLogic::setFileName(const std::string& text) {
    if (text == m_fileName)
        return;
    m_fileName = text;
    m_document.markChanged();
    if (m_view)
        m_view->entryChanged();
}

void WindowLogic::setDescription(const std::string& text) {
    if (text == m_description)
        return;
    m_description = text;
    if (m_view)
        m_view->entryChanged();
}

void WindowLogic::fileNameEdited(const std::string& text) {
    setFileName(text);
}

void WindowLogic::descriptionEdited(const std::string& text) {
    setDescription(text);
}

void WindowLogic::cmdBrowseClick() {
    m_picked.browseStarted();
    // A disc holds documents and scripts as often as programs: the picker shows every file
    // first. Discs show names in either letter case.
    const std::optional<std::string> chosen =
        m_user.pickFile(pickerFolder(m_document.folder()),
                        {{"All files (*.*)", {"*"}},
                         {"Programs (*.com, *.exe, *.bat, *.sh)",
                          {"*.[cC][oO][mM]", "*.[eE][xX][eE]", "*.[bB][aA][tT]", "*.[sS][hH]"}}});
    // The name is in place: what is left to type is the description.
    if (chosen && !chosen->empty() && setPickedPath(*chosen) && m_view)
        m_view->focusOn(Focus::Description);
}

bool WindowLogic::setPickedPath(const std::string& fullPath) {
    // The folder as the mount table knows it; the name stays as picked.
    const auto separator = fullPath.find_last_of("/\\");
    const std::string name =
        separator == std::string::npos ? fullPath : fullPath.substr(separator + 1);
    std::string folder = separator == std::string::npos ? std::string()
                         : separator == 0               ? fullPath.substr(0, 1)
                                                        : fullPath.substr(0, separator);
    const std::string canonical = m_system.canonicalFolderOf(fullPath);
    if (!canonical.empty())
        folder = canonical;
    const std::string onDisc = folder + '/' + name;
    const std::string& root = m_document.driveRoot();
    const std::string mediumTop = root.empty() ? std::string("/") : root;
    // Only what lies in the disc's folder goes onto the disc, and a medium mounted inside that
    // folder is another disc.
    if (m_system.mountPointOf(onDisc) != mediumTop ||
        !m_picked.setPickedPath(onDisc, m_document.place(), m_document.options().includeParent)) {
        m_user.tell(fullPath + "\nlies outside the disc's folder\n" +
                        m_document.place().discFolder +
                        "/\nOnly the files in that folder and its folders go onto the disc: copy "
                        "the file there first.",
                    "File name");
        return false;
    }
    setFileName(m_picked.pickedPath);
    return true;
}

std::string WindowLogic::trimmedDescription(int row) const {
    return m_document.shownText(
        std::string(trimmedText(m_document.model().GetListingDescription(std::size_t(row)))));
}

void WindowLogic::mnuModifyClick() {
    const int row = m_currentRow;
    if (!isListingRow(row))
        return;
    m_editFlags.modifyStarted();
    setFileName(storedPathOfRow(std::size_t(row)));
    setDescription(trimmedDescription(row));
    // The editing band opens for this one edit even in menu mode.
    m_commands.bandOpen = true;
    updateCommands();
}

bool WindowLogic::entryHasItsPlace(int row) {
    // A modify replaces the current listing; a new listing goes to the shown category.
    if (m_editFlags.modifyMode ? isListingRow(row) : m_document.model().shownCategory() >= 0)
        return true;
    if (m_editFlags.modifyMode)
        m_user.tell("Select the listing to change first.", "Modify");
    else
        m_user.tell("Choose a category for the new listing first. If there is none, make one "
                    "with New Category.",
                    "Category");
    return false;
}

std::optional<LaunchKind> WindowLogic::acceptedEntryKind() {
    if (m_fileName.empty()) {
        m_user.tell("Please enter file name!", "File name");
        return std::nullopt;
    }
    // Blanks count as a description.
    if (m_description.empty()) {
        m_user.tell("A file description is required!", "Description");
        return std::nullopt;
    }
    FieldMessage problem = fieldMessage(listingFieldProblem(m_description, m_fileName));
    if (problem.text.empty()) {
        // Run refuses such a listing, as the system plans it; the author learns it here.
        const LaunchPlan plan = m_system.planLaunch(m_fileName);
        if (!plan.leavesMedium)
            return plan.kind;
        problem = {"The file name leads outside the medium.", "File name"};
    }
    m_user.tell(problem.text, problem.caption);
    return std::nullopt;
}

void WindowLogic::cmdOkClick() {
    const int row = m_currentRow;
    if (m_editFlags.quickEditActive)
        setDescription(trimmedDescription(row));
    // A refused entry keeps its text, and a quick edit keeps the lists until it is stored or
    // cancelled.
    if (!entryHasItsPlace(row))
        return;
    const std::optional<LaunchKind> kind = acceptedEntryKind();
    if (!kind)
        return;
    // The stored path is always the one the author sees; the name check tests the file it
    // names, and a program's arguments follow the renamed file as typed.
    if (m_document.options().isoCheck) {
        const std::string file = namedFileOf(m_fileName, *kind);
        const std::string arguments = m_fileName.substr(file.size());
        m_picked.describeShownPath(file, m_document.place(), m_document.options().includeParent);
        checkNames();
        setFileName(m_picked.pickedPath + arguments);
    }
    storeEntry(row);
    saveIfAutoSave();
    m_editFlags.entryEnded();
    setFileName({});
    setDescription({});
    if (!m_editorShown)
        m_commands.bandOpen = false;
    // The quick editor shows the stored path again, and the lists come back after a quick edit.
    lstDescClick(m_currentRow, m_selectedRows);
    if (m_view)
        m_view->focusOn(Focus::Listings);
}

void WindowLogic::storeEntry(int row) {
    Catalogue& model = m_document.model();
    const std::string description = model.catalogueTextFromUtf8(m_description);
    const std::string path = model.catalogueTextFromUtf8(m_fileName);
    const bool modify = m_editFlags.modifyMode;
    const std::string note = model.noteFieldForEntry(
        modify ? std::optional<std::size_t>(std::size_t(row)) : std::nullopt,
        m_editFlags.noteTouched);
    if (modify) {
        model.replaceListing(std::size_t(row), description, path, note);
        if (m_view)
            m_view->rowChanged(std::size_t(row));
        return;
    }
    if (!model.addListing(description, path, note))
        return;
    // The new row is appended; the current row and the selection stay.
    BuildCategories(m_categoryRow);
    if (m_view)
        m_view->rowsChanged();
}

void WindowLogic::cmdCancelClick() {
    if (m_view)
        m_view->focusOn(Focus::Listings);
    m_editFlags.entryEnded();
    // An abandoned quick edit: the quick editor shows the stored path again, and the
    // selection's commands come back.
    lstDescClick(m_currentRow, m_selectedRows);
    setFileName({});
    setDescription({});
}

void WindowLogic::mnuDeleteClick() {
    const int row = m_currentRow;
    if (!isListingRow(row))
        return;
    // The listing as the Run question shows it: the mount point and the path with "/".
    const std::string path = storedPathOfRow(std::size_t(row));
    std::string location = buildCommandLine(m_system.storedPathRoot(path), path);
    std::replace(location.begin(), location.end(), '\\', '/');
    if (m_user.ask("Delete listing for " + location, "Confirm delete listing",
                   UserPort::Icon::Warning, UserPort::Buttons::YesNo) != UserPort::Answer::Yes)
        return;
    const int category = m_categoryRow;
    m_document.model().removeListing(std::size_t(row));
    BuildCategories(category);
    // The neighbour becomes current, as in a list box that lost the row; none is selected.
    const int remaining = int(m_document.model().rowCount());
    listingRowsChanged(remaining == 0 ? -1 : std::min(row, remaining - 1));
    saveIfAutoSave();
}

bool WindowLogic::clearShownCategory() {
    if (m_user.ask("Are you sure that you want to clear the file list?", "Confirm CLEAR command",
                   UserPort::Icon::Warning, UserPort::Buttons::YesNo) != UserPort::Answer::Yes)
        return false;
    const int category = m_categoryRow;
    m_document.model().clearListings();
    BuildCategories(category);
    CatBoxChange(m_categoryRow);
    saveIfAutoSave();
    return true;
}

void WindowLogic::MenuEditClick() {
    m_user.playSound();
    m_editFlags.quickEditorClicked();
}

void WindowLogic::MenuEditChange(const std::string& text) {
    if (!m_editFlags.quickEditorTextChanged())
        return;
    // Neither the listing nor the category may change while its path is being edited: OK
    // replaces the listing the quick edit started on.
    m_commands.quickEditorText = text;
    updateCommands();
    setFileName(text);
}

std::optional<std::size_t> WindowLogic::noteOfCurrentListing() const {
    const int row = m_currentRow;
    const auto note = row < 0 ? std::nullopt : m_document.model().noteOfRow(std::size_t(row));
    // A reference beyond the notes file names no note that could be shown or edited.
    if (!note || !m_document.model().note(*note))
        return std::nullopt;
    return note;
}

void WindowLogic::mnuNoteClick() {
    m_editFlags.notesOpened(noteOfCurrentListing().has_value());
    m_dialogs.showNotesDialog();
}

std::optional<std::string> WindowLogic::noteOfEntry() const {
    const auto note = noteOfCurrentListing();
    if (m_editFlags.newNoteMode || !note)
        return std::nullopt;
    return m_document.shownNote(*m_document.model().note(*note));
}

void WindowLogic::storeNoteOfEntry(const std::string& text) {
    const auto note = noteOfCurrentListing();
    Catalogue& model = m_document.model();
    std::string bytes = model.noteTextFromUtf8(text);
    if (m_editFlags.newNoteMode || !note)
        model.appendNote(std::move(bytes));
    else
        model.replaceNote(*note, std::move(bytes));
}

void WindowLogic::noteOfEntryCancelled() {
    m_editFlags.notesCancelled();
}

} // namespace qubrix
