#include "linux/ui/glyphstyle.h"
#include "linux/ui/toolglyphs.h"

#include <QImage>
#include <QtTest>

class TestToolGlyphs : public QObject {
    Q_OBJECT

private slots:
    void everyGlyphIsItsOwnPicture();
    void menuBarOverflowIsPainted();
};

namespace {

const QList<ToolGlyph> allGlyphs = {ToolGlyph::Run,    ToolGlyph::File,       ToolGlyph::Folder,
                                    ToolGlyph::Sort,   ToolGlyph::NewFolder,  ToolGlyph::Save,
                                    ToolGlyph::Remove, ToolGlyph::HideEditor, ToolGlyph::ShowEditor,
                                    ToolGlyph::Accept, ToolGlyph::Cancel,     ToolGlyph::Clear,
                                    ToolGlyph::Close,  ToolGlyph::Help,       ToolGlyph::MoreMenus};

QImage picture(const QIcon& icon, QIcon::Mode mode = QIcon::Normal) {
    return icon.pixmap(QSize(16, 16), mode).toImage().convertToFormat(QImage::Format_ARGB32);
}

} // namespace

void TestToolGlyphs::everyGlyphIsItsOwnPicture() {
    QList<QImage> painted;
    for (ToolGlyph glyph : allGlyphs) {
        const QIcon icon = toolIcon(glyph);
        QVERIFY(!icon.isNull());
        const QImage image = picture(icon);
        QCOMPARE(image.size(), QSize(16, 16));
        int opaque = 0;
        int transparent = 0;
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x) {
                const int alpha = qAlpha(image.pixel(x, y));
                opaque += alpha == 255;
                transparent += alpha == 0;
            }
        QVERIFY2(opaque > 0 && transparent > 0, qPrintable(QString::number(int(glyph))));
        QVERIFY2(!painted.contains(image), qPrintable(QString::number(int(glyph))));
        // A disabled button shows the style's faded version, not the same picture.
        QVERIFY(picture(icon, QIcon::Disabled) != image);
        painted.append(image);
    }
}

void TestToolGlyphs::menuBarOverflowIsPainted() {
    GlyphStyle style("fusion");
    QCOMPARE(picture(style.standardIcon(QStyle::SP_ToolBarHorizontalExtensionButton)),
             picture(toolIcon(ToolGlyph::MoreMenus)));
}

QTEST_MAIN(TestToolGlyphs)
#include "tst_toolglyphs.moc"
