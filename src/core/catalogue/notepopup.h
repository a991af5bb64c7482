#pragma once

#include <algorithm>

namespace qubrix {

// Where the note pop-up goes: NotePad at left 301, 13 pixels a displayed line plus 2, below the
// press when it fits above y 200, else with its lower edge at the press + 37; Outline one pixel
// larger on every side behind it. The whole pop-up stays inside the client area: it shows at
// most maxNoteLines lines and is moved down or up into view.
struct NotePopupGeometry {
    int left = 0;
    int top = 0;
    int height = 0;
    int outlineLeft = 0;
    int outlineTop = 0;
    int outlineHeight = 0;
};

constexpr int kNoteLineHeight = 13;

// The lines that fit into a client area of that height, the frame included.
constexpr int maxNoteLines(int clientHeight) {
    return clientHeight > 4 + kNoteLineHeight ? (clientHeight - 4) / kNoteLineHeight : 1;
}

inline NotePopupGeometry notePopupGeometry(int displayedLines, int pressY, int clientHeight) {
    NotePopupGeometry g;
    g.left = 301;
    g.height = kNoteLineHeight * std::clamp(displayedLines, 1, maxNoteLines(clientHeight)) + 2;
    g.top = g.height + pressY < 200 ? pressY + 78 : pressY + 37 - g.height;
    g.top = std::max(1, std::min(g.top, clientHeight - 1 - g.height));
    g.outlineLeft = 300;
    g.outlineTop = g.top - 1;
    g.outlineHeight = g.height + 2;
    return g;
}

} // namespace qubrix
