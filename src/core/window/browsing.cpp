#include "core/window/windowlogic.h"

#include "core/window/product.h"

#include <algorithm>

namespace qubrix {

WindowLogic::WindowLogic(const std::string& folder, const std::string& driveRoot, UserPort& user,
                         DialogPort& dialogs, SystemPort& system)
    : m_document(folder, driveRoot), m_user(user), m_dialogs(dialogs), m_system(system) {
    // The window opens with the author's editor shown.
    m_commands.addPressed = true;
    m_commands.bandOpen = true;
}

std::vector<std::string> WindowLogic::categoryRows() const {
    std::vector<std::string> rows;
    for (const std::string& name : m_document.model().categoryNames())
        rows.push_back(m_document.shownText(name));
    return rows;
}

std::vector<std::string> WindowLogic::listingRows() const {
    std::vector<std::string> rows;
    for (std::size_t i = 0; i < m_document.model().rowCount(); ++i)
        rows.push_back(listingRow(i));
    return rows;
}

std::string WindowLogic::listingRow(std::size_t row) const {
    return m_document.shownText(m_document.model().GetListingDescription(row));
}

std::string WindowLogic::rowNote(std::size_t row) const {
    const Catalogue& model = m_document.model();
    const auto k = model.noteOfRow(row);
    const std::string* note = k ? model.note(*k) : nullptr;
    return note ? m_document.shownNote(*note) : std::string();
}

std::string WindowLogic::storedPathOfRow(std::size_t row) const {
    return m_document.shownText(m_document.model().storedPath(row));
}

bool WindowLogic::isListingRow(int row) const {
    return row >= 0 && std::size_t(row) < m_document.model().rowCount();
}

void WindowLogic::BuildCategories(int selectRow) {
    const std::size_t count = m_document.model().BuildCategories();
    // A row beyond the list selects none, as in a list box.
    m_categoryRow = selectRow >= 0 && std::size_t(selectRow) < count ? selectRow : -1;
    if (m_view)
        m_view->categoriesChanged();
}

void WindowLogic::CatBoxChange(int k) {
    m_categoryRow = k;
    m_document.model().showCategory(k);
    listingRowsChanged(-1);
}

void WindowLogic::listingRowsChanged(int current) {
    m_currentRow = current;
    m_selectedRows.clear();
    if (m_view)
        m_view->rowsChanged();
    lstDescClick(current, {});
}

void WindowLogic::lstDescClick(int current, std::vector<int> selected) {
    if (m_view)
        m_view->hideNote();
    m_currentRow = current;
    m_selectedRows = std::move(selected);
    m_editFlags.selectionChanged(m_selectedRows.size());
    updateCommands();
}

void WindowLogic::updateCommands() {
    CommandStates& c = m_commands;
    const bool editable = !m_document.readOnly();
    const bool quickEdit = m_editFlags.quickEditActive;
    const bool hasRows = m_document.model().rowCount() > 0;
    c.editingShown = editable;
    c.listsEnabled = !quickEdit;
    c.quickEditButtons = quickEdit;
    c.editMenuEnabled = hasRows && !quickEdit;
    c.editPopupEnabled = hasRows;
    c.oneSelected = m_selectedRows.size() == 1;
    c.someSelected = !m_selectedRows.empty();
    c.deleteEnabled = c.oneSelected && !quickEdit;
    // While a quick edit runs the quick editor keeps the author's text.
    if (!quickEdit)
        c.quickEditorText = c.oneSelected && isListingRow(m_currentRow)
                                ? storedPathOfRow(std::size_t(m_currentRow))
                                : std::string();
    c.quickEditorReadOnly = !editable;
    if (m_view)
        m_view->commandsChanged();
}

void WindowLogic::showError(const std::string& text) {
    m_user.askQuietly(text, applicationTitle, UserPort::Icon::Error, UserPort::Buttons::Ok);
}

std::optional<std::string> WindowLogic::ShowNote(int row) {
    const Catalogue& model = m_document.model();
    if (row < 0 || std::size_t(row) >= model.rowCount())
        return std::nullopt;
    const auto k = model.noteOfRow(std::size_t(row));
    if (!k) {
        m_user.beep();
        return std::nullopt;
    }
    const std::string* note = model.note(*k);
    if (!note) {
        showError("List index out of bounds (" + std::to_string(*k) + ")");
        return std::nullopt;
    }
    return m_document.shownNote(*note);
}

} // namespace qubrix
