#include "windows/pictures.h"

#include <algorithm>
#include <cmath>

namespace winmenu {

namespace {

COLORREF mix(COLORREF from, COLORREF to, double t) {
    const auto channel = [t](int a, int b) {
        return static_cast<BYTE>(std::lround(a + (b - a) * std::clamp(t, 0.0, 1.0)));
    };
    return RGB(channel(GetRValue(from), GetRValue(to)), channel(GetGValue(from), GetGValue(to)),
               channel(GetBValue(from), GetBValue(to)));
}

const COLORREF groundTop = RGB(16, 40, 104);
const COLORREF groundBottom = RGB(40, 88, 168);

void fillVerticalGradient(HDC dc, const RECT& area, COLORREF top, COLORREF bottom) {
    const int height = std::max(1L, area.bottom - area.top);
    for (int y = area.top; y < area.bottom; ++y) {
        HBRUSH brush = CreateSolidBrush(mix(top, bottom, double(y - area.top) / height));
        const RECT line{area.left, y, area.right, y + 1};
        FillRect(dc, &line, brush);
        DeleteObject(brush);
    }
}

// A shining face in rings from the rim inwards, then the hole.
void paintDisc(HDC dc, int cx, int cy, int radius, int hole, COLORREF holeColour, COLORREF rim) {
    HGDIOBJ oldPen = SelectObject(dc, GetStockObject(NULL_PEN));
    for (int r = radius; r > hole; --r) {
        const double t = 1.0 - double(r) / radius;
        const COLORREF colour = t < 0.3
                                    ? mix(RGB(120, 148, 200), RGB(176, 196, 228), t / 0.3)
                                    : mix(RGB(176, 196, 228), RGB(236, 240, 248), (t - 0.3) / 0.7);
        HBRUSH brush = CreateSolidBrush(colour);
        HGDIOBJ oldBrush = SelectObject(dc, brush);
        Ellipse(dc, cx - r, cy - r, cx + r + 1, cy + r + 1);
        SelectObject(dc, oldBrush);
        DeleteObject(brush);
    }
    HPEN rimPen = CreatePen(PS_SOLID, 1, rim);
    SelectObject(dc, rimPen);
    HBRUSH holeBrush = CreateSolidBrush(holeColour);
    HGDIOBJ oldBrush = SelectObject(dc, holeBrush);
    Ellipse(dc, cx - hole, cy - hole, cx + hole + 1, cy + hole + 1);
    SelectObject(dc, GetStockObject(NULL_BRUSH));
    Ellipse(dc, cx - radius, cy - radius, cx + radius + 1, cy + radius + 1);
    SelectObject(dc, oldBrush);
    SelectObject(dc, oldPen);
    DeleteObject(holeBrush);
    DeleteObject(rimPen);
}

HPEN roundPen(COLORREF colour, int width) {
    LOGBRUSH brush{BS_SOLID, colour, 0};
    return ExtCreatePen(PS_GEOMETRIC | PS_SOLID | PS_ENDCAP_ROUND | PS_JOIN_ROUND,
                        static_cast<DWORD>(std::max(1, width)), &brush, 0, nullptr);
}

void drawText(HDC dc, const wchar_t* text, RECT area, COLORREF colour, HFONT font, UINT format) {
    HGDIOBJ oldFont = SelectObject(dc, font);
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, colour);
    DrawTextW(dc, text, -1, &area, format | DT_NOPREFIX);
    SelectObject(dc, oldFont);
}

} // namespace

void paintStrip(HDC dc, const RECT& area, bool withDisc) {
    fillVerticalGradient(dc, area, groundTop, groundBottom);
    if (withDisc)
        paintDisc(dc, (area.left + area.right) / 2, area.top + 80, 38, 8, groundTop,
                  RGB(230, 236, 250));
}

void paintLogo(HDC dc, int left, int top, HFONT nameFont, HFONT smallFont) {
    HRGN rounded = CreateRoundRectRgn(left, top, left + 151, top + 73, 12, 12);
    SelectClipRgn(dc, rounded);
    fillVerticalGradient(dc, RECT{left, top, left + 150, top + 72}, groundTop, groundBottom);
    SelectClipRgn(dc, nullptr);
    DeleteObject(rounded);
    paintDisc(dc, left + 30, top + 36, 22, 5, groundTop, RGB(230, 236, 250));
    drawText(dc, L"Qubrix", RECT{left + 58, top + 6, left + 148, top + 34}, RGB(255, 255, 255),
             nameFont, DT_LEFT | DT_VCENTER | DT_SINGLELINE);
    drawText(dc, L"Version 3.1", RECT{left + 58, top + 32, left + 148, top + 48},
             RGB(255, 255, 255), smallFont, DT_LEFT | DT_VCENTER | DT_SINGLELINE);
    drawText(dc, L"\u00a9 Qubrix Software", RECT{left + 58, top + 50, left + 148, top + 64},
             RGB(255, 255, 255), smallFont, DT_LEFT | DT_VCENTER | DT_SINGLELINE);
}

