#include "linux/ui/pictures.h"

#include "core/window/product.h"

#include <QFont>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>

namespace {

QPixmap transparentPixmap(int width, int height) {
    QPixmap pixmap(width, height);
    pixmap.fill(Qt::transparent);
    return pixmap;
}

// The deep blue ground of the logo and the picture strip, from top to bottom.
QLinearGradient blueGround(qreal height) {
    QLinearGradient ground(0, 0, 0, height);
    ground.setColorAt(0, QColor(16, 40, 104));
    ground.setColorAt(1, QColor(40, 88, 168));
    return ground;
}

QFont sized(QFont font, qreal pointSize, bool bold) {
    font.setPointSizeF(pointSize);
    font.setBold(bold);
    return font;
}

} // namespace

void paintDisc(QPainter& painter, QPointF centre, qreal radius, qreal holeRadius,
               const QColor& holeColour) {
    QRadialGradient shine(centre, radius);
    shine.setColorAt(0, QColor(236, 240, 248));
    shine.setColorAt(0.7, QColor(176, 196, 228));
    shine.setColorAt(1, QColor(120, 148, 200));
    painter.setBrush(shine);
    painter.drawEllipse(centre, radius, radius);
    painter.setBrush(holeColour);
    painter.drawEllipse(centre, holeRadius, holeRadius);
}

QPixmap logoPicture() {
    QPixmap pixmap = transparentPixmap(150, 72);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(Qt::NoPen);
    painter.setBrush(blueGround(72));
    painter.drawRoundedRect(QRectF(0.5, 0.5, 149, 71), 6, 6);
    paintDisc(painter, QPointF(30, 36), 22, 5, QColor(16, 40, 104));

    painter.setPen(Qt::white);
    painter.setFont(sized(painter.font(), 15, true));
    painter.drawText(QRectF(58, 6, 90, 28), Qt::AlignLeft | Qt::AlignVCenter, productName);
    painter.setFont(sized(painter.font(), 8, false));
    painter.drawText(QRectF(58, 32, 90, 16), Qt::AlignLeft | Qt::AlignVCenter,
                     QStringLiteral("Version %1").arg(productVersion));
    painter.setFont(sized(painter.font(), 6, false));
    painter.drawText(QRectF(58, 50, 90, 14), Qt::AlignLeft | Qt::AlignVCenter,
                     QStringLiteral("© Qubrix Software"));
    return pixmap;
}

QPixmap stripPicture(QSize size, bool withDisc) {
    QPixmap pixmap(size);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.fillRect(pixmap.rect(), blueGround(size.height()));
    if (withDisc) {
        painter.setPen(QPen(QColor(230, 236, 250), 1.5));
        paintDisc(painter, QPointF(size.width() / 2.0, 80), 38, 8, QColor(16, 40, 104));
    }
    return pixmap;
}

void paintIcon(QPainter& painter, qreal side) {
    const qreal unit = side / 48;
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(Qt::NoPen);
    painter.setBrush(blueGround(side));
    painter.drawRoundedRect(QRectF(2 * unit, 2 * unit, 44 * unit, 44 * unit), 8 * unit, 8 * unit);
    painter.setPen(QPen(QColor(230, 236, 250), 1.5 * unit));
    paintDisc(painter, QPointF(side / 2, side / 2), 17 * unit, 4 * unit, QColor(16, 40, 104));
}

QPixmap arrowPicture() {
    QPixmap pixmap = transparentPixmap(61, 80);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    QPainterPath shaft(QPointF(10, 74));
    shaft.cubicTo(QPointF(4, 40), QPointF(18, 20), QPointF(40, 18));
    painter.setBrush(Qt::NoBrush);
    painter.setPen(QPen(QColor(120, 0, 0), 11, Qt::SolidLine, Qt::RoundCap));
    painter.drawPath(shaft);
    painter.setPen(QPen(QColor(220, 24, 24), 7, Qt::SolidLine, Qt::RoundCap));
    painter.drawPath(shaft);

    QPainterPath head(QPointF(58, 18));
    head.lineTo(QPointF(36, 4));
    head.lineTo(QPointF(36, 32));
    head.closeSubpath();
    painter.setPen(QPen(QColor(120, 0, 0), 1.5));
    painter.setBrush(QColor(220, 24, 24));
    painter.drawPath(head);
    return pixmap;
}
