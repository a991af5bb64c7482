#include "windows/menuwindow.h"
#include "windows/pictures.h"
#include "windows/wintext.h"

#include <commctrl.h>

namespace winmenu {

namespace {

constexpr DWORD childStyle = WS_CHILD | WS_VISIBLE;
// The strip's large buttons sit on its blue ground.
constexpr RECT stripArea{0, 57, 100, 282};

struct GlyphButton {
    int id;
    Glyph glyph;
};
constexpr GlyphButton glyphButtons[] = {
    {idToolInstall, Glyph::Run}, {idToolCopy, Glyph::Copy}, {idToolCopyFolder, Glyph::CopyFolder},
    {idCmdSort, Glyph::Sort},    {idMOK, Glyph::Ok},        {idMOC, Glyph::Cancel},
};

} // namespace

HWND MenuWindow::addControl(const wchar_t* windowClass, const wchar_t* text, DWORD style, int id,
                            int left, int top, int width, int height, DWORD exStyle) {
    HWND control = CreateWindowExW(
        exStyle, windowClass, text, childStyle | style, left, top, width, height, m_window,
        reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), m_instance, nullptr);
    SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(m_font), FALSE);
    return control;
}

void MenuWindow::addHint(HWND control, const wchar_t* hint) {
    TOOLINFOW tool{};
    tool.cbSize = sizeof tool;
    tool.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
    tool.hwnd = m_window;
    tool.uId = reinterpret_cast<UINT_PTR>(control);
    tool.lpszText = const_cast<wchar_t*>(hint);
    SendMessageW(m_tooltip, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
}

// The controls of the upper part of the window, at the places of the author's window: the tool
// bar, the drive and the quick editor, the picture strip with Run... and Copy, the two lists.
// The tool buttons' window texts are their hints, so that each has a name.
void MenuWindow::buildControls() {
    m_tooltip = CreateWindowExW(0, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_ALWAYSTIP,
                                CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT,
                                m_window, nullptr, m_instance, nullptr);
    const auto toolButton = [this](const wchar_t* hint, int id, int left, int top) {
        HWND button = addControl(L"BUTTON", hint, BS_OWNERDRAW | WS_TABSTOP | WS_DISABLED, id, left,
                                 top, 25, 21);
        addHint(button, hint);
        return button;
    };
    // ToolBar1 starts at 3, 3 inside the cool bar; dividers leave 8 pixels.
    ToolInstall = toolButton(L"Install/Run", idToolInstall, 6, 6);
    ToolCopy = toolButton(L"Copy", idToolCopy, 31, 6);
    ToolCopyFolder = toolButton(L"Copy Folder", idToolCopyFolder, 56, 6);
    cmdSort = toolButton(L"Sort", idCmdSort, 89, 6);
    EnableWindow(cmdSort, TRUE);
    MOK = toolButton(L"OK", idMOK, 3, 28);
    MOC = toolButton(L"Cancel", idMOC, 28, 28);

    lblCWD = addControl(L"STATIC", L"", SS_RIGHT | SS_CENTERIMAGE | SS_NOPREFIX, idLblCWD, 56, 30,
                        17, 18);
    MenuEdit = addControl(L"EDIT", L"", ES_AUTOHSCROLL | ES_READONLY | WS_TABSTOP | WS_DISABLED,
                          idMenuEdit, 75, 30, 474, 21, WS_EX_CLIENTEDGE);
    addHint(MenuEdit, L"Quick Editor");

    cmdInstall =
        addControl(L"BUTTON", L"Run...", BS_OWNERDRAW | WS_TABSTOP, idCmdInstall, 10, 217, 80, 25);
    cmdCopy = addControl(L"BUTTON", L"Copy", BS_OWNERDRAW | WS_TABSTOP, idCmdCopy, 10, 244, 80, 25);
    for (HWND button : {cmdInstall, cmdCopy}) {
        SendMessageW(button, WM_SETFONT, reinterpret_cast<WPARAM>(m_bigButtonFont), FALSE);
        ShowWindow(button, SW_HIDE);
    }
    addHint(cmdInstall, L"Install/Run");
    addHint(cmdCopy, L"Copy");

    constexpr DWORD listStyle =
        LBS_NOTIFY | LBS_NOINTEGRALHEIGHT | WS_VSCROLL | WS_TABSTOP | LBS_HASSTRINGS;
    CatBox = addControl(L"LISTBOX", L"Categories", listStyle, idCatBox, 102, 57, 86, 225,
                        WS_EX_CLIENTEDGE);
    addHint(CatBox, L"Categories");
    lstDesc = addControl(L"LISTBOX", L"Listings", listStyle | LBS_EXTENDEDSEL | WS_HSCROLL,
                         idLstDesc, 189, 57, 361, 225, WS_EX_CLIENTEDGE);
    for (HWND list : {CatBox, lstDesc})
        SendMessageW(list, LB_SETITEMHEIGHT, 0, 13);

    // The note pop-up: its window draws its own dark frame (the outline of the author's window)
    // around the note, on the tool tips' ground.
    NotePad = CreateWindowExW(0, L"QubrixNote", L"", WS_CHILD | WS_CLIPSIBLINGS, 300, 130, 187, 56,
                              m_window, reinterpret_cast<HMENU>(static_cast<INT_PTR>(idNotePad)),
                              m_instance, nullptr);
    SendMessageW(NotePad, WM_SETFONT, reinterpret_cast<WPARAM>(m_font), FALSE);
}

// The menu of read-only menu mode: every editing command is hidden there, and so is
// "&Read Only", as on a medium that cannot be written.
void MenuWindow::buildMenu() {
    HMENU copyMenu = CreatePopupMenu();
    AppendMenuW(copyMenu, MF_STRING | MF_GRAYED, idFile1, L"&File");
    AppendMenuW(copyMenu, MF_STRING | MF_GRAYED, idFolder1, L"F&older");
    HMENU files = CreatePopupMenu();
    AppendMenuW(files, MF_STRING | MF_GRAYED, idMnuInstall, L"R&un");
    AppendMenuW(files, MF_POPUP | MF_GRAYED, reinterpret_cast<UINT_PTR>(copyMenu), L"&Copy");
    AppendMenuW(files, MF_SEPARATOR, 0, nullptr);
    AppendMenuW(files, MF_STRING, idMnuExit, L"E&xit");
    HMENU help = CreatePopupMenu();
    AppendMenuW(help, MF_STRING, idContents1, L"&Contents");
    AppendMenuW(help, MF_SEPARATOR, 0, nullptr);
    AppendMenuW(help, MF_STRING, idAbout1, L"&About");
    m_menu = CreateMenu();
    AppendMenuW(m_menu, MF_POPUP, reinterpret_cast<UINT_PTR>(files), L"&Files");
    AppendMenuW(m_menu, MF_POPUP, reinterpret_cast<UINT_PTR>(help), L"&Help");
}

void MenuWindow::paintClient(HDC dc) {
    // The cool bar's lines at its top and bottom.
    RECT band{0, 0, kClientWidth, 55};
    DrawEdge(dc, &band, EDGE_ETCHED, BF_TOP | BF_BOTTOM);
    // Dividers of the tool bar between the copy buttons and Sort.
    RECT divider{84, 6, 86, 27};
    DrawEdge(dc, &divider, EDGE_ETCHED, BF_LEFT);
    paintStrip(dc, stripArea, true);
}

void MenuWindow::drawButton(const DRAWITEMSTRUCT& item) {
    HDC dc = item.hDC;
    RECT area = item.rcItem;
    const bool enabled = !(item.itemState & ODS_DISABLED);
    const bool pressed = item.itemState & ODS_SELECTED;
    const bool focused = item.itemState & ODS_FOCUS;
    if (item.CtlID == idCmdInstall || item.CtlID == idCmdCopy) {
        // Flat white text on the strip's blue, with a white frame.
        RECT ground = area;
        MapWindowPoints(item.hwndItem, m_window, reinterpret_cast<POINT*>(&ground), 2);
        HRGN clip = CreateRectRgnIndirect(&area);
        SelectClipRgn(dc, clip);
        SetViewportOrgEx(dc, -ground.left, -ground.top, nullptr);
        paintStrip(dc, stripArea, true);
        SetViewportOrgEx(dc, 0, 0, nullptr);
        SelectClipRgn(dc, nullptr);
        DeleteObject(clip);
        HBRUSH white = CreateSolidBrush(RGB(255, 255, 255));
        FrameRect(dc, &area, white);
        DeleteObject(white);
        SetBkMode(dc, TRANSPARENT);
        SetTextColor(dc, RGB(255, 255, 255));
        HGDIOBJ oldFont = SelectObject(dc, m_bigButtonFont);
        const std::wstring text = windowText(item.hwndItem);
        RECT textArea = area;
        if (pressed)
            OffsetRect(&textArea, 1, 1);
        DrawTextW(dc, text.c_str(), -1, &textArea, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
        SelectObject(dc, oldFont);
        if (focused) {
            InflateRect(&area, -3, -3);
            SetTextColor(dc, RGB(255, 255, 255));
            DrawFocusRect(dc, &area);
        }
        return;
    }
    FillRect(dc, &area, GetSysColorBrush(COLOR_BTNFACE));
    if (pressed)
        DrawEdge(dc, &area, BDR_SUNKENOUTER, BF_RECT);
    else if (focused)
        DrawEdge(dc, &area, BDR_RAISEDINNER, BF_RECT);
    for (const GlyphButton& button : glyphButtons)
        if (button.id == static_cast<int>(item.CtlID)) {
            RECT glyphArea = area;
            if (pressed)
                OffsetRect(&glyphArea, 1, 1);
            paintGlyph(dc, glyphArea, button.glyph, enabled);
        }
    if (focused) {
        InflateRect(&area, -3, -3);
        DrawFocusRect(dc, &area);
    }
}

} // namespace winmenu
