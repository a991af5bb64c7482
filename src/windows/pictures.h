#pragma once

#include <windows.h>

namespace winmenu {

// The pictures are drawn with GDI as the window paints itself, from the same shapes and colours
// as the Linux program's painted pictures: nothing to ship or load, and they follow the window
// at any size.

// The deep blue ground of the picture strip, from top to bottom of area; the upper part of the
// strip carries a disc.
void paintStrip(HDC dc, const RECT& area, bool withDisc);
// The About box's product logo (150 x 72) with its top left corner at left, top.
void paintLogo(HDC dc, int left, int top, HFONT nameFont, HFONT smallFont);
// A red curved arrow, drawn into a box of width x height (61 x 80 at full size).
void paintArrow(HDC dc, int left, int top, int width, int height);

// The small pictures of the tool buttons.
enum class Glyph { Run, Copy, CopyFolder, Sort, Ok, Cancel };
void paintGlyph(HDC dc, const RECT& area, Glyph glyph, bool enabled);

} // namespace winmenu
