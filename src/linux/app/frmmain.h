#pragma once

#include "core/window/windowlogic.h"
#include "linux/app/maincontrols.h"
#include "linux/app/qtports.h"
#include "platform/services.h"

#include <QMainWindow>
#include <QString>

class NoteViewer;
class TAboutBox;
class TfrmNote;

// The main window: the author's editor and the end user's menu. It shows the window logic of the
// core: every act of the user goes to the logic, and every change the logic tells of is shown
// here; the window decides nothing of its own but where its controls lie.
class TfrmMain final : public QMainWindow, private qubrix::WindowView {
    Q_OBJECT

public:
    // Works out the data file paths from the current directory and builds the controls.
    explicit TfrmMain(Services services, QWidget* parent = nullptr);
    ~TfrmMain() override;

    // Loads the catalogue and brings the window up to date. False when the catalogue exists
    // but cannot be read: the reason has been shown and the program must end.
    bool FormCreate();

    int clientHeight() const { return m_clientHeight; }

    qubrix::WindowLogic& logic() { return m_logic; }
    qubrix::CatalogueDocument& document() { return m_logic.document(); }

    // The dialogs, made after the window, and the listing being entered as the notes dialog
    // sees it.
    void setAboutBox(TAboutBox* aboutBox) { m_aboutBox = aboutBox; }
    void setCategoryNameQuestion(CategoryNameQuestion* question);
    void setNameQuestion(NameQuestion* question);
    void setNoteDialog(TfrmNote* dialog);
    NoteEntry& noteEntry() { return m_ports; }

protected:
    void closeEvent(QCloseEvent* event) override;
    void showEvent(QShowEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // The current directory, where the data files live, ending with "/".
    static QString dataFolder(FileService& files);
    // The mount point of the file system that holds the data files, "" for "/".
    static QString driveRootOf(FileService& files);

    // commands.cpp: each control's acts forwarded to the logic.
    void connectCommands();
    void connectLists();
    void connectEditing();
    void connectCategories();
    void connectModes();
    void connectActions();
    void filterInput();
    void editKeyPressed(QObject* watched, int key);
    bool categoryDropEvent(QEvent* event);
    void showPopup(QWidget* list, class QMenu* menu, const QPoint& at, bool enabled);

    // mainview.cpp: what the logic tells of, shown.
    void categoriesChanged() override;
    void rowsChanged() override;
    void rowChanged(std::size_t row) override;
    void selectionChanged() override;
    void commandsChanged() override;
    void entryChanged() override;
    void focusOn(qubrix::Focus where) override;
    void hideNote() override;
    void programStarted() override;
    void programEnded() override;
    void describeRow(int row);
    void showModeCommands(const qubrix::CommandStates& c);
    void showSelectionCommands(const qubrix::CommandStates& c);
    void showOptions(const qubrix::CommandStates& c);
    void setClientHeight(int height);

    Services m_services;
    QtPorts m_ports;
    qubrix::WindowLogic m_logic;
    MainControls m_controls;
    TAboutBox* m_aboutBox = nullptr;
    NoteViewer* m_notes = nullptr;
    QWidget* m_categoryViewport = nullptr;
    int m_clientHeight = ClientArea::creationHeight;
    bool m_bandOpen = true; // as the window is made
    bool m_placed = false;  // centred on its screen at the first show
};
