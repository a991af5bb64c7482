#include "linux/ui/toolglyphs.h"

#include <QGuiApplication>
#include <QPainter>
#include <QPainterPath>
#include <QPixmap>
#include <QtMath>

namespace {

constexpr int glyphSize = 16;

const QColor outline(72, 72, 80);
const QColor green(32, 150, 48);
const QColor darkGreen(0, 100, 0);
const QColor red(206, 36, 36);
const QColor darkRed(128, 0, 0);
const QColor blue(48, 100, 196);
const QColor darkBlue(20, 52, 120);
const QColor folderYellow(244, 204, 92);
const QColor folderBrown(160, 116, 24);

QPen roundPen(const QColor& colour, qreal width) {
    return QPen(colour, width, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
}

void fillPolygon(QPainter& painter, const QPolygonF& polygon, const QColor& fill,
                 const QColor& edge) {
    painter.setPen(QPen(edge, 1));
    painter.setBrush(fill);
    painter.drawPolygon(polygon);
}

void paintRun(QPainter& painter) {
    fillPolygon(painter, QPolygonF({{4.5, 2.5}, {13.5, 8}, {4.5, 13.5}}), green, darkGreen);
}

void paintFile(QPainter& painter) {
    fillPolygon(painter,
                QPolygonF({{3.5, 1.5}, {9.5, 1.5}, {12.5, 4.5}, {12.5, 14.5}, {3.5, 14.5}}),
                Qt::white, outline);
    painter.drawPolyline(QPolygonF({{9.5, 1.5}, {9.5, 4.5}, {12.5, 4.5}}));
    painter.setPen(QPen(QColor(140, 160, 200), 1));
    for (qreal y : {7.5, 9.5, 11.5})
        painter.drawLine(QPointF(5.5, y), QPointF(10.5, y));
}

void paintFolder(QPainter& painter) {
    fillPolygon(painter, QPolygonF({{1.5, 5}, {1.5, 3}, {6, 3}, {7.5, 4.5}, {7.5, 5}}),
                folderYellow.darker(115), folderBrown);
    fillPolygon(painter, QPolygonF({{1.5, 5}, {14.5, 5}, {14.5, 13.5}, {1.5, 13.5}}), folderYellow,
                folderBrown);
}

void paintSort(QPainter& painter) {
    painter.setPen(QPen(outline, 2));
    for (int line = 0; line < 3; ++line)
        painter.drawLine(QPointF(1.5, 3 + 4 * line), QPointF(8 - 2 * line, 3 + 4 * line));
    painter.setPen(QPen(blue, 2));
    painter.drawLine(QPointF(12, 2), QPointF(12, 10));
    fillPolygon(painter, QPolygonF({{9, 9.5}, {15, 9.5}, {12, 14.5}}), blue, darkBlue);
}

void paintNewFolder(QPainter& painter) {
    paintFolder(painter);
    painter.setPen(roundPen(Qt::white, 4));
    painter.drawLine(QPointF(11.5, 1.5), QPointF(11.5, 7.5));
    painter.drawLine(QPointF(8.5, 4.5), QPointF(14.5, 4.5));
    painter.setPen(roundPen(green, 2));
    painter.drawLine(QPointF(11.5, 1.5), QPointF(11.5, 7.5));
    painter.drawLine(QPointF(8.5, 4.5), QPointF(14.5, 4.5));
}

void paintSave(QPainter& painter) {
    painter.setPen(QPen(darkBlue, 1));
    painter.setBrush(blue);
    painter.drawRoundedRect(QRectF(1.5, 1.5, 13, 13), 1.5, 1.5);
    painter.setBrush(QColor(214, 218, 226));
    painter.drawRect(QRectF(4.5, 1.5, 7, 4.5));
    painter.setBrush(QColor(40, 48, 64));
    painter.drawRect(QRectF(9, 2.5, 1.5, 2.5));
    painter.setBrush(Qt::white);
    painter.drawRect(QRectF(3.5, 8.5, 9, 6));
}

void paintRemove(QPainter& painter) {
    const QColor metal(176, 182, 194);
    fillPolygon(painter, QPolygonF({{3.5, 5}, {12.5, 5}, {11.5, 14.5}, {4.5, 14.5}}), metal,
                outline);
    for (qreal x : {6.5, 8.0, 9.5})
        painter.drawLine(QPointF(x, 7), QPointF(x, 12.5));
    painter.setBrush(metal);
    painter.drawRect(QRectF(2, 3, 12, 2));
    painter.drawRect(QRectF(6, 1.5, 4, 1.5));
}

// A bar across the top with a triangle under it, pointing up into the bar or down away from it.
void paintEditorToggle(QPainter& painter, bool up) {
    painter.setPen(QPen(darkBlue, 1));
    painter.setBrush(blue);
    painter.drawRect(QRectF(1.5, 1.5, 13, 3));
    const qreal tip = up ? 6.5 : 14.5;
    const qreal base = up ? 14 : 7;
    fillPolygon(painter, QPolygonF({{3, base}, {13, base}, {8, tip}}), blue, darkBlue);
}

void paintHideEditor(QPainter& painter) {
    paintEditorToggle(painter, true);
}

void paintShowEditor(QPainter& painter) {
    paintEditorToggle(painter, false);
}

void paintAccept(QPainter& painter) {
    painter.setPen(roundPen(QColor(0, 128, 0), 2.5));
    painter.drawPolyline(QPolygonF({{3, 8.5}, {6.5, 12}, {13, 4}}));
}

void paintCross(QPainter& painter, const QRectF& box) {
    painter.drawLine(box.topLeft(), box.bottomRight());
    painter.drawLine(box.topRight(), box.bottomLeft());
}

void paintCancel(QPainter& painter) {
    painter.setPen(roundPen(red, 2.5));
    paintCross(painter, QRectF(4, 4, 8, 8));
}

void paintClear(QPainter& painter) {
    painter.setPen(roundPen(QColor(150, 150, 150), 1));
    painter.drawLine(QPointF(1.5, 14.5), QPointF(14.5, 14.5));
    painter.translate(8, 7.5);
    painter.rotate(-45);
    painter.setPen(QPen(outline, 1));
    painter.setBrush(QColor(236, 120, 140));
    painter.drawRect(QRectF(-6.5, -3, 5, 6));
    painter.setBrush(QColor(220, 228, 244));
    painter.drawRect(QRectF(-1.5, -3, 8, 6));
}

void paintClose(QPainter& painter) {
    painter.setPen(QPen(darkRed, 1));
    painter.setBrush(red);
    painter.drawRoundedRect(QRectF(1.5, 1.5, 13, 13), 2, 2);
    painter.setPen(roundPen(Qt::white, 2));
    paintCross(painter, QRectF(5, 5, 6, 6));
}

void paintHelp(QPainter& painter) {
    painter.setPen(QPen(darkBlue, 1));
    painter.setBrush(blue);
    painter.drawEllipse(QRectF(1.5, 1.5, 13, 13));
    QPainterPath hook(QPointF(5.8, 6.2));
    hook.cubicTo(QPointF(5.8, 3.4), QPointF(10.4, 3.4), QPointF(10.2, 6.2));
    hook.cubicTo(QPointF(10.1, 7.8), QPointF(8, 8), QPointF(8, 9.8));
    painter.setPen(roundPen(Qt::white, 1.8));
    painter.setBrush(Qt::NoBrush);
    painter.drawPath(hook);
    painter.setPen(Qt::NoPen);
    painter.setBrush(Qt::white);
    painter.drawEllipse(QPointF(8, 12.2), 1.1, 1.1);
}

void paintMoreMenus(QPainter& painter) {
    painter.setPen(roundPen(outline, 1.8));
    for (qreal left : {3.5, 8.5})
        painter.drawPolyline(QPolygonF({{left, 4}, {left + 4, 8}, {left, 12}}));
}

void paintGlyph(QPainter& painter, ToolGlyph glyph) {
    switch (glyph) {
    case ToolGlyph::Run:
        return paintRun(painter);
    case ToolGlyph::File:
        return paintFile(painter);
    case ToolGlyph::Folder:
        return paintFolder(painter);
    case ToolGlyph::Sort:
        return paintSort(painter);
    case ToolGlyph::NewFolder:
        return paintNewFolder(painter);
    case ToolGlyph::Save:
        return paintSave(painter);
    case ToolGlyph::Remove:
        return paintRemove(painter);
    case ToolGlyph::HideEditor:
        return paintHideEditor(painter);
    case ToolGlyph::ShowEditor:
        return paintShowEditor(painter);
    case ToolGlyph::Accept:
        return paintAccept(painter);
    case ToolGlyph::Cancel:
        return paintCancel(painter);
    case ToolGlyph::Clear:
        return paintClear(painter);
    case ToolGlyph::Close:
        return paintClose(painter);
    case ToolGlyph::Help:
        return paintHelp(painter);
    case ToolGlyph::MoreMenus:
        return paintMoreMenus(painter);
    }
}

} // namespace

QIcon toolIcon(ToolGlyph glyph) {
    const qreal ratio = qApp->devicePixelRatio();
    QPixmap pixmap(qCeil(glyphSize * ratio), qCeil(glyphSize * ratio));
    pixmap.setDevicePixelRatio(ratio);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    paintGlyph(painter, glyph);
    return QIcon(pixmap);
}
