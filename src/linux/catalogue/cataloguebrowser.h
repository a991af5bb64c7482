#pragma once

#include "linux/catalogue/cataloguedocument.h"
#include "linux/catalogue/categorylist.h"

#include <QObject>

#include <cstddef>
#include <functional>
#include <string>

class NoteViewer;
class QAction;
class QLineEdit;
class QListWidget;
class QMenu;
class QPushButton;
class QToolButton;

// The controls of browsing, built by the window's layout code: the two lists, their popups,
// and the commands that follow the selection of listings.
struct BrowsingControls {
    QListWidget* CatBox = nullptr;
    QListWidget* lstDesc = nullptr;
    QMenu* CatPopup = nullptr;
    QMenu* EditPopup = nullptr;
    QLineEdit* MenuEdit = nullptr;
    QPushButton* cmdCopy = nullptr;
    QPushButton* cmdInstall = nullptr;
    QToolButton* ToolCopy = nullptr;
    QToolButton* ToolCopyFolder = nullptr;
    QToolButton* ToolInstall = nullptr;
    QToolButton* cmdDelete = nullptr;
    QAction* Folder1 = nullptr;
    QMenu* mnuCopy = nullptr;
    QMenu* mnuEdit = nullptr;
    QAction* mnuInstall = nullptr;
    QAction* mnuDelete = nullptr;
    QAction* mnuModify = nullptr;
    QAction* mnuMDelete = nullptr;
    QAction* mnuMModify = nullptr;
};

// Browsing: the categories and the listings of the one shown, and the commands that follow
// the selection of listings.
class CatalogueBrowser final : public QObject, public CategoryList {
    Q_OBJECT

public:
    // catPopupEnabled: whether the category popup may open now; selectionChanged: told the
    // number of listings selected after every change of the selection.
    CatalogueBrowser(CatalogueDocument& document, const BrowsingControls& controls,
                     NoteViewer& notes, std::function<bool()> catPopupEnabled,
                     std::function<void(std::size_t)> selectionChanged, QObject* parent = nullptr);

    // The edit popup opens only when the listing list has rows.
    bool editPopupEnabled() const { return m_editPopupEnabled; }

    void BuildCategories() override;
    // Selects a category row as the program does: CatBoxChange does not run by itself.
    void selectCategoryRow(int row) override;
    void CatBoxChange() override;
    void lstDescClick();
    // Gives each listing row its note as the description readers speak.
    void describeListings();

private:
    CatalogueDocument& m_document;
    BrowsingControls m_controls;
    NoteViewer& m_notes;
    std::function<bool()> m_catPopupEnabled;
    std::function<void(std::size_t)> m_selectionChanged;
    bool m_editPopupEnabled = false;
};
