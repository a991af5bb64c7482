#pragma once

#include <windows.h>

#include <string>
#include <string_view>

namespace winmenu {

// The catalogue's text is UTF-8 once converted from its file's encoding; the Windows API
// takes UTF-16.
std::wstring widen(std::string_view utf8);
std::string narrow(std::wstring_view utf16);

// The text of a window (a control's caption) as UTF-16.
std::wstring windowText(HWND window);

enum class Buttons { Ok, YesNo };
enum class Icon { None, Information, Warning, Error };

// A message box without owner window, as the menu's own boxes are.
int ask(std::wstring_view text, std::wstring_view caption, Icon icon, Buttons buttons);

} // namespace winmenu
