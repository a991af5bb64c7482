#include "windows/menuwindow.h"
#include "windows/wintext.h"

#include "core/text/encoding.h"

#include <commctrl.h>
#include <shellapi.h>

namespace winmenu {

namespace {

constexpr const wchar_t* menuClass = L"QubrixMenu";
constexpr DWORD windowStyle =
    WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | WS_CLIPCHILDREN;

HFONT makeFont(int pixels, const wchar_t* face) {
    return CreateFontW(-pixels, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, DEFAULT_CHARSET,
                       OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH,
                       face);
}

std::wstring programFolder() {
    wchar_t path[MAX_PATH * 4] = {};
    const DWORD length = GetModuleFileNameW(nullptr, path, MAX_PATH * 4);
    std::wstring folder(path, length);
    return folder.substr(0, folder.find_last_of(L'\\'));
}

// The help page lies beside the program, in its help folder, or where an installation keeps
// its shared files.
std::wstring helpPagePath() {
    const std::wstring folder = programFolder();
    for (const std::wstring& candidate :
         {folder + L"\\help\\qubrix.html", folder + L"\\share\\qubrix\\help\\qubrix.html",
          folder + L"\\..\\share\\qubrix\\help\\qubrix.html"}) {
        if (GetFileAttributesW(candidate.c_str()) != INVALID_FILE_ATTRIBUTES)
            return candidate;
    }
    return {};
}

} // namespace

MenuWindow::MenuWindow(HINSTANCE instance, DiscFolder disc)
    : m_instance(instance), m_disc(std::move(disc)) {}

bool MenuWindow::create(int showCommand) {
    WNDCLASSEXW windowClass{};
    windowClass.cbSize = sizeof windowClass;
    windowClass.lpfnWndProc = windowProc;
    windowClass.hInstance = m_instance;
    windowClass.hIcon = LoadIconW(m_instance, MAKEINTRESOURCEW(1));
    windowClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    windowClass.hbrBackground = CreateSolidBrush(RGB(192, 192, 192));
    windowClass.lpszClassName = menuClass;
    RegisterClassExW(&windowClass);
    WNDCLASSEXW noteClass{};
    noteClass.cbSize = sizeof noteClass;
    noteClass.lpfnWndProc = notePadProc;
    noteClass.hInstance = m_instance;
    noteClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    noteClass.lpszClassName = L"QubrixNote";
    RegisterClassExW(&noteClass);

    // The window was laid out for an 8 point face: 13-pixel list rows and note lines.
    m_font = makeFont(11, L"MS Shell Dlg 2");
    m_bigButtonFont = makeFont(13, L"Arial");
    buildMenu();
    RECT frame{0, 0, kClientWidth, kMenuHeight};
    AdjustWindowRectEx(&frame, windowStyle, TRUE, 0);
    const int width = frame.right - frame.left;
    const int height = frame.bottom - frame.top;
    m_window = CreateWindowExW(WS_EX_CONTROLPARENT, menuClass, L"Qubrix 3.0", windowStyle,
                               (GetSystemMetrics(SM_CXSCREEN) - width) / 2,
                               (GetSystemMetrics(SM_CYSCREEN) - height) / 2, width, height, nullptr,
                               m_menu, m_instance, this);
    if (!m_window)
        return false;
    buildControls();
    if (!loadCatalogue())
        return false;
    writeCaption();
    for (const std::string& name : m_model.categoryNames) {
        const std::wstring row = widen(qubrix::toUtf8(name, m_model.catalogueEncoding));
        SendMessageW(CatBox, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(row.c_str()));
    }
    SendMessageW(CatBox, LB_SETCURSEL, 0, 0);
    CatBoxChange();
    // The keyboard starts in the category list.
    m_lastFocus = CatBox;
    ShowWindow(m_window, showCommand);
    UpdateWindow(m_window);
    SetFocus(CatBox);
    return true;
}

LRESULT CALLBACK MenuWindow::windowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCCREATE) {
        auto* self =
            static_cast<MenuWindow*>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams);
        self->m_window = window;
        SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
    }
    auto* self = reinterpret_cast<MenuWindow*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    return self ? self->handleMessage(message, wParam, lParam)
                : DefWindowProcW(window, message, wParam, lParam);
}

LRESULT MenuWindow::handleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_PAINT: {
        PAINTSTRUCT paint;
        HDC dc = BeginPaint(m_window, &paint);
        paintClient(dc);
        EndPaint(m_window, &paint);
        return 0;
    }
    case WM_DRAWITEM:
        drawButton(*reinterpret_cast<const DRAWITEMSTRUCT*>(lParam));
        return TRUE;
    case WM_CTLCOLORSTATIC:
        if (reinterpret_cast<HWND>(lParam) == lblCWD) {
            SetBkMode(reinterpret_cast<HDC>(wParam), TRANSPARENT);
            return static_cast<LRESULT>(GetClassLongPtrW(m_window, GCLP_HBRBACKGROUND));
        }
        break;
    case WM_COMMAND:
        command(LOWORD(wParam), HIWORD(wParam));
        return 0;
    case WM_ACTIVATE:
        // The control that had the keyboard gets it back when the window returns, as after
        // the wait for a started program.
        if (LOWORD(wParam) == WA_INACTIVE) {
            HWND focus = GetFocus();
            if (focus && IsChild(m_window, focus))
                m_lastFocus = focus;
        } else if (!HIWORD(wParam)) {
            SetFocus(m_lastFocus && IsWindowVisible(m_lastFocus) && IsWindowEnabled(m_lastFocus)
                         ? m_lastFocus
                         : lstDesc);
            return 0;
        }
        break;
    case WM_CLOSE:
        mnuExitClick();
        return 0;
    case WM_DESTROY:
        PostQuitMessage(1);
        return 0;
    default:
        break;
    }
    return DefWindowProcW(m_window, message, wParam, lParam);
}

void MenuWindow::command(int id, int notification) {
    switch (id) {
    case idCatBox:
        if (notification == LBN_SELCHANGE)
            CatBoxChange();
        break;
    case idLstDesc:
        if (notification == LBN_SELCHANGE)
            lstDescClick();
        else if (notification == LBN_DBLCLK)
            ShowNote(static_cast<int>(SendMessageW(lstDesc, LB_GETCARETINDEX, 0, 0)));
        break;
    case idCmdInstall:
    case idToolInstall:
    case idMnuInstall:
        cmdInstallClick();
        break;
    case idCmdCopy:
    case idToolCopy:
    case idFile1:
        copySelection(false);
        break;
    case idToolCopyFolder:
    case idFolder1:
        copySelection(true);
        break;
    case idCmdSort:
        cmdSortClick();
        break;
    case idContents1:
        Contents1Click();
        break;
    case idAbout1:
        About1Click();
        break;
    case idMnuExit:
        mnuExitClick();
        break;
    case IDCANCEL:
        // Escape outside the listing list closes an open note too.
        hideNotePopup();
        break;
    default:
        break;
    }
}

void MenuWindow::Contents1Click() {
    const std::wstring page = helpPagePath();
    if (page.empty()) {
        ask(L"The help page is not installed beside " + programFolder() + L"\\qubrix.exe.",
            L"Qubrix 3.0", Icon::Error, Buttons::Ok);
        return;
    }
    ShellExecuteW(m_window, L"open", page.c_str(), nullptr, nullptr, SW_SHOWDEFAULT);
}

// The menu is read-only: nothing is ever unsaved, so leaving asks nothing. The exit status is
// 1, as it always was.
void MenuWindow::mnuExitClick() {
    DestroyWindow(m_window);
}

} // namespace winmenu
