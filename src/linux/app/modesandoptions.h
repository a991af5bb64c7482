#pragma once

#include "linux/catalogue/cataloguedocument.h"
#include "platform/services.h"

#include <QObject>

#include <functional>

class QAction;
class QCheckBox;
class QFrame;
class QLineEdit;
class QMenu;
class QToolButton;

// The controls the modes and options work with, built by the window's layout code.
struct ModeControls {
    QLineEdit* txtFilename = nullptr;
    QLineEdit* MenuEdit = nullptr;
    QToolButton* cmdAdd = nullptr;
    QToolButton* cmdMenu = nullptr;
    QToolButton* btnClose = nullptr;
    // Shown only while the catalogue is editable.
    QToolButton* cmdCat = nullptr;
    QFrame* Splitter1 = nullptr;
    QToolButton* cmdSave = nullptr;
    QToolButton* cmdDelete = nullptr;
    QFrame* Splitter2 = nullptr;
    QAction* AddFiles1 = nullptr;
    QAction* mnuPrepareMedium = nullptr;
    QAction* mnuMakeImage = nullptr;
    QAction* mnuSave = nullptr;
    QMenu* mnuNewCat = nullptr;
    QMenu* Options = nullptr;
    QMenu* mnuEdit = nullptr;
    QAction* N1 = nullptr;
    QAction* N7 = nullptr;
    QAction* mnuDelete = nullptr;
    QAction* mnuModify = nullptr;
    QAction* N2 = nullptr;
    QAction* mnuClear = nullptr;
    QAction* ReadOnly = nullptr;
    QCheckBox* chkSave = nullptr;
    QCheckBox* chkValid = nullptr;
    QCheckBox* chkRoot = nullptr;
    QAction* AutoSave1 = nullptr;
    QAction* Filenamecheck1 = nullptr;
    QAction* Includeparent1 = nullptr;
};

// The author's editor and the end user's menu, the read-only state of the catalogue, and the
// three options with their check boxes and menu items kept in step.
class ModesAndOptions final : public QObject {
    Q_OBJECT

public:
    // showEditor sizes the window for the editing band (true) or for the menu alone.
    ModesAndOptions(CatalogueDocument& document, Services services, const ModeControls& controls,
                    std::function<void(bool)> showEditor, QObject* parent = nullptr);

    bool editorShown() const { return m_editorShown; }
    // The category popup opens only while the catalogue is editable.
    bool catPopupEnabled() const { return m_catPopupEnabled; }
    // Options number of the three check boxes.
    int checkBoxOptions() const;
    void setOptionsFromNumber(int number);

    void cmdAddClick();
    void cmdMenuClick();
    void SetEditable(bool editable);
    void ReadOnlyClick();
    void chkSaveClick();
    void AutoSave1Click();
    void chkValidClick();
    void Filenamecheck1Click();
    void chkRootClick();
    void Includeparent1Click();

private:
    CatalogueDocument& m_document;
    Services m_services;
    ModeControls m_controls;
    std::function<void(bool)> m_showEditor;
    bool m_editorShown = true;
    bool m_catPopupEnabled = true;
};
