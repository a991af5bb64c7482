// Prints what a window of another program shows, for the end-to-end test of the Windows menu:
// its state and caption, then one line per child window (id, class, shown, enabled, text) and, for
// a list box, one line per row (index, selected, text). Texts are UTF-8, fields split by tabs.
//
//   menuprobe CLASS [CAPTION]
//
// Exit status 0 when the window was found, 2 when it was not.
#include "windows/wintext.h"

#include <windows.h>

#include <string>

namespace {

void write(const std::string& line) {
    DWORD written = 0;
    const std::string out = line + "\n";
    WriteFile(GetStdHandle(STD_OUTPUT_HANDLE), out.data(), static_cast<DWORD>(out.size()), &written,
              nullptr);
}

std::wstring textOf(HWND window) {
    wchar_t text[4096] = {};
    // WM_GETTEXT is carried across processes, and reaches the text of a static or an edit.
    SendMessageTimeoutW(window, WM_GETTEXT, 4096, reinterpret_cast<LPARAM>(text), SMTO_BLOCK, 5000,
                        nullptr);
    return text;
}

std::wstring classOf(HWND window) {
    wchar_t name[256] = {};
    GetClassNameW(window, name, 256);
    return name;
}

BOOL CALLBACK printChild(HWND child, LPARAM) {
    const std::wstring kind = classOf(child);
    write("control\t" + std::to_string(GetDlgCtrlID(child)) + "\t" + winmenu::narrow(kind) + "\t" +
          (IsWindowVisible(child) ? "shown" : "hidden") + "\t" +
          (IsWindowEnabled(child) ? "enabled" : "disabled") + "\t" +
          winmenu::narrow(textOf(child)));
    if (_wcsicmp(kind.c_str(), L"ListBox") != 0)
        return TRUE;
    const LRESULT rows = SendMessageW(child, LB_GETCOUNT, 0, 0);
    for (LRESULT row = 0; row < rows; ++row) {
        wchar_t text[4096] = {};
        if (SendMessageW(child, LB_GETTEXTLEN, static_cast<WPARAM>(row), 0) < 4096)
            SendMessageW(child, LB_GETTEXT, static_cast<WPARAM>(row),
                         reinterpret_cast<LPARAM>(text));
        const bool selected = SendMessageW(child, LB_GETSEL, static_cast<WPARAM>(row), 0) > 0;
        write("row\t" + std::to_string(GetDlgCtrlID(child)) + "\t" + std::to_string(row) + "\t" +
              (selected ? "selected" : "-") + "\t" + winmenu::narrow(text));
    }
    return TRUE;
}

} // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc < 2)
        return 2;
    HWND window = FindWindowW(argv[1], argc > 2 ? argv[2] : nullptr);
    // A window being destroyed can still be found for a moment, without its class.
    if (!window || classOf(window).empty())
        return 2;
    write("window\t" + winmenu::narrow(classOf(window)) + "\t" +
          (IsWindowVisible(window) ? "shown" : "hidden") + "\t" +
          (IsIconic(window) ? "minimised" : "normal") + "\t" +
          (IsWindowEnabled(window) ? "enabled" : "disabled") + "\t" +
          winmenu::narrow(textOf(window)));
    EnumChildWindows(window, printChild, 0);
    return 0;
}
