#pragma once

#include "linux/app/maincontrols.h"
#include "linux/ui/toolglyphs.h"

#include <QString>

class QMainWindow;

// Builds the main window's controls at their fixed places, and its menus and pop-up menus.
class MainLayout final : public MainControls {
public:
    // discFolder, the folder of the disc ("" for "/"), starts the quick editor's row.
    MainLayout(QMainWindow& window, const QString& discFolder);

private:
    void buildTopBand(QWidget* client);
    void showDiscFolder(const QString& discFolder);
    void buildPictureStrip(QWidget* client);
    void buildListBand(QWidget* client);
    void buildNotePopup(QWidget* client);
    void buildEditingBand(QWidget* client);
    void buildLogo(QWidget* client);
    void buildMenus();
    void addShortcuts();
    void chainTabOrder();
    QToolButton* toolButton(QWidget* bar, const char* name, const QString& hint, ToolGlyph icon);
    QToolButton* captionedButton(QWidget* bar, const char* name, const QString& caption,
                                 const QString& hint, ToolGlyph icon);

    QMainWindow& m_window;
};
