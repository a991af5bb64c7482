#pragma once

#include <QColor>
#include <QPixmap>
#include <QPointF>
#include <QSize>

class QPainter;

// The pictures the windows paint for themselves.

// A stylised disc: a shining face with its hole in the middle, drawn with the painter's pen.
void paintDisc(QPainter& painter, QPointF centre, qreal radius, qreal holeRadius,
               const QColor& holeColour);

// The About box's product logo (150 x 72): a disc, the product name, the version 3.1 and a
// copyright line drawn into it.
QPixmap logoPicture();
// The picture strip on the left of the main window: a deep blue gradient, the upper part
// carrying a disc.
QPixmap stripPicture(QSize size, bool withDisc);
// The program's icon, filling a square of the given side: the disc on a rounded square of the
// deep blue ground.
void paintIcon(QPainter& painter, qreal side);
// A red curved arrow (61 x 80) on a transparent ground; the About box's Image2 and the main
// window's Image3.
QPixmap arrowPicture();
