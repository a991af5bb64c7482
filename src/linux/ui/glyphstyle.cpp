#include "linux/ui/glyphstyle.h"

#include "linux/ui/toolglyphs.h"

QIcon GlyphStyle::standardIcon(StandardPixmap picture, const QStyleOption* option,
                               const QWidget* widget) const {
    if (picture == SP_ToolBarHorizontalExtensionButton)
        return toolIcon(ToolGlyph::MoreMenus);
    return QProxyStyle::standardIcon(picture, option, widget);
}
