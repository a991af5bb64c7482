#pragma once

#include "core/catalogue/catalogue.h"

#include <windows.h>

#include <string>
#include <vector>

namespace winmenu {

// Control ids; a menu item that does what a control does has an id of its own, and both lead
// to the same handler.
enum ControlId : int {
    idToolInstall = 101,
    idToolCopy,
    idToolCopyFolder,
    idCmdSort,
    idMOK,
    idMOC,
    idLblCWD,
    idMenuEdit,
    idCmdInstall,
    idCmdCopy,
    idCatBox,
    idLstDesc,
    idNotePad,
    idMnuInstall = 201,
    idFile1,
    idFolder1,
    idMnuExit,
    idContents1,
    idAbout1,
};

// The client area: 552 wide, cut to the menu height (the editing band of the author's window
// lies below it and does not exist here).
constexpr int kClientWidth = 552;
constexpr int kMenuHeight = 282;

// Where the disc lies and what the caption and commands need of it.
struct DiscFolder {
    std::wstring folder;     // the disc's top as the program works in it, without trailing "\"
    std::string driveRoot;   // "D:", what stored paths are read from
    std::wstring volumeRoot; // "D:\", whose label the caption shows
};

// The end user's menu: the categories and listings of the disc's catalogue, the note pop-up,
// and the Run, Copy, Help and About commands. It opens in read-only menu mode and never
// writes the catalogue.
class MenuWindow final {
public:
    MenuWindow(HINSTANCE instance, DiscFolder disc);
    MenuWindow(const MenuWindow&) = delete;
    MenuWindow& operator=(const MenuWindow&) = delete;

    // Makes the window and its controls, loads the catalogue and shows the first category.
    bool create(int showCommand);
    // Handles the keys and presses the list's own handling would take away from the menu (the
    // note keys, the press position); true when the message is used up.
    bool preTranslate(const MSG& message);
    HWND handle() const { return m_window; }

private:
    static LRESULT CALLBACK windowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT handleMessage(UINT message, WPARAM wParam, LPARAM lParam);
    void command(int id, int notification);

    // layout.cpp
    void buildControls();
    void buildMenu();
    HWND addControl(const wchar_t* windowClass, const wchar_t* text, DWORD style, int id, int left,
                    int top, int width, int height, DWORD exStyle = 0);
    void addHint(HWND control, const wchar_t* hint);
    void paintClient(HDC dc);
    void drawButton(const DRAWITEMSTRUCT& item);

    // catalogueload.cpp
    bool loadCatalogue();
    void writeCaption();

    // browsing.cpp
    void CatBoxChange();
    void lstDescClick();
    void showCategoryRows(int k);
    std::vector<int> selectedRows() const;
    std::string storedPathOfRow(int row) const;
    void cmdSortClick();

    // notepopup.cpp
    void ShowNote(int row);
    void hideNotePopup();
    void showNoteOfCurrentRow();
    static LRESULT CALLBACK notePadProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

    // runinstall.cpp
    void playSound1000();
    void cmdInstallClick();
    bool runAndWait(const std::wstring& application, const std::wstring& commandLine);
    void waitFor(HANDLE process);

    // copy.cpp
    void copySelection(bool folderMode);

    // about.cpp
    void About1Click();
    void Contents1Click();

    void mnuExitClick();

    HINSTANCE m_instance;
    DiscFolder m_disc;
    qubrix::Catalogue m_model;
    bool m_programRunning = false;
    int m_lastClickY = 0;
    HWND m_window = nullptr;
    HWND m_tooltip = nullptr;
    HWND m_lastFocus = nullptr;
    HFONT m_font = nullptr;
    HFONT m_bigButtonFont = nullptr;
    HWND ToolInstall = nullptr, ToolCopy = nullptr, ToolCopyFolder = nullptr, cmdSort = nullptr;
    HWND MOK = nullptr, MOC = nullptr, lblCWD = nullptr, MenuEdit = nullptr;
    HWND cmdInstall = nullptr, cmdCopy = nullptr;
    HWND CatBox = nullptr, lstDesc = nullptr;
    HWND NotePad = nullptr;
    HMENU m_menu = nullptr;
};

// The disc's folder: the current directory when it holds the catalogue; else, for a program
// started from its bundle folder (.qubrix) on the disc, the folder above it when that holds the
// catalogue; else the current directory.
DiscFolder findDiscFolder();

} // namespace winmenu