void paintArrow(HDC dc, int left, int top, int width, int height) {
    const auto at = [&](double x, double y) {
        return POINT{left + static_cast<LONG>(std::lround(x * width / 61.0)),
                     top + static_cast<LONG>(std::lround(y * height / 80.0))};
    };
    const double scale = std::min(width / 61.0, height / 80.0);
    const POINT shaft[] = {at(10, 74), at(4, 40), at(18, 20), at(40, 18)};
    HGDIOBJ oldBrush = SelectObject(dc, GetStockObject(NULL_BRUSH));
    for (const auto& [colour, thickness] :
         {std::pair{RGB(120, 0, 0), 11.0}, std::pair{RGB(220, 24, 24), 7.0}}) {
        HPEN pen = roundPen(colour, static_cast<int>(std::lround(thickness * scale)));
        HGDIOBJ oldPen = SelectObject(dc, pen);
        PolyBezier(dc, shaft, 4);
        SelectObject(dc, oldPen);
        DeleteObject(pen);
    }
    const POINT head[] = {at(58, 18), at(36, 4), at(36, 32)};
    HPEN edge = CreatePen(PS_SOLID, 1, RGB(120, 0, 0));
    HBRUSH fill = CreateSolidBrush(RGB(220, 24, 24));
    HGDIOBJ oldPen = SelectObject(dc, edge);
    SelectObject(dc, fill);
    Polygon(dc, head, 3);
    SelectObject(dc, oldPen);
    SelectObject(dc, oldBrush);
    DeleteObject(edge);
    DeleteObject(fill);
}

void paintGlyph(HDC dc, const RECT& area, Glyph glyph, bool enabled) {
    const int cx = (area.left + area.right) / 2;
    const int cy = (area.top + area.bottom) / 2;
    const COLORREF ink = enabled ? RGB(0, 0, 0) : GetSysColor(COLOR_GRAYTEXT);
    const auto pick = [enabled](COLORREF colour) {
        return enabled ? colour : GetSysColor(COLOR_BTNSHADOW);
    };
    HPEN pen = CreatePen(PS_SOLID, 1, ink);
    HGDIOBJ oldPen = SelectObject(dc, pen);
    HBRUSH brush = nullptr;
    const auto fillWith = [&](COLORREF colour) {
        if (brush)
            DeleteObject(brush);
        brush = CreateSolidBrush(colour);
        SelectObject(dc, brush);
    };
    switch (glyph) {
    case Glyph::Run: {
        fillWith(pick(RGB(0, 160, 0)));
        const POINT triangle[] = {{cx - 4, cy - 6}, {cx + 5, cy}, {cx - 4, cy + 6}};
        Polygon(dc, triangle, 3);
        break;
    }
    case Glyph::Copy:
        fillWith(RGB(255, 255, 255));
        Rectangle(dc, cx - 6, cy - 6, cx + 3, cy + 4);
        Rectangle(dc, cx - 2, cy - 3, cx + 7, cy + 7);
        break;
    case Glyph::CopyFolder: {
        fillWith(pick(RGB(240, 200, 64)));
        const POINT folder[] = {{cx - 7, cy - 5}, {cx - 2, cy - 5}, {cx, cy - 3},
                                {cx + 7, cy - 3}, {cx + 7, cy + 6}, {cx - 7, cy + 6}};
        Polygon(dc, folder, 6);
        break;
    }
    case Glyph::Sort: {
        SetBkMode(dc, TRANSPARENT);
        SetTextColor(dc, ink);
        RECT text = area;
        DrawTextW(dc, L"A\u2193Z", -1, &text, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
        break;
    }
    case Glyph::Ok: {
        HPEN tick = CreatePen(PS_SOLID, 2, pick(RGB(0, 128, 0)));
        SelectObject(dc, tick);
        const POINT mark[] = {{cx - 5, cy}, {cx - 1, cy + 4}, {cx + 6, cy - 4}};
        Polyline(dc, mark, 3);
        SelectObject(dc, pen);
        DeleteObject(tick);
        break;
    }
    case Glyph::Cancel: {
        HPEN cross = CreatePen(PS_SOLID, 2, pick(RGB(192, 0, 0)));
        SelectObject(dc, cross);
        MoveToEx(dc, cx - 4, cy - 4, nullptr);
        LineTo(dc, cx + 5, cy + 5);
        MoveToEx(dc, cx + 4, cy - 4, nullptr);
        LineTo(dc, cx - 5, cy + 5);
        SelectObject(dc, pen);
        DeleteObject(cross);
        break;
    }
    }
    SelectObject(dc, oldPen);
    SelectObject(dc, GetStockObject(NULL_BRUSH));
    DeleteObject(pen);
    if (brush)
        DeleteObject(brush);
}

} // namespace winmenu
