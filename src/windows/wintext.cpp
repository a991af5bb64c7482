#include "windows/wintext.h"

namespace winmenu {

std::wstring widen(std::string_view utf8) {
    if (utf8.empty())
        return {};
    const int size =
        MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), nullptr, 0);
    std::wstring wide(static_cast<std::size_t>(size), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), wide.data(), size);
    return wide;
}

std::string narrow(std::wstring_view utf16) {
    if (utf16.empty())
        return {};
    const int size = WideCharToMultiByte(CP_UTF8, 0, utf16.data(), static_cast<int>(utf16.size()),
                                         nullptr, 0, nullptr, nullptr);
    std::string text(static_cast<std::size_t>(size), '\0');
    WideCharToMultiByte(CP_UTF8, 0, utf16.data(), static_cast<int>(utf16.size()), text.data(), size,
                        nullptr, nullptr);
    return text;
}

std::wstring windowText(HWND window) {
    std::wstring text(static_cast<std::size_t>(GetWindowTextLengthW(window)) + 1, L'\0');
    text.resize(static_cast<std::size_t>(
        GetWindowTextW(window, text.data(), static_cast<int>(text.size()))));
    return text;
}

int ask(std::wstring_view text, std::wstring_view caption, Icon icon, Buttons buttons) {
    UINT style = buttons == Buttons::YesNo ? MB_YESNO : MB_OK;
    switch (icon) {
    case Icon::Information:
        style |= MB_ICONINFORMATION;
        break;
    case Icon::Warning:
        style |= MB_ICONWARNING;
        break;
    case Icon::Error:
        style |= MB_ICONERROR;
        break;
    case Icon::None:
        break;
    }
    // No owner, as the menu's own boxes always were; they still come to the front.
    return MessageBoxW(nullptr, std::wstring(text).c_str(), std::wstring(caption).c_str(),
                       style | MB_SETFOREGROUND | MB_TASKMODAL);
}

} // namespace winmenu
