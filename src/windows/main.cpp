#include "windows/menuwindow.h"

#include <commctrl.h>
#include <objbase.h>

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int showCommand) {
    INITCOMMONCONTROLSEX controls{sizeof controls, ICC_STANDARD_CLASSES | ICC_WIN95_CLASSES};
    InitCommonControlsEx(&controls);
    // The folder picker is a COM object that wants a single-threaded apartment.
    CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE);
    winmenu::MenuWindow window(instance, winmenu::findDiscFolder());
    if (!window.create(showCommand))
        return 1;
    MSG message;
    int status = 1;
    for (;;) {
        const BOOL got = GetMessageW(&message, nullptr, 0, 0);
        if (got <= 0) {
            status = got == 0 ? static_cast<int>(message.wParam) : 1;
            break;
        }
        if (window.preTranslate(message) || IsDialogMessageW(window.handle(), &message))
            continue;
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
    CoUninitialize();
    return status;
}
