#include "windows/menuwindow.h"
#include "windows/wintext.h"

#include <mmsystem.h>
#include <shellapi.h>

namespace winmenu {

namespace {

// The command interpreter and the installer are taken from the system folder, never from the
// disc's folder, which a program started from the disc would search first.
std::wstring systemProgramPath(std::string_view program) {
    wchar_t system[MAX_PATH] = {};
    GetSystemDirectoryW(system, MAX_PATH);
    return std::wstring(system) + L"\\" + widen(program);
}

bool isSystemProgram(const std::string& program) {
    return program == qubrix::commandInterpreter || program == qubrix::windowsInstaller;
}

} // namespace

// The program's own sound 1000, played without waiting for it.
void MenuWindow::playSound() {
    PlaySoundW(MAKEINTRESOURCEW(1000), m_instance, SND_RESOURCE | SND_ASYNC);
}

qubrix::LaunchPlan MenuWindow::planLaunch(const std::string& storedPath) {
    return qubrix::planDriveLaunch(m_disc.driveRoot, storedPath);
}

bool MenuWindow::openDocument(const qubrix::LaunchPlan& plan) {
    const std::wstring file = widen(plan.document);
    SHELLEXECUTEINFOW open{};
    open.cbSize = sizeof open;
    open.hwnd = m_window;
    open.lpVerb = L"open";
    open.lpFile = file.c_str();
    open.nShow = SW_SHOWDEFAULT;
    return ShellExecuteExW(&open) != FALSE;
}

// Starts the program in the menu's own folder, the disc's top, and waits for its end while
// the window keeps handling its messages.
bool MenuWindow::runAndWait(const qubrix::LaunchPlan& plan,
                            const std::function<void()>& onStarted) {
    const std::wstring application =
        isSystemProgram(plan.program) ? systemProgramPath(plan.program) : widen(plan.program);
    std::wstring line = widen(plan.commandLine);
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    if (!CreateProcessW(application.empty() ? nullptr : application.c_str(),
                        line.empty() ? nullptr : line.data(), nullptr, nullptr, TRUE,
                        NORMAL_PRIORITY_CLASS, nullptr, nullptr, &startup, &process))
        return false;
    onStarted();
    waitFor(process.hProcess);
    CloseHandle(process.hProcess);
    CloseHandle(process.hThread);
    return true;
}

// Sleeps until the process ends or a message arrives, and handles the messages as the main
// loop does: no time is burnt polling.
void MenuWindow::waitFor(HANDLE process) {
    for (;;) {
        const DWORD woken = MsgWaitForMultipleObjects(1, &process, FALSE, INFINITE, QS_ALLINPUT);
        if (woken != WAIT_OBJECT_0 + 1)
            return;
        MSG message;
        while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
            if (message.message == WM_QUIT) {
                PostQuitMessage(static_cast<int>(message.wParam));
                return;
            }
            if (preTranslate(message) || IsDialogMessageW(m_window, &message))
                continue;
            TranslateMessage(&message);
            DispatchMessageW(&message);
        }
    }
}

} // namespace winmenu
