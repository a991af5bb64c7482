#pragma once

#include <QPixmap>
#include <QSize>

// The picture strip on the left of the main window: a deep blue gradient, the upper part
// carrying a stylised disc.
QPixmap stripPicture(QSize size, bool withDisc);
