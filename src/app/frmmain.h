#pragma once

#include "catalogue/cataloguedocument.h"
#include "editing/categorycommands.h"
#include "editing/noteentry.h"
#include "platform/services.h"
#include "ui/toolglyphs.h"

#include <QMainWindow>
#include <QString>

#include <memory>
#include <string>

class QAction;
class QCheckBox;
class QFrame;
class QLabel;
class QLineEdit;
class QListWidget;
class QMenu;
class QPushButton;
class QSplitter;
class QButtonGroup;
class QTextEdit;
class QToolButton;
class QWidget;

class CatalogueBrowser;
class CatalogueStore;
class ListingEditor;
class ModesAndOptions;
class NoteViewer;
class TAboutBox;
class TfrmNote;
class NameCheck;
class NameQuestion;

// The main window: the author's editor and the end user's menu. It holds the catalogue document,
// builds the controls and hands them to the controllers of loading and saving, browsing, the note
// pop-up, the name check, the categories, Run, Copy and the modes and options. The listing editor
// is still its own: its handlers are defined in editing/.
class TfrmMain final : public QMainWindow {
    Q_OBJECT

public:
    // Works out the data file paths from the current directory and builds the controls.
    explicit TfrmMain(Services services, QWidget* parent = nullptr);
    ~TfrmMain() override;

    // Loads the catalogue and brings the window up to date. False when the catalogue exists
    // but cannot be read: the reason has been shown and the program must end.
    bool FormCreate();
    void setAboutBox(TAboutBox* aboutBox) { m_aboutBox = aboutBox; }

    static constexpr int clientWidth = 552;
    static constexpr int creationHeight = 433;
    static constexpr int editorHeight = 434;
    static constexpr int menuHeight = 282;
    int clientHeight() const { return m_clientHeight; }

    CatalogueDocument& document() { return m_document; }

    void mnuExitClick();
    void Contents1Click();
    void About1Click();

    void setCategoryNameQuestion(CategoryNameQuestion* question);
    void setNameQuestion(NameQuestion* question);
    void setNoteDialog(TfrmNote* dialog);
    // The listing being entered, as the notes dialog sees it.
    NoteEntry& noteEntry();

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    // The current directory, where the data files live, ending with "/".
    static QString dataFolder(FileService& files);
    // The mount point of the file system that holds the data files, "" for "/".
    static QString driveRootOf(FileService& files);
    void buildTopBand(QWidget* client);
    void showDriveRoot();
    void buildPictureStrip(QWidget* client);
    void buildListBand(QWidget* client);
    void buildNotePopup(QWidget* client);
    void buildEditingBand(QWidget* client);
    void buildLogo(QWidget* client);
    void buildMenus();
    QToolButton* toolButton(QWidget* bar, const char* name, const QString& hint, ToolGlyph icon);
    QToolButton* captionedButton(QWidget* bar, const char* name, const QString& caption,
                                 const QString& hint, ToolGlyph icon);
    void connectCommands();
    // Each feature's controller, handed the document, the services and its controls.
    void createControllers();
    void setClientHeight(int height);
    // The default beep, then a message box without owner window.
    DialogService::Answer ask(const QString& text, const QString& caption, DialogService::Icon icon,
                              DialogService::Buttons buttons);

    Services m_services;
    CatalogueDocument m_document;
    TAboutBox* m_aboutBox = nullptr;
    std::unique_ptr<CategoryCommands> m_categories;
    ModesAndOptions* m_modes = nullptr;
    NoteViewer* m_notes = nullptr;
    CatalogueBrowser* m_browser = nullptr;
    CatalogueStore* m_store = nullptr;
    ListingEditor* m_editor = nullptr;
    QButtonGroup* m_editorButtons = nullptr;
    int m_clientHeight = creationHeight;
    QWidget* m_editingBand = nullptr; // parent of the editing band's controls

public:
    // Controls, named as the window names them (tests find them by object name too).
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
};
