#pragma once

#include "linux/app/maincontrols.h"
#include "linux/catalogue/cataloguedocument.h"
#include "platform/services.h"

#include <QMainWindow>
#include <QString>

class CatalogueBrowser;
class CatalogueStore;
class CategoryCommands;
class CategoryNameQuestion;
class ListingEditor;
class ModesAndOptions;
class NameQuestion;
class NoteEntry;
class TAboutBox;
class TfrmNote;

// The main window: the author's editor and the end user's menu. It holds the catalogue document,
// builds the controls and hands them to the controllers of loading and saving, browsing, the note
// pop-up, the listing editor, the categories, Run, Copy and the modes and options; itself it
// answers only Exit, Contents and About.
class TfrmMain final : public QMainWindow {
    Q_OBJECT

public:
    // Works out the data file paths from the current directory and builds the controls.
    explicit TfrmMain(Services services, QWidget* parent = nullptr);
    ~TfrmMain() override;

    // Loads the catalogue and brings the window up to date. False when the catalogue exists
    // but cannot be read: the reason has been shown and the program must end.
    bool FormCreate();

    int clientHeight() const { return m_clientHeight; }

    CatalogueDocument& document() { return m_document; }

    // The dialogs, made after the window, and the listing being entered as the notes dialog
    // sees it.
    void setAboutBox(TAboutBox* aboutBox) { m_aboutBox = aboutBox; }
    void setCategoryNameQuestion(CategoryNameQuestion* question);
    void setNameQuestion(NameQuestion* question);
    void setNoteDialog(TfrmNote* dialog);
    NoteEntry& noteEntry();

protected:
    void closeEvent(QCloseEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    // The current directory, where the data files live, ending with "/".
    static QString dataFolder(FileService& files);
    // The mount point of the file system that holds the data files, "" for "/".
    static QString driveRootOf(FileService& files);
    // Each feature's controller, handed the document, the services and its controls.
    void createControllers();
    void createCatalogueControllers();
    void createEditingControllers();
    void createActionControllers();
    void connectCommands();
    void mnuExitClick();
    // The editing band shown, or the window cut to the menu.
    void showEditingBand(bool shown);
    void setClientHeight(int height);

    Services m_services;
    CatalogueDocument m_document;
    MainControls m_controls;
    TAboutBox* m_aboutBox = nullptr;
    ModesAndOptions* m_modes = nullptr;
    CatalogueBrowser* m_browser = nullptr;
    CatalogueStore* m_store = nullptr;
    CategoryCommands* m_categories = nullptr;
    ListingEditor* m_editor = nullptr;
    int m_clientHeight = ClientArea::creationHeight;
    bool m_placed = false; // centred on its screen at the first show
};
