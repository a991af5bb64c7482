#include "windows/menuwindow.h"
#include "windows/ownversion.h"
#include "windows/pictures.h"
#include "windows/wintext.h"

#include "core/window/product.h"

#include <shellapi.h>

namespace winmenu {

namespace {

constexpr int idVersion = 301;
constexpr int idCopyright = 302;
constexpr int idUpdate = 303;
constexpr const wchar_t* aboutClass = L"QubrixAbout";
constexpr const wchar_t* homePage = QUBRIX_HOME_PAGE;

struct AboutFonts {
    HFONT text;
    HFONT logoName;
    HFONT logoSmall;
};

void cmdUpdateClick() {
    MessageBeep(0);
    // Whether the shell manages to open the page is not this box's business.
    if (ask(L"Update via the Internet?", L"Connect to the Internet", Icon::Information,
            Buttons::YesNo) == IDYES)
        ShellExecuteW(nullptr, L"open", homePage, nullptr, nullptr, SW_SHOWDEFAULT);
}

LRESULT CALLBACK aboutProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    const auto* fonts =
        reinterpret_cast<const AboutFonts*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    switch (message) {
    case WM_CREATE:
        SetWindowLongPtrW(
            window, GWLP_USERDATA,
            reinterpret_cast<LONG_PTR>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams));
        return 0;
    case WM_PAINT: {
        PAINTSTRUCT paint;
        HDC dc = BeginPaint(window, &paint);
        RECT panel{8, 8, 8 + 281, 8 + 145};
        DrawEdge(dc, &panel, BDR_RAISEDINNER | BDR_SUNKENOUTER, BF_RECT);
        paintLogo(dc, 8 + 16, 8 + 16, fonts->logoName, fonts->logoSmall);
        paintArrow(dc, 8 + 240, 8 + 92, 38, 50);
        EndPaint(window, &paint);
        return 0;
    }
    case WM_CTLCOLORSTATIC:
        SetBkMode(reinterpret_cast<HDC>(wParam), TRANSPARENT);
        return static_cast<LRESULT>(GetClassLongPtrW(window, GCLP_HBRBACKGROUND));
    case WM_COMMAND:
        if (LOWORD(wParam) == idUpdate)
            cmdUpdateClick();
        else if (LOWORD(wParam) == IDOK || LOWORD(wParam) == IDCANCEL)
            DestroyWindow(window);
        return 0;
    case WM_CLOSE:
        DestroyWindow(window);
        return 0;
    default:
        return DefWindowProcW(window, message, wParam, lParam);
    }
}

HFONT makeFont(int pixels, bool bold, const wchar_t* face) {
    return CreateFontW(-pixels, 0, 0, 0, bold ? FW_BOLD : FW_NORMAL, FALSE, FALSE, FALSE,
                       DEFAULT_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                       DEFAULT_PITCH, face);
}

} // namespace

// The About box: the logo, the file version of the program's own version resource, the way to
// the maker's home page. Modal: the menu waits until it is closed.
void MenuWindow::About1Click() {
    static bool registered = false;
    if (!registered) {
        WNDCLASSEXW windowClass{};
        windowClass.cbSize = sizeof windowClass;
        windowClass.lpfnWndProc = aboutProc;
        windowClass.hInstance = m_instance;
        windowClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
        windowClass.hbrBackground = CreateSolidBrush(RGB(192, 192, 192));
        windowClass.lpszClassName = aboutClass;
        registered = RegisterClassExW(&windowClass) != 0;
    }
    AboutFonts fonts{m_font, makeFont(20, true, L"Arial"), makeFont(11, false, L"Arial")};
    constexpr DWORD style = WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME;
    RECT frame{0, 0, 298, 192};
    AdjustWindowRectEx(&frame, style, FALSE, WS_EX_DLGMODALFRAME);
    const int width = frame.right - frame.left;
    const int height = frame.bottom - frame.top;
    HWND about = CreateWindowExW(
        WS_EX_DLGMODALFRAME | WS_EX_CONTROLPARENT, aboutClass, widen(productName).c_str(), style,
        (GetSystemMetrics(SM_CXSCREEN) - width) / 2, (GetSystemMetrics(SM_CYSCREEN) - height) / 2,
        width, height, m_window, nullptr, m_instance, &fonts);
    if (!about) {
        DeleteObject(fonts.logoName);
        DeleteObject(fonts.logoSmall);
        return;
    }
    const auto control = [&](const wchar_t* windowClass, const std::wstring& text,
                             DWORD controlStyle, int id, int left, int top, int w, int h) {
        HWND made = CreateWindowExW(
            0, windowClass, text.c_str(), WS_CHILD | WS_VISIBLE | controlStyle, left, top, w, h,
            about, reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), m_instance, nullptr);
        SendMessageW(made, WM_SETFONT, reinterpret_cast<WPARAM>(m_font), FALSE);
        return made;
    };
    control(L"STATIC", widen(ownVersionField("FileVersion")), SS_CENTER | SS_NOPREFIX, idVersion,
            8 + 184, 8 + 24, 89, 13);
    control(L"BUTTON", L"&Update", BS_PUSHBUTTON | WS_TABSTOP, idUpdate, 8 + 184, 8 + 64, 73, 25);
    control(L"STATIC", widen(copyrightLabel), SS_LEFT | SS_NOPREFIX, idCopyright, 8 + 40, 8 + 120,
            196, 13);
    HWND ok = control(L"BUTTON", L"&OK", BS_DEFPUSHBUTTON | WS_TABSTOP, IDOK, 112, 160, 65, 25);
    EnableWindow(m_window, FALSE);
    ShowWindow(about, SW_SHOW);
    SetFocus(ok);
    MSG message;
    while (IsWindow(about)) {
        const BOOL got = GetMessageW(&message, nullptr, 0, 0);
        if (got <= 0) {
            // The program is ending: the main loop gets the quit message back.
            if (got == 0)
                PostQuitMessage(static_cast<int>(message.wParam));
            DestroyWindow(about);
            break;
        }
        if (IsDialogMessageW(about, &message))
            continue;
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
    EnableWindow(m_window, TRUE);
    SetActiveWindow(m_window);
    DeleteObject(fonts.logoName);
    DeleteObject(fonts.logoSmall);
}

} // namespace winmenu
