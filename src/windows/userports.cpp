#include "windows/menuwindow.h"
#include "windows/wintext.h"

#include <commdlg.h>

namespace winmenu {

namespace {

UINT boxStyle(qubrix::UserPort::Icon icon, qubrix::UserPort::Buttons buttons) {
    using Icon = qubrix::UserPort::Icon;
    using Buttons = qubrix::UserPort::Buttons;
    UINT style = MB_OK;
    switch (buttons) {
    case Buttons::Ok:
        break;
    case Buttons::YesNo:
        style = MB_YESNO;
        break;
    // A message box has no Yes to All: the menu never asks the one question that offers it
    // (adding files is an editing command), and Yes, No and Cancel come closest.
    case Buttons::YesNoAllCancel:
    case Buttons::YesNoCancel:
        style = MB_YESNOCANCEL;
        break;
    }
    switch (icon) {
    case Icon::Information:
        return style | MB_ICONINFORMATION;
    case Icon::Warning:
        return style | MB_ICONWARNING;
    case Icon::Error:
        return style | MB_ICONERROR;
    case Icon::None:
        break;
    }
    return style;
}

// The filters as the open-file dialog takes them: caption and patterns, each ended by a zero,
// and a zero after the last.
std::wstring filterText(const std::vector<qubrix::UserPort::FileFilter>& filters) {
    std::wstring text;
    for (const qubrix::UserPort::FileFilter& filter : filters) {
        text += widen(filter.caption);
        text += L'\0';
        std::wstring patterns;
        for (const std::string& pattern : filter.patterns)
            patterns += (patterns.empty() ? L"" : L";") + widen(pattern);
        text += patterns;
        text += L'\0';
    }
    text += L'\0';
    return text;
}

} // namespace

// No owner, as the menu's own boxes always were; they still come to the front.
qubrix::UserPort::Answer MenuWindow::askQuietly(const std::string& text, const std::string& caption,
                                                Icon icon, Buttons buttons) {
    const int pressed = MessageBoxW(nullptr, widen(text).c_str(), widen(caption).c_str(),
                                    boxStyle(icon, buttons) | MB_SETFOREGROUND | MB_TASKMODAL);
    switch (pressed) {
    case IDYES:
        return Answer::Yes;
    case IDNO:
        return Answer::No;
    case IDCANCEL:
        return buttons == Buttons::Ok ? Answer::Ok : Answer::Cancel;
    default:
        // A Yes/No box closed otherwise answers neither.
        return buttons == Buttons::Ok ? Answer::Ok : Answer::Dismissed;
    }
}

void MenuWindow::beep() {
    MessageBeep(0);
}

std::optional<std::string> MenuWindow::pickFile(const std::string& folder,
                                                const std::vector<FileFilter>& filters) {
    const std::wstring start = widen(folder);
    const std::wstring filter = filterText(filters);
    std::wstring chosen(32768, L'\0');
    OPENFILENAMEW open{};
    open.lStructSize = sizeof open;
    open.hwndOwner = m_window;
    open.lpstrFilter = filters.empty() ? nullptr : filter.c_str();
    open.nFilterIndex = 1;
    open.lpstrFile = chosen.data();
    open.nMaxFile = static_cast<DWORD>(chosen.size());
    open.lpstrInitialDir = start.empty() ? nullptr : start.c_str();
    open.Flags = OFN_EXPLORER | OFN_FILEMUSTEXIST | OFN_PATHMUSTEXIST | OFN_NOCHANGEDIR;
    if (!GetOpenFileNameW(&open))
        return std::nullopt;
    chosen.resize(wcslen(chosen.c_str()));
    return narrow(chosen);
}

// The menu never edits the catalogue: no command of it names a category, renames a file or
// edits a note, so these dialogs are never asked for, and each answers as if cancelled.
std::optional<std::string> MenuWindow::askCategoryName(CategoryPurpose, const std::string&) {
    return std::nullopt;
}

qubrix::DialogPort::NameAnswer MenuWindow::askNewName(NameSubject, const std::string&,
                                                      const std::string& name) {
    return {name, false};
}

void MenuWindow::showNotesDialog() {}

} // namespace winmenu
