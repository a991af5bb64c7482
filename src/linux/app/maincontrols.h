#pragma once

#include <vector>

class QAction;
class QCheckBox;
class QFrame;
class QLabel;
class QLineEdit;
class QListWidget;
class QMenu;
class QPushButton;
class QSplitter;
class QTextEdit;
class QToolButton;
class QWidget;

// The fixed sizes of the main window's client area: its width, and its height when the window
// is made, with the editing band shown, and cut to the menu.
struct ClientArea {
    static constexpr int width = 552;
    static constexpr int creationHeight = 433;
    static constexpr int editorHeight = 434;
    static constexpr int menuHeight = 282;
};

// The main window's controls, built by the layout code and named as the window names them (their
// object names too); each controller is handed the ones it works with.
struct MainControls {
    QFrame* CoolBar1 = nullptr;
    QFrame* ToolBar1 = nullptr;
    QToolButton* ToolInstall = nullptr;
    QToolButton* ToolCopy = nullptr;
    QToolButton* ToolCopyFolder = nullptr;
    QToolButton* cmdSort = nullptr;
    QToolButton* cmdCat = nullptr;
    QFrame* Splitter1 = nullptr;
    QToolButton* cmdSave = nullptr;
    QToolButton* cmdDelete = nullptr;
    QFrame* Splitter2 = nullptr;
    QToolButton* cmdMenu = nullptr;
    QToolButton* cmdAdd = nullptr;
    QToolButton* MOK = nullptr;
    QToolButton* MOC = nullptr;
    QLabel* lblCWD = nullptr;
    QLineEdit* MenuEdit = nullptr;

    QLabel* Image1 = nullptr;
    QLabel* Image2 = nullptr;
    QPushButton* cmdInstall = nullptr;
    QPushButton* cmdCopy = nullptr;
    QLabel* Label1 = nullptr;
    QLabel* Label2 = nullptr;
    QFrame* Bevel1 = nullptr;
    QFrame* Bevel2 = nullptr;

    QWidget* ToolBar2 = nullptr;
    QSplitter* Splitter3 = nullptr;
    QListWidget* CatBox = nullptr;
    QListWidget* lstDesc = nullptr;
    QTextEdit* Outline = nullptr;
    QTextEdit* NotePad = nullptr;

    QLineEdit* txtFilename = nullptr;
    QLineEdit* txtDescription = nullptr;
    QPushButton* Browse = nullptr;
    QPushButton* btnAddNote = nullptr;
    QFrame* ToolBar3 = nullptr;
    QToolButton* cmdOK = nullptr;
    QToolButton* cmdCancel = nullptr;
    QToolButton* btnSave = nullptr;
    QToolButton* btnClose = nullptr;
    QCheckBox* chkSave = nullptr;
    QCheckBox* chkValid = nullptr;
    QCheckBox* chkRoot = nullptr;
    QLabel* Image3 = nullptr;
    QLabel* StaticText1 = nullptr;
    QLabel* StaticText3 = nullptr;
    QFrame* Bevel3 = nullptr;
    QLabel* Label6 = nullptr;

    QMenu* mnuFiles = nullptr;
    QAction* mnuInstall = nullptr;
    QMenu* mnuCopy = nullptr;
    QAction* File1 = nullptr;
    QAction* Folder1 = nullptr;
    QAction* N8 = nullptr;
    QAction* mnuSave = nullptr;
    QAction* AddFiles1 = nullptr;
    QMenu* mnuEdit = nullptr;
    QAction* mnuMDelete = nullptr;
    QAction* mnuMModify = nullptr;
    QAction* N3 = nullptr;
    QAction* mnuMClear = nullptr;
    QAction* ReadOnly = nullptr;
    QAction* N7 = nullptr;
    QMenu* mnuNewCat = nullptr;
    QAction* New1 = nullptr;
    QAction* Rename2 = nullptr;
    QAction* N6 = nullptr;
    QAction* Delete3 = nullptr;
    QAction* mnuPrepareMedium = nullptr;
    QAction* mnuMakeImage = nullptr;
    QAction* N1 = nullptr;
    QAction* mnuExit = nullptr;
    QMenu* Options = nullptr;
    QAction* AutoSave1 = nullptr;
    QAction* Filenamecheck1 = nullptr;
    QAction* Includeparent1 = nullptr;
    QMenu* Help1 = nullptr;
    QAction* Contents1 = nullptr;
    QAction* N4 = nullptr;
    QAction* About1 = nullptr;

    QMenu* EditPopup = nullptr;
    QAction* mnuDelete = nullptr;
    QAction* mnuModify = nullptr;
    QAction* N2 = nullptr;
    QAction* mnuClear = nullptr;
    QMenu* CatPopup = nullptr;
    QAction* New2 = nullptr;
    QAction* Rename1 = nullptr;
    QAction* N5 = nullptr;
    QAction* Delete2 = nullptr;

    // Parent of the editing band's controls, hidden while the window is cut to the menu.
    QWidget* editingBand = nullptr;
    // Everything below the menu's cut, the editing band among them: hidden with it, so that
    // what lies off the window is neither read out nor reached.
    std::vector<QWidget*> belowMenu;
};
