#include "windows/menuwindow.h"
#include "windows/wintext.h"

#include "core/catalogue/notepopup.h"

#include <windowsx.h>

namespace winmenu {

namespace {

// The note's text area inside the one-pixel frame.
constexpr int kNoteWidth = 185;

// At most the text the pop-up can show: a pixel a character at the least on every line that
// fits, so that a huge note without blanks is not laid out whole.
std::wstring shownPart(const std::wstring& note, int lines) {
    const std::size_t most = static_cast<std::size_t>(kNoteWidth) * static_cast<std::size_t>(lines);
    return note.size() <= most ? note : note.substr(0, most - 1) + L"\u2026";
}

HFONT fontOf(HWND window) {
    return reinterpret_cast<HFONT>(SendMessageW(window, WM_GETFONT, 0, 0));
}

// The lines the note takes when wrapped at the pop-up's width.
int displayedLines(HWND pad, const std::wstring& text) {
    HDC dc = GetDC(pad);
    HGDIOBJ oldFont = SelectObject(dc, fontOf(pad));
    TEXTMETRICW metrics{};
    GetTextMetricsW(dc, &metrics);
    RECT area{0, 0, kNoteWidth - 4, 0};
    DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &area,
              DT_CALCRECT | DT_WORDBREAK | DT_EDITCONTROL | DT_NOPREFIX);
    SelectObject(dc, oldFont);
    ReleaseDC(pad, dc);
    const int lineHeight = std::max(1L, metrics.tmHeight);
    return std::max(1, static_cast<int>((area.bottom + lineHeight - 1) / lineHeight));
}

void hidePad(HWND pad) {
    SetWindowTextW(pad, L"");
    ShowWindow(pad, SW_HIDE);
}

} // namespace

// The pop-up draws a dark one-pixel frame around the note on the tool tips' ground; a press on
// it closes it.
LRESULT CALLBACK MenuWindow::notePadProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_PAINT: {
        PAINTSTRUCT paint;
        HDC dc = BeginPaint(window, &paint);
        RECT area;
        GetClientRect(window, &area);
        FrameRect(dc, &area, GetSysColorBrush(COLOR_3DDKSHADOW));
        InflateRect(&area, -1, -1);
        FillRect(dc, &area, GetSysColorBrush(COLOR_INFOBK));
        area.left += 2;
        area.right -= 2;
        HGDIOBJ oldFont = SelectObject(dc, fontOf(window));
        SetBkMode(dc, TRANSPARENT);
        SetTextColor(dc, GetSysColor(COLOR_INFOTEXT));
        const std::wstring text = windowText(window);
        DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &area,
                  DT_WORDBREAK | DT_EDITCONTROL | DT_NOPREFIX);
        SelectObject(dc, oldFont);
        EndPaint(window, &paint);
        return 0;
    }
    case WM_SETFONT:
        SetWindowLongPtrW(window, GWLP_USERDATA, static_cast<LONG_PTR>(wParam));
        return 0;
    case WM_GETFONT:
        return GetWindowLongPtrW(window, GWLP_USERDATA);
    case WM_LBUTTONDOWN:
    case WM_LBUTTONUP:
        hidePad(window);
        return 0;
    default:
        return DefWindowProcW(window, message, wParam, lParam);
    }
}

// The logic decides whether there is a note to show (a beep for none); the window only lays
// it out beside the row.
void MenuWindow::ShowNote(int row) {
    const std::optional<std::string> note = m_logic.ShowNote(row);
    if (!note)
        return;
    const std::wstring text = shownPart(widen(*note), qubrix::maxNoteLines(kMenuHeight));
    SetWindowTextW(NotePad, text.c_str());
    const qubrix::NotePopupGeometry geometry =
        qubrix::notePopupGeometry(displayedLines(NotePad, text), m_lastClickY, kMenuHeight);
    SetWindowPos(NotePad, HWND_TOP, geometry.outlineLeft, geometry.outlineTop, kNoteWidth + 2,
                 geometry.outlineHeight, SWP_SHOWWINDOW);
    InvalidateRect(NotePad, nullptr, TRUE);
}

void MenuWindow::hideNote() {
    hidePad(NotePad);
}

// Enter or F2 on a selected listing shows its note beside the row, as a double click in the
// row's middle would.
void MenuWindow::showNoteOfCurrentRow() {
    const int current = static_cast<int>(SendMessageW(lstDesc, LB_GETCARETINDEX, 0, 0));
    if (current < 0 || SendMessageW(lstDesc, LB_GETSEL, static_cast<WPARAM>(current), 0) <= 0)
        return;
    RECT rowArea{};
    SendMessageW(lstDesc, LB_GETITEMRECT, static_cast<WPARAM>(current),
                 reinterpret_cast<LPARAM>(&rowArea));
    m_lastClickY = (rowArea.top + rowArea.bottom) / 2;
    ShowNote(current);
}

bool MenuWindow::preTranslate(const MSG& message) {
    // A click into the quick editor sounds as Run does.
    if (message.hwnd == MenuEdit && message.message == WM_LBUTTONDOWN) {
        playSound();
        return false;
    }
    if (message.hwnd != lstDesc)
        return false;
    if (message.message == WM_LBUTTONDOWN || message.message == WM_LBUTTONDBLCLK) {
        m_lastClickY = GET_Y_LPARAM(message.lParam);
        return false;
    }
    if (message.message != WM_KEYDOWN || GetKeyState(VK_SHIFT) < 0 || GetKeyState(VK_CONTROL) < 0 ||
        GetKeyState(VK_MENU) < 0)
        return false;
    if (message.wParam == VK_ESCAPE && IsWindowVisible(NotePad)) {
        hideNote();
        return true;
    }
    if (message.wParam == VK_RETURN || message.wParam == VK_F2) {
        showNoteOfCurrentRow();
        return true;
    }
    return false;
}

} // namespace winmenu
