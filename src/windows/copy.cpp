#include "windows/menuwindow.h"
#include "windows/wintext.h"

#include "core/actions/copyplan.h"

#include <shellapi.h>
#include <shlobj.h>
#include <shobjidl.h>

namespace winmenu {

// The folder picker of the file dialog, which also takes a typed path.
std::optional<std::string> MenuWindow::pickFolder(const std::string& title) {
    IFileOpenDialog* dialog = nullptr;
    if (FAILED(CoCreateInstance(CLSID_FileOpenDialog, nullptr, CLSCTX_INPROC_SERVER,
                                IID_PPV_ARGS(&dialog))))
        return std::nullopt;
    std::optional<std::string> folder;
    FILEOPENDIALOGOPTIONS options = 0;
    dialog->GetOptions(&options);
    dialog->SetOptions(options | FOS_PICKFOLDERS | FOS_FORCEFILESYSTEM | FOS_PATHMUSTEXIST);
    dialog->SetTitle(widen(title).c_str());
    IShellItem* item = nullptr;
    if (SUCCEEDED(dialog->Show(m_window)) && SUCCEEDED(dialog->GetResult(&item))) {
        wchar_t* path = nullptr;
        if (SUCCEEDED(item->GetDisplayName(SIGDN_FILESYSPATH, &path))) {
            folder = narrow(path);
            CoTaskMemFree(path);
        }
        item->Release();
    }
    dialog->Release();
    return folder;
}

// The shell shows the progress, offers Cancel and asks before it replaces a file.
void MenuWindow::copy(const qubrix::CopyPlan& plan) {
    const qubrix::ShellCopy copy = qubrix::shellCopyOf(plan);
    // A destination inside what is copied would copy itself without end.
    if (!copy.error.empty()) {
        tell(copy.error, "Error");
        return;
    }
    const std::wstring destination = widen(copy.destination);
    std::wstring sources;
    for (const std::string& source : copy.sources) {
        sources += widen(source);
        sources += L'\0';
    }
    sources += L'\0';
    // A missing destination is made first: the shell would take a single file's destination
    // for the name of the copy.
    if (GetFileAttributesW(destination.c_str()) == INVALID_FILE_ATTRIBUTES)
        SHCreateDirectoryExW(m_window, destination.c_str(), nullptr);
    std::wstring target = destination;
    target += L'\0';
    target += L'\0';
    SHFILEOPSTRUCTW operation{};
    operation.hwnd = m_window;
    operation.wFunc = FO_COPY;
    operation.pFrom = sources.c_str();
    operation.pTo = target.c_str();
    operation.fFlags = 0;
    // The shell reports what went wrong itself.
    SHFileOperationW(&operation);
    // The keyboard comes back to the menu, whichever of the shell's windows had it last.
    SetForegroundWindow(m_window);
}

} // namespace winmenu
