#include "app/pictures.h"

#include <QLinearGradient>
#include <QPainter>
#include <QRadialGradient>

QPixmap stripPicture(QSize size, bool withDisc) {
    QPixmap pixmap(size);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    QLinearGradient background(0, 0, 0, size.height());
    background.setColorAt(0, QColor(16, 40, 104));
    background.setColorAt(1, QColor(40, 88, 168));
    painter.fillRect(pixmap.rect(), background);
    if (withDisc) {
        const QPointF centre(size.width() / 2.0, 80);
        QRadialGradient shine(centre, 38);
        shine.setColorAt(0, QColor(236, 240, 248));
        shine.setColorAt(0.7, QColor(176, 196, 228));
        shine.setColorAt(1, QColor(120, 148, 200));
        painter.setPen(QPen(QColor(230, 236, 250), 1.5));
        painter.setBrush(shine);
        painter.drawEllipse(centre, 38, 38);
        painter.setBrush(QColor(16, 40, 104));
        painter.drawEllipse(centre, 8, 8);
    }
    return pixmap;
}
