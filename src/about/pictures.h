#pragma once

#include <QPixmap>

// The About box's product logo (150 x 72): the product name, the version 3.1 and a copyright
// line drawn into it.
QPixmap logoPicture();
// A red curved arrow (61 x 80) on a transparent ground; the About box's Image2 and the main
// window's Image3.
QPixmap arrowPicture();
// The check mark on the About box's OK button.
QPixmap okGlyph();
