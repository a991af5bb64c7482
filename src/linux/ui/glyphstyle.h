#pragma once

#include <QProxyStyle>

// The desktop's style, except that the pictures Qt's own controls ask of it while the windows
// are built (the menu bar's button for menus that do not fit) are painted by the program, so
// start-up reads no icon theme and no image file.
class GlyphStyle : public QProxyStyle {
public:
    // Builds on the style of that name, e.g. the one the application chose at its start.
    explicit GlyphStyle(const QString& baseStyleName) : QProxyStyle(baseStyleName) {}
    QIcon standardIcon(StandardPixmap picture, const QStyleOption* option = nullptr,
                       const QWidget* widget = nullptr) const override;
};
