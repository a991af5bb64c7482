#include "windows/menuwindow.h"
#include "windows/wintext.h"

#include "core/window/product.h"

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

namespace {

// The folder of the data files as the logic takes it: with its trailing separator.
std::string dataFolder(const std::wstring& folder) {
    return narrow(folder.ends_with(L'\\') ? folder : folder + L'\\');
}

} // namespace

MenuWindow::MenuWindow(HINSTANCE instance, DiscFolder disc)
    : m_instance(instance), m_disc(std::move(disc)),
      m_logic(dataFolder(m_disc.folder), m_disc.driveRoot, *this, *this, *this) {}

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
    m_window = CreateWindowExW(WS_EX_CONTROLPARENT, menuClass, widen(applicationTitle).c_str(),
                               windowStyle, (GetSystemMetrics(SM_CXSCREEN) - width) / 2,
                               (GetSystemMetrics(SM_CYSCREEN) - height) / 2, width, height, nullptr,
                               m_menu, m_instance, this);
    if (!m_window)
        return false;
    buildControls();
    m_logic.setView(this);
    // The system says the catalogue is write-protected: the logic opens it read-only.
    if (!m_logic.FormCreate())
        return false;
    SetWindowTextW(m_window, widen(m_logic.caption()).c_str());
    SetWindowTextW(lblCWD, widen(m_disc.driveRoot + "\\").c_str());
    // The keyboard starts in the category list, whatever the logic chose: the menu's keyboard
    // path (Down for the next category, Tab to its listings) starts there.
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
        m_logic.mnuExitClick();
        return 0;
    case WM_DESTROY:
        PostQuitMessage(m_exitStatus);
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
            m_logic.CatBoxChange(static_cast<int>(SendMessageW(CatBox, LB_GETCURSEL, 0, 0)));
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
        m_logic.cmdInstallClick();
        break;
    case idCmdCopy:
    case idToolCopy:
    case idFile1:
        m_logic.cmdCopyClick();
        break;
    case idToolCopyFolder:
    case idFolder1:
        m_logic.ToolCopyFolderClick();
        break;
    case idCmdSort:
        // Sort orders the shown category for this run; the read-only menu writes nothing.
        m_logic.cmdSortClick();
        break;
    case idContents1:
        m_logic.Contents1Click();
        break;
    case idAbout1:
        About1Click();
        break;
    case idMnuExit:
        m_logic.mnuExitClick();
        break;
    case IDCANCEL:
        // Escape outside the listing list closes an open note too.
        hideNote();
        break;
    default:
        break;
    }
}

bool MenuWindow::openHelp() {
    const std::wstring page = helpPagePath();
    if (page.empty()) {
        winmenu::ask(L"The help page is not installed beside " + programFolder() + L"\\qubrix.exe.",
                     widen(applicationTitle), winmenu::Icon::Error, winmenu::Buttons::Ok);
        return true;
    }
    // ShellExecuteW reports success with a value above 32.
    return reinterpret_cast<INT_PTR>(ShellExecuteW(m_window, L"open", page.c_str(), nullptr,
                                                   nullptr, SW_SHOWDEFAULT)) > 32;
}

// The window goes at once; the message loop ends with status once it has gone.
void MenuWindow::endProgram(int status) {
    m_exitStatus = status;
    DestroyWindow(m_window);
}

} // namespace winmenu
