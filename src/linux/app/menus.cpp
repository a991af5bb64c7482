#include "linux/app/mainlayout.h"

#include <QAction>
#include <QKeySequence>
#include <QListWidget>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>

// The menu bar and the two pop-up menus, with every command named as the window names it.

namespace {

QAction* item(QMenu* menu, const char* name, const QString& caption) {
    auto* action = menu->addAction(caption);
    action->setObjectName(name);
    return action;
}

QAction* separator(QMenu* menu, const char* name) {
    auto* action = menu->addSeparator();
    action->setObjectName(name);
    return action;
}

QMenu* submenu(QWidget* owner, QMenu* parentMenu, const char* name, const QString& caption) {
    auto* menu = new QMenu(caption, owner);
    menu->setObjectName(name);
    menu->menuAction()->setObjectName(QString(name) + "Item");
    parentMenu->addMenu(menu);
    return menu;
}

QAction* checkItem(QMenu* menu, const char* name, const QString& caption, bool checked) {
    auto* action = item(menu, name, caption);
    action->setCheckable(true);
    action->setChecked(checked);
    return action;
}

} // namespace

void MainLayout::buildMenus() {
    m_window.menuBar()->setObjectName("MainMenu1");

    mnuFiles = m_window.menuBar()->addMenu("&Files");
    mnuFiles->setObjectName("mnuFiles");
    mnuInstall = item(mnuFiles, "mnuInstall", "R&un");
    mnuCopy = submenu(&m_window, mnuFiles, "mnuCopy", "&Copy");
    File1 = item(mnuCopy, "File1", "&File");
    Folder1 = item(mnuCopy, "Folder1", "F&older");
    N8 = separator(mnuFiles, "N8");
    mnuSave = item(mnuFiles, "mnuSave", "&Save");
    AddFiles1 = item(mnuFiles, "AddFiles1", "&Add Files");
    mnuEdit = submenu(&m_window, mnuFiles, "mnuEdit", "&Edit List");
    mnuMDelete = item(mnuEdit, "mnuMDelete", "&Remove");
    mnuMModify = item(mnuEdit, "mnuMModify", "&Modify");
    N3 = separator(mnuEdit, "N3");
    mnuMClear = item(mnuEdit, "mnuMClear", "&Clear");
    ReadOnly = checkItem(mnuFiles, "ReadOnly", "&Read Only", false);
    N7 = separator(mnuFiles, "N7");
    mnuNewCat = submenu(&m_window, mnuFiles, "mnuNewCat", "Ca&tegory");
    New1 = item(mnuNewCat, "New1", "&New");
    Rename2 = item(mnuNewCat, "Rename2", "&Rename");
    N6 = separator(mnuNewCat, "N6");
    Delete3 = item(mnuNewCat, "Delete3", "&Delete");
    mnuPrepareMedium = item(mnuFiles, "mnuPrepareMedium", "Prepare &Medium...");
    mnuMakeImage = item(mnuFiles, "mnuMakeImage", "Make Disc &Image...");
    N1 = separator(mnuFiles, "N1");
    N1->setVisible(false);
    mnuExit = item(mnuFiles, "mnuExit", "E&xit");
    for (QAction* action : {mnuMDelete, mnuMModify})
        action->setEnabled(false);

    Options = m_window.menuBar()->addMenu("&Options");
    Options->setObjectName("Options");
    AutoSave1 = checkItem(Options, "AutoSave1", "Auto Save", true);
    Filenamecheck1 = checkItem(Options, "Filenamecheck1", "ISO 9660", true);
    Includeparent1 = checkItem(Options, "Includeparent1", "Include Parent folder", false);

    Help1 = m_window.menuBar()->addMenu("&Help");
    Help1->setObjectName("Help1");
    Contents1 = item(Help1, "Contents1", "&Contents");
    N4 = separator(Help1, "N4");
    About1 = item(Help1, "About1", "&About");

    EditPopup = new QMenu(&m_window);
    EditPopup->setObjectName("EditPopup");
    mnuDelete = item(EditPopup, "mnuDelete", "&Remove");
    mnuModify = item(EditPopup, "mnuModify", "&Modify");
    N2 = separator(EditPopup, "N2");
    mnuClear = item(EditPopup, "mnuClear", "&Clear");
    for (QAction* action : {mnuDelete, mnuModify})
        action->setEnabled(false);

    CatPopup = new QMenu(&m_window);
    CatPopup->setObjectName("CatPopup");
    New2 = item(CatPopup, "New2", "&New");
    Rename1 = item(CatPopup, "Rename1", "&Rename");
    N5 = separator(CatPopup, "N5");
    Delete2 = item(CatPopup, "Delete2", "Re&move");

    addShortcuts();
}

void MainLayout::addShortcuts() {
    // The usual keys of the commands, none of them an access key of the window. Each works only
    // while its command is shown and enabled, so in the end user's menu Save and Remove stay
    // out of reach.
    mnuSave->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_S));
    mnuExit->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Q));
    Contents1->setShortcut(QKeySequence(Qt::Key_F1));
    // Delete removes a listing only in the listing list: in an edit it deletes a character.
    mnuDelete->setShortcut(QKeySequence(Qt::Key_Delete));
    mnuDelete->setShortcutContext(Qt::WidgetShortcut);
    lstDesc->addAction(mnuDelete);
}
