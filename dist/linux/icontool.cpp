// Build-time helper: draws the program's icon the way the windows paint their pictures, into a
// hicolor theme folder: scalable/apps/NAME.svg and SIDExSIDE/apps/NAME.png for each side asked.
#include "linux/ui/pictures.h"

#include <QDir>
#include <QImage>
#include <QPainter>
#include <QString>
#include <QSvgGenerator>

#include <cstdio>
#include <cstdlib>

namespace {

// The icon is drawn on a 48 unit grid; the SVG keeps that as its view box.
constexpr int kSvgSide = 48;

QString iconPath(const QString& theme, const QString& size, const QString& file) {
    const QString folder = theme + "/" + size + "/apps";
    QDir().mkpath(folder);
    return folder + "/" + file;
}

bool writeSvg(const QString& path) {
    QSvgGenerator svg;
    svg.setFileName(path);
    svg.setSize(QSize(kSvgSide, kSvgSide));
    svg.setViewBox(QRect(0, 0, kSvgSide, kSvgSide));
    svg.setTitle(QStringLiteral("Qubrix"));
    QPainter painter;
    if (!painter.begin(&svg))
        return false;
    paintIcon(painter, kSvgSide);
    return painter.end();
}

bool writePng(const QString& path, int side) {
    QImage image(side, side, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    paintIcon(painter, side);
    painter.end();
    return image.save(path, "PNG");
}

} // namespace

int main(int argc, char* argv[]) {
    if (argc < 3) {
        std::fputs("usage: qubrix_icontool THEME_FOLDER NAME [SIDE...]\n", stderr);
        return 2;
    }
    const QString theme = QString::fromLocal8Bit(argv[1]);
    const QString name = QString::fromLocal8Bit(argv[2]);
    const QString svg = iconPath(theme, "scalable", name + ".svg");
    if (!writeSvg(svg)) {
        std::fprintf(stderr, "cannot write %s\n", qPrintable(svg));
        return 1;
    }
    for (int i = 3; i < argc; ++i) {
        const int side = std::atoi(argv[i]);
        const QString size = QStringLiteral("%1x%1").arg(side);
        const QString png = iconPath(theme, size, name + ".png");
        if (side <= 0 || !writePng(png, side)) {
            std::fprintf(stderr, "cannot write %s\n", qPrintable(png));
            return 1;
        }
    }
    return 0;
}
