#pragma once

#include "core/window/windowlogic.h"

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
// and the Run, Copy, Help and About commands. The window logic decides what each command does
// and shows; this window shows it, and answers the logic's ports with the Windows API. It opens
// in read-only menu mode and never writes the catalogue.
class MenuWindow final : public qubrix::UserPort,
                         public qubrix::DialogPort,
                         public qubrix::SystemPort,
                         public qubrix::WindowView {
public:
    MenuWindow(HINSTANCE instance, DiscFolder disc);
    ~MenuWindow() override = default;
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

    // browsing.cpp: what the logic shows.
    void categoriesChanged() override;
    void rowsChanged() override;
    void rowChanged(std::size_t row) override;
    void selectionChanged() override;
    void commandsChanged() override;
    void entryChanged() override;
    void focusOn(qubrix::Focus where) override;
    void hideNote() override;
    void programStarted() override;
    void programEnded() override;
    void fillListings();
    void lstDescClick();

    // notepopup.cpp
    void ShowNote(int row);
    void showNoteOfCurrentRow();
    static LRESULT CALLBACK notePadProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

    // The user (userports.cpp; the sound in runinstall.cpp, the folder picker in copy.cpp), and
    // the editing dialogs the menu never opens (userports.cpp).
    Answer askQuietly(const std::string& text, const std::string& caption, Icon icon,
                      Buttons buttons) override;
    void beep() override;
    void playSound() override;
    std::optional<std::string> pickFile(const std::string& folder,
                                        const std::vector<FileFilter>& filters) override;
    std::optional<std::string> pickFolder(const std::string& title) override;
    std::optional<std::string> askCategoryName(CategoryPurpose purpose,
                                               const std::string& name) override;
    NameAnswer askNewName(NameSubject subject, const std::string& pickedPath,
                          const std::string& name) override;
    void showNotesDialog() override;

    // The system: the data files, the medium and its attributes (catalogueload.cpp), starting
    // (runinstall.cpp), copying (copy.cpp), help and leaving (menuwindow.cpp).
    qubrix::PairRead readPair(const qubrix::DataFilePair& files) override;
    qubrix::WriteOutcome writePair(const qubrix::DataFilePair& files,
                                   std::string_view catalogueBytes, std::string_view notesBytes,
                                   const qubrix::PairStamp* expected) override;
    std::string mountPointOf(const std::string& path) override;
    std::string canonicalFolderOf(const std::string& path) override;
    std::string volumeLabel(const std::string& mountPoint) override;
    std::optional<bool> isReadOnly(const std::string& path) override;
    bool setReadOnly(const std::string& path) override;
    bool clearReadOnly(const std::string& path) override;
    bool renameWithoutReplacing(const std::string& from, const std::string& to) override;
    std::string storedPathRoot(const std::string& storedPath) override;
    qubrix::LaunchPlan planLaunch(const std::string& storedPath) override;
    bool openDocument(const qubrix::LaunchPlan& plan) override;
    bool runAndWait(const qubrix::LaunchPlan& plan,
                    const std::function<void()>& onStarted) override;
    void copy(const qubrix::CopyPlan& plan) override;
    bool openHelp() override;
    void endProgram(int status) override;
    void waitFor(HANDLE process);

    // about.cpp
    void About1Click();

    HINSTANCE m_instance;
    DiscFolder m_disc;
    qubrix::WindowLogic m_logic;
    int m_exitStatus = 1;
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
