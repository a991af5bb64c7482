#pragma once

namespace qubrix {

// Where the note pop-up goes: NotePad at left 301, 13 pixels a displayed line plus 2, below the
// press when it fits above y 200, else with its lower edge at the press + 37; Outline one pixel
// larger on every side behind it.
struct NotePopupGeometry {
    int left = 0;
    int top = 0;
    int height = 0;
    int outlineLeft = 0;
    int outlineTop = 0;
    int outlineHeight = 0;
};

inline NotePopupGeometry notePopupGeometry(int displayedLines, int pressY) {
    NotePopupGeometry g;
    g.left = 301;
    g.height = 13 * displayedLines + 2;
    g.top = g.height + pressY < 200 ? pressY + 78 : pressY + 37 - g.height;
    g.outlineLeft = 300;
    g.outlineTop = g.top - 1;
    g.outlineHeight = g.height + 2;
    return g;
}

} // namespace qubrix
