#pragma once

#include <QWidget>

// Windows are laid out at fixed client positions: a control is made, named and placed at once.
template <typename Widget>
Widget* place(QWidget* parent, const char* name, int left, int top, int width, int height) {
    auto* widget = new Widget(parent);
    widget->setObjectName(name);
    widget->setGeometry(left, top, width, height);
    return widget;
}
