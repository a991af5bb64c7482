#include "windows/menuwindow.h"
#include "windows/wintext.h"

#include "core/actions/launch.h"
#include "core/actions/medium.h"
#include "core/text/ascii.h"

#include <mmsystem.h>
#include <shellapi.h>

namespace winmenu {

namespace {

// A batch file is no program of its own: the command interpreter runs it.
bool isBatchFile(const std::string& programPath) {
    return qubrix::upperAscii(programPath).ends_with(".BAT");
}

std::wstring commandInterpreter() {
    wchar_t system[MAX_PATH] = {};
    GetSystemDirectoryW(system, MAX_PATH);
    return std::wstring(system) + L"\\cmd.exe";
}

} // namespace

// The program's own sound 1000, played without waiting for it.
void MenuWindow::playSound1000() {
    PlaySoundW(MAKEINTRESOURCEW(1000), m_instance, SND_RESOURCE | SND_ASYNC);
}

// Behind "Run...", the Install/Run tool button and "R&un": the sound plays on every
// invocation, even when a program started earlier still runs or nothing is selected.
void MenuWindow::cmdInstallClick() {
    playSound1000();
    if (m_programRunning)
        return;
    const int row = static_cast<int>(SendMessageW(lstDesc, LB_GETCARETINDEX, 0, 0));
    if (SendMessageW(lstDesc, LB_GETCOUNT, 0, 0) <= 0 || row < 0 ||
        static_cast<std::size_t>(row) >= m_model.lstPath.size())
        return;
    const std::string storedPath = storedPathOfRow(row);
    std::string line = qubrix::driveCommandLine(m_disc.driveRoot, storedPath);
    std::string file(qubrix::trimmedText(storedPath));
    qubrix::classifyCommandLine(file, true, "");
    if (!qubrix::resolveOnMedium("", file)) {
        beepAndAsk(widen("This path leads outside the medium and is not used:\n" + line), L"Error",
                   Icon::Error, Buttons::Ok);
        return;
    }
    const qubrix::LaunchKind kind = qubrix::classifyCommandLine(line, false, m_disc.driveRoot);
    if (beepAndAsk(widen(line), L"Confirm installation", Icon::Warning, Buttons::YesNo) != IDYES)
        return;
    const std::wstring wideLine = widen(line);
    if (kind == qubrix::LaunchKind::Document) {
        SHELLEXECUTEINFOW open{};
        open.cbSize = sizeof open;
        open.hwnd = m_window;
        open.lpVerb = L"open";
        open.lpFile = wideLine.c_str();
        open.nShow = SW_SHOWDEFAULT;
        // Whether the shell finds a program for the document is its own business.
        ShellExecuteExW(&open);
        return;
    }
    bool started = false;
    if (kind == qubrix::LaunchKind::Program) {
        started = isBatchFile(line)
                      ? runAndWait(commandInterpreter(), L"cmd.exe /c \"" + wideLine + L"\"")
                      : runAndWait(wideLine, {});
    } else {
        std::string program = line;
        qubrix::classifyCommandLine(program, true, m_disc.driveRoot);
        started = isBatchFile(program) ? runAndWait(commandInterpreter(), L"cmd.exe /c " + wideLine)
                                       : runAndWait({}, wideLine);
    }
    if (!started)
        beepAndAsk(L"Error loading file!", L"Error", Icon::Error, Buttons::Ok);
}

// Starts the program in the menu's own folder, the disc's top, and waits for its end with the
// window minimised; every command but Run stays usable meanwhile.
bool MenuWindow::runAndWait(const std::wstring& application, const std::wstring& commandLine) {
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    std::wstring line = commandLine;
    if (!CreateProcessW(application.empty() ? nullptr : application.c_str(),
                        line.empty() ? nullptr : line.data(), nullptr, nullptr, TRUE,
                        NORMAL_PRIORITY_CLASS, nullptr, nullptr, &startup, &process))
        return false;
    ShowWindow(m_window, SW_MINIMIZE);
    m_programRunning = true;
    waitFor(process.hProcess);
    m_programRunning = false;
    CloseHandle(process.hProcess);
    CloseHandle(process.hThread);
    ShowWindow(m_window, SW_RESTORE);
    SetForegroundWindow(m_window);
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
