#include "windows/menuwindow.h"
#include "windows/wintext.h"

#include "core/text/encoding.h"

namespace winmenu {

namespace {

void enableMenuItem(HMENU menu, int id, bool enabled) {
    EnableMenuItem(menu, static_cast<UINT>(id), MF_BYCOMMAND | (enabled ? MF_ENABLED : MF_GRAYED));
}

} // namespace

void MenuWindow::showCategoryRows(int k) {
    m_model.showCategory(k);
    SendMessageW(lstDesc, WM_SETREDRAW, FALSE, 0);
    SendMessageW(lstDesc, LB_RESETCONTENT, 0, 0);
    int widest = 0;
    HDC dc = GetDC(lstDesc);
    HGDIOBJ oldFont = SelectObject(dc, m_font);
    for (std::size_t i = 0; i < m_model.lstFiles.size(); ++i) {
        const std::wstring row =
            widen(qubrix::toUtf8(m_model.GetListingDescription(i), m_model.catalogueEncoding));
        SendMessageW(lstDesc, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(row.c_str()));
        SIZE size{};
        GetTextExtentPoint32W(dc, row.c_str(), static_cast<int>(row.size()), &size);
        widest = std::max(widest, static_cast<int>(size.cx));
    }
    SelectObject(dc, oldFont);
    ReleaseDC(lstDesc, dc);
    SendMessageW(lstDesc, LB_SETHORIZONTALEXTENT, static_cast<WPARAM>(widest + 4), 0);
    SendMessageW(lstDesc, WM_SETREDRAW, TRUE, 0);
    InvalidateRect(lstDesc, nullptr, TRUE);
}

// A category chosen with the mouse or the keyboard: its listings, none selected.
void MenuWindow::CatBoxChange() {
    showCategoryRows(static_cast<int>(SendMessageW(CatBox, LB_GETCURSEL, 0, 0)));
    lstDescClick();
}

std::vector<int> MenuWindow::selectedRows() const {
    const int count = static_cast<int>(SendMessageW(lstDesc, LB_GETSELCOUNT, 0, 0));
    std::vector<int> rows(static_cast<std::size_t>(std::max(count, 0)));
    if (count > 0)
        SendMessageW(lstDesc, LB_GETSELITEMS, static_cast<WPARAM>(count),
                     reinterpret_cast<LPARAM>(rows.data()));
    std::erase_if(rows, [this](int row) {
        return row < 0 || static_cast<std::size_t>(row) >= m_model.lstPath.size();
    });
    return rows;
}

std::string MenuWindow::storedPathOfRow(int row) const {
    return qubrix::toUtf8(m_model.lstPath[static_cast<std::size_t>(row)],
                          m_model.catalogueEncoding);
}

// Every change of the listing selection decides which commands are offered: Run and Copy
// Folder for one listing, Copy for one or more.
void MenuWindow::lstDescClick() {
    hideNotePopup();
    const std::size_t s = selectedRows().size();
    const bool one = s == 1;
    const bool some = s >= 1;
    std::wstring quickText;
    if (one) {
        const int current = static_cast<int>(SendMessageW(lstDesc, LB_GETCARETINDEX, 0, 0));
        if (current >= 0 && static_cast<std::size_t>(current) < m_model.lstPath.size())
            quickText = widen(storedPathOfRow(current));
    }
    SetWindowTextW(MenuEdit, quickText.c_str());
    EnableWindow(MenuEdit, one);
    // A button that is hidden or disabled while it has the focus would take the keyboard with
    // it: the focus goes to the listing list first.
    const HWND focus = GetFocus();
    if ((!one && (focus == cmdInstall || focus == ToolInstall || focus == ToolCopyFolder ||
                  focus == MenuEdit)) ||
        (!some && (focus == cmdCopy || focus == ToolCopy)))
        SetFocus(lstDesc);
    ShowWindow(cmdCopy, some ? SW_SHOW : SW_HIDE);
    ShowWindow(cmdInstall, one ? SW_SHOW : SW_HIDE);
    EnableWindow(ToolCopy, some);
    EnableWindow(ToolCopyFolder, one);
    enableMenuItem(m_menu, idFolder1, one);
    EnableWindow(ToolInstall, one);
    HMENU files = GetSubMenu(m_menu, 0);
    EnableMenuItem(files, 1, MF_BYPOSITION | (some ? MF_ENABLED : MF_GRAYED));
    enableMenuItem(m_menu, idFile1, some);
    enableMenuItem(m_menu, idMnuInstall, one);
}

// Sort orders the shown category's listings for this run; the catalogue is not written.
void MenuWindow::cmdSortClick() {
    if (m_model.shownCategory < 0 || !m_model.sortShownCategory())
        return;
    showCategoryRows(m_model.shownCategory);
    lstDescClick();
}

} // namespace winmenu
