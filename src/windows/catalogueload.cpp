#include "windows/menuwindow.h"
#include "windows/wintext.h"

#include "core/catalogue/datafiles.h"

namespace winmenu {

namespace {

// A drive's top ends in its backslash already.
std::wstring inFolder(const std::wstring& folder, const wchar_t* name) {
    return folder.ends_with(L'\\') ? folder + name : folder + L'\\' + name;
}

bool holdsCatalogue(const std::wstring& folder) {
    return GetFileAttributesW(inFolder(folder, L"qubrix.dat").c_str()) != INVALID_FILE_ATTRIBUTES;
}

std::wstring withoutTrailingBackslash(std::wstring folder) {
    if (folder.size() > 3 && folder.back() == L'\\')
        folder.pop_back();
    return folder;
}

std::wstring parentOf(const std::wstring& path) {
    const std::size_t last = path.find_last_of(L"\\/");
    if (last == std::wstring::npos)
        return {};
    return path.substr(0, last == 2 ? 3 : last);
}

std::wstring nameOf(const std::wstring& path) {
    const std::size_t last = path.find_last_of(L"\\/");
    return last == std::wstring::npos ? path : path.substr(last + 1);
}

std::wstring currentDirectory() {
    std::wstring folder(GetCurrentDirectoryW(0, nullptr), L'\0');
    folder.resize(GetCurrentDirectoryW(static_cast<DWORD>(folder.size()), folder.data()));
    return withoutTrailingBackslash(folder);
}

std::wstring programFolder() {
    std::wstring path(MAX_PATH, L'\0');
    for (;;) {
        const DWORD length =
            GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
        if (length < path.size()) {
            path.resize(length);
            break;
        }
        path.resize(path.size() * 2);
    }
    return parentOf(path);
}

// "D:" for D:\MENU, "\\server\share" for a folder of a network share.
std::wstring volumeRootOf(const std::wstring& folder) {
    std::wstring root(MAX_PATH, L'\0');
    if (!GetVolumePathNameW(folder.c_str(), root.data(), static_cast<DWORD>(root.size())))
        return folder.substr(0, 2) + L"\\";
    root.resize(wcslen(root.c_str()));
    if (root.empty() || root.back() != L'\\')
        root += L'\\';
    return root;
}

} // namespace

DiscFolder findDiscFolder() {
    std::wstring folder = currentDirectory();
    if (!holdsCatalogue(folder)) {
        // Started from the bundle folder, say by a double click on the disc's .qubrix\qubrix.exe.
        const std::wstring bundle = programFolder();
        const std::wstring above = parentOf(bundle);
        if (_wcsicmp(nameOf(bundle).c_str(), L".qubrix") == 0 && !above.empty() &&
            holdsCatalogue(withoutTrailingBackslash(above))) {
            folder = withoutTrailingBackslash(above);
            SetCurrentDirectoryW(above.c_str());
        }
    }
    DiscFolder disc;
    disc.folder = folder;
    disc.volumeRoot = volumeRootOf(folder);
    // A stored path is read from the disc's drive, as on the finished disc.
    disc.driveRoot = narrow(disc.volumeRoot.substr(0, disc.volumeRoot.size() - 1));
    return disc;
}

qubrix::PairRead MenuWindow::readPair(const qubrix::DataFilePair& files) {
    return qubrix::readDataFiles(files);
}

// The menu shows a finished disc and never writes its catalogue: a save that reaches this
// program is refused, whatever it would write.
qubrix::WriteOutcome MenuWindow::writePair(const qubrix::DataFilePair& files, std::string_view,
                                           std::string_view, const qubrix::PairStamp*) {
    qubrix::WriteOutcome refused;
    refused.ok = false;
    refused.failedPath = files.catalogue;
    refused.error = "The menu only reads the catalogue";
    return refused;
}

// The drive's root, "D:\", which the disc's folder lies on.
std::string MenuWindow::mountPointOf(const std::string&) {
    return narrow(m_disc.volumeRoot);
}

// The folder of the file at path as the system spells it in full; empty when it cannot be
// found.
std::string MenuWindow::canonicalFolderOf(const std::string& path) {
    const std::wstring wide = widen(path);
    const auto separator = wide.find_last_of(L"\\/");
    const std::wstring folder = separator == std::wstring::npos ? L"." : wide.substr(0, separator);
    wchar_t full[MAX_PATH] = {};
    const DWORD length = GetFullPathNameW(folder.c_str(), MAX_PATH, full, nullptr);
    if (length == 0 || length >= MAX_PATH || GetFileAttributesW(full) == INVALID_FILE_ATTRIBUTES)
        return {};
    return narrow(full);
}

std::string MenuWindow::volumeLabel(const std::string& mountPoint) {
    std::wstring root = widen(mountPoint);
    if (!root.ends_with(L'\\'))
        root += L'\\';
    wchar_t label[MAX_PATH + 1] = {};
    if (!GetVolumeInformationW(root.c_str(), label, MAX_PATH + 1, nullptr, nullptr, nullptr,
                               nullptr, 0))
        return {};
    return narrow(label);
}

// Whatever the file's attribute, the menu counts the catalogue as write-protected, so that
// the logic opens it read-only with every editing command hidden.
std::optional<bool> MenuWindow::isReadOnly(const std::string&) {
    return true;
}

// The menu changes no attribute and renames nothing: it offers no command that would.
bool MenuWindow::setReadOnly(const std::string&) {
    return false;
}

bool MenuWindow::clearReadOnly(const std::string&) {
    return false;
}

bool MenuWindow::renameWithoutReplacing(const std::string&, const std::string&) {
    return false;
}

// A stored path is read from the disc's drive, as on the finished disc.
std::string MenuWindow::storedPathRoot(const std::string&) {
    return m_disc.driveRoot;
}

} // namespace winmenu
