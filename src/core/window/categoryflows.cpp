#include "core/window/windowlogic.h"

namespace qubrix {

std::optional<std::string> WindowLogic::askCategoryName(DialogPort::CategoryPurpose purpose,
                                                        const std::string& name) {
    const std::optional<std::string> answer = m_dialogs.askCategoryName(purpose, name);
    if (!answer)
        return std::nullopt;
    return m_document.model().catalogueTextFromUtf8(*answer);
}

void WindowLogic::New1Click() {
    const int shown = m_categoryRow;
    const std::size_t count = m_document.model().categoryNames().size();
    const auto name = askCategoryName(DialogPort::CategoryPurpose::Add, {});
    // The new category is the last row.
    if (name)
        m_document.model().addCategory(*name);
    BuildCategories(name ? int(count) : shown);
    CatBoxChange(m_categoryRow);
}

void WindowLogic::Rename2Click() {
    const int shown = m_categoryRow;
    if (shown < 0 || std::size_t(shown) >= m_document.model().categoryNames().size())
        return;
    const std::string name =
        m_document.shownText(m_document.model().categoryNames()[std::size_t(shown)]);
    if (const auto newName = askCategoryName(DialogPort::CategoryPurpose::Rename, name)) {
        m_document.model().renameCategory(std::size_t(shown), *newName);
        BuildCategories(shown);
    }
    CatBoxChange(shown);
}

void WindowLogic::Delete2Click() {
    if (m_document.model().categoryNames().size() < 2) {
        m_user.tell("Cannot Delete Main Category!", "Delete Category");
        return;
    }
    const int shown = m_categoryRow;
    if (shown < 0 || !clearShownCategory())
        return;
    // The clear may have saved already; the removal of the header waits for the next save.
    m_document.model().deleteCategory(std::size_t(shown));
    BuildCategories(0);
    CatBoxChange(0);
}

void WindowLogic::cmdSortClick() {
    // The new order waits for the next save; where the catalogue cannot be edited it is the end
    // user's arrangement for this run only.
    m_document.model().sortShownCategory();
    CatBoxChange(m_categoryRow);
}

void WindowLogic::moveListing(int row, int target) {
    if (target < 0 || row < 0)
        return;
    const int shown = m_categoryRow;
    if (!m_document.model().moveListing(std::size_t(row), std::size_t(target)))
        return;
    BuildCategories(shown);
    CatBoxChange(shown);
}

} // namespace qubrix
