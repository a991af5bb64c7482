#include "windows/menuwindow.h"
#include "windows/wintext.h"

namespace winmenu {

namespace {

void enableMenuItem(HMENU menu, int id, bool enabled) {
    EnableMenuItem(menu, static_cast<UINT>(id), MF_BYCOMMAND | (enabled ? MF_ENABLED : MF_GRAYED));
}

} // namespace

void MenuWindow::categoriesChanged() {
    SendMessageW(CatBox, WM_SETREDRAW, FALSE, 0);
    SendMessageW(CatBox, LB_RESETCONTENT, 0, 0);
    for (const std::string& name : m_logic.categoryRows())
        SendMessageW(CatBox, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(widen(name).c_str()));
    SendMessageW(CatBox, LB_SETCURSEL, static_cast<WPARAM>(m_logic.categoryRow()), 0);
    SendMessageW(CatBox, WM_SETREDRAW, TRUE, 0);
    InvalidateRect(CatBox, nullptr, TRUE);
}

// The rows are measured as they are added, so that the list scrolls sideways to the widest.
void MenuWindow::fillListings() {
    SendMessageW(lstDesc, WM_SETREDRAW, FALSE, 0);
    SendMessageW(lstDesc, LB_RESETCONTENT, 0, 0);
    int widest = 0;
    HDC dc = GetDC(lstDesc);
    HGDIOBJ oldFont = SelectObject(dc, m_font);
    for (const std::string& text : m_logic.listingRows()) {
        const std::wstring row = widen(text);
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

void MenuWindow::rowsChanged() {
    fillListings();
    selectionChanged();
}

void MenuWindow::rowChanged(std::size_t row) {
    const WPARAM at = static_cast<WPARAM>(row);
    const bool selected = SendMessageW(lstDesc, LB_GETSEL, at, 0) > 0;
    SendMessageW(lstDesc, LB_DELETESTRING, at, 0);
    SendMessageW(lstDesc, LB_INSERTSTRING, at,
                 reinterpret_cast<LPARAM>(widen(m_logic.listingRow(row)).c_str()));
    SendMessageW(lstDesc, LB_SETSEL, selected, static_cast<LPARAM>(row));
}

// Setting the selection sends no LBN_SELCHANGE: the logic is not told again of its own choice.
void MenuWindow::selectionChanged() {
    SendMessageW(lstDesc, LB_SETSEL, FALSE, -1);
    for (const int row : m_logic.selectedRows())
        SendMessageW(lstDesc, LB_SETSEL, TRUE, row);
    if (m_logic.currentRow() >= 0)
        SendMessageW(lstDesc, LB_SETCARETINDEX, static_cast<WPARAM>(m_logic.currentRow()), FALSE);
}

// The user changed the selection of listings: the focused row and every selected one.
void MenuWindow::lstDescClick() {
    const int count = static_cast<int>(SendMessageW(lstDesc, LB_GETSELCOUNT, 0, 0));
    std::vector<int> rows(static_cast<std::size_t>(std::max(count, 0)));
    if (count > 0)
        SendMessageW(lstDesc, LB_GETSELITEMS, static_cast<WPARAM>(count),
                     reinterpret_cast<LPARAM>(rows.data()));
    m_logic.lstDescClick(static_cast<int>(SendMessageW(lstDesc, LB_GETCARETINDEX, 0, 0)),
                         std::move(rows));
}

// Run and Copy Folder are offered for one listing, Copy for one or more. The menu has no
// editing command to show or hide: it is built without them.
void MenuWindow::commandsChanged() {
    const qubrix::CommandStates& c = m_logic.commands();
    const bool one = c.oneSelected;
    const bool some = c.someSelected;
    SetWindowTextW(MenuEdit, widen(c.quickEditorText).c_str());
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
    for (HWND list : {CatBox, lstDesc, cmdSort})
        EnableWindow(list, c.listsEnabled);
}

// The menu has no file-name or description edit: the logic's entry is never shown here.
void MenuWindow::entryChanged() {}

// The menu has only the two lists to take the keyboard.
void MenuWindow::focusOn(qubrix::Focus where) {
    HWND target = where == qubrix::Focus::Categories ? CatBox : lstDesc;
    m_lastFocus = target;
    SetFocus(target);
}

void MenuWindow::programStarted() {
    ShowWindow(m_window, SW_MINIMIZE);
}

void MenuWindow::programEnded() {
    ShowWindow(m_window, SW_RESTORE);
    SetForegroundWindow(m_window);
}

} // namespace winmenu
