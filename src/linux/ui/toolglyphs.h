#pragma once

#include <QIcon>

// The small pictures on the tool and dialog buttons, painted by the program itself: no icon
// theme and no image file is read for them.
enum class ToolGlyph {
    Run,        // a green play triangle
    File,       // a sheet of paper
    Folder,     // a yellow folder
    Sort,       // lines of falling length beside a down arrow
    NewFolder,  // a folder with a green plus
    Save,       // a floppy disk
    Remove,     // a waste bin
    HideEditor, // a triangle rolling up into a bar
    ShowEditor, // a triangle rolling down from a bar
    Accept,     // a green check mark
    Cancel,     // a red cross
    Clear,      // an eraser over a wiped line
    Close,      // a white cross in a red box
    Help,       // a white question mark on a blue disc
    MoreMenus,  // a double chevron: the menu bar's button for menus that do not fit
};

// The glyph as a 16 x 16 icon on a transparent ground, painted at the screen's pixel ratio.
// Its disabled look comes from the style, as for any icon made from a pixmap.
QIcon toolIcon(ToolGlyph glyph);
