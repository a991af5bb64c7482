#include "windows/menuwindow.h"
#include "windows/wintext.h"

#include "core/actions/copyplan.h"

#include <shellapi.h>
#include <shlobj.h>
#include <shobjidl.h>

namespace winmenu {

namespace {

// The folder picker of the file dialog, which also takes a typed path; empty when cancelled.
std::wstring pickFolder(HWND owner) {
    IFileOpenDialog* dialog = nullptr;
    if (FAILED(CoCreateInstance(CLSID_FileOpenDialog, nullptr, CLSCTX_INPROC_SERVER,
                                IID_PPV_ARGS(&dialog))))
        return {};
    std::wstring folder;
    FILEOPENDIALOGOPTIONS options = 0;
    dialog->GetOptions(&options);
    dialog->SetOptions(options | FOS_PICKFOLDERS | FOS_FORCEFILESYSTEM | FOS_PATHMUSTEXIST);
    dialog->SetTitle(L"Qubrix");
    IShellItem* item = nullptr;
    if (SUCCEEDED(dialog->Show(owner)) && SUCCEEDED(dialog->GetResult(&item))) {
        wchar_t* path = nullptr;
        if (SUCCEEDED(item->GetDisplayName(SIGDN_FILESYSPATH, &path))) {
            folder = path;
            CoTaskMemFree(path);
        }
        item->Release();
    }
    dialog->Release();
    return folder;
}

// A listing in the root of the disc copies the whole disc: only after a Yes, asked without
// beep or icon.
bool wholeDiscAgreed(const std::string& storedPath) {
    return !qubrix::namesWholeMedium(storedPath) ||
           ask(L"This will copy the entire CD, continue?", L"Warning", Icon::None,
               Buttons::YesNo) == IDYES;
}

} // namespace

// Copy (file) copies each selected listing's file, Copy Folder the folder that holds the one
// selected listing, into a folder the user picks; the shell shows the progress, offers Cancel
// and asks before it replaces a file.
void MenuWindow::copySelection(bool folderMode) {
    const std::vector<int> rows = selectedRows();
    if (rows.empty() || (folderMode && rows.size() != 1))
        return;
    const std::wstring picked = pickFolder(m_window);
    if (picked.empty())
        return;
    if (folderMode)
        MessageBeep(0);
    std::vector<std::string> storedPaths;
    for (const int row : rows) {
        if (folderMode && !wholeDiscAgreed(storedPathOfRow(row))) {
            beepAndAsk(L"Copy cancelled!", L"Copy Folder", Icon::Warning, Buttons::Ok);
            return;
        }
        storedPaths.push_back(storedPathOfRow(row));
    }
    const qubrix::CopyPlan plan = qubrix::planCopy(
        m_disc.driveRoot, storedPaths,
        folderMode ? qubrix::CopyMode::Folder : qubrix::CopyMode::File, narrow(picked));
    const qubrix::ShellCopy copy = qubrix::shellCopyOf(plan);
    if (!copy.error.empty()) {
        beepAndAsk(widen(copy.error), L"Error", Icon::Error, Buttons::Ok);
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
