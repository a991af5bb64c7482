#pragma once

#include <QFont>
#include <QPalette>
#include <QWidget>

// The windows' silver face.
inline void useSilverFace(QWidget* window) {
    QPalette silver = window->palette();
    silver.setColor(QPalette::Window, QColor(192, 192, 192));
    window->setPalette(silver);
}

// The windows were laid out for an 8 point face: 13-pixel list rows and note lines.
inline void useEightPointFont(QWidget* window) {
    QFont font = window->font();
    font.setPointSize(8);
    window->setFont(font);
}
