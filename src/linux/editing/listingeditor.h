#pragma once

#include "linux/catalogue/cataloguedocument.h"
#include "core/editing/listingedit.h"
#include "linux/editing/noteentry.h"
#include "linux/naming/namecheck.h"
#include "core/naming/pickedpath.h"
#include "platform/services.h"

#include <QObject>

#include <functional>
#include <optional>

class CatalogueBrowser;
class CatalogueStore;
class QAction;
class QListWidget;
class QLineEdit;
class QMenu;
class QPushButton;
class QToolButton;
class TfrmNote;

// The controls the listing editor works with, built by the window's layout code.
struct ListingEditorControls {
    QListWidget* CatBox = nullptr;
    QListWidget* lstDesc = nullptr;
    QLineEdit* txtFilename = nullptr;
    QLineEdit* txtDescription = nullptr;
    QLineEdit* MenuEdit = nullptr;
    QPushButton* Browse = nullptr;
    QPushButton* btnAddNote = nullptr;
    QToolButton* cmdOK = nullptr;
    QToolButton* cmdCancel = nullptr;
    QToolButton* MOK = nullptr;
    QToolButton* MOC = nullptr;
    QToolButton* cmdDelete = nullptr;
    // Locked while a quick edit holds the lists.
    QToolButton* cmdSort = nullptr;
    QToolButton* cmdCat = nullptr;
    QMenu* mnuNewCat = nullptr;
    QMenu* mnuEdit = nullptr;
    QAction* ReadOnly = nullptr;
    QAction* mnuModify = nullptr;
    QAction* mnuMModify = nullptr;
    QAction* mnuDelete = nullptr;
    QAction* mnuMDelete = nullptr;
    QAction* mnuClear = nullptr;
    QAction* mnuMClear = nullptr;
};

// How the listing editor opens and closes the window's editing band.
struct EditingBand {
    // Whether the author's editor is shown (the band stays open then).
    std::function<bool()> editorShown;
    // Opens the band (true) or closes it down to the menu.
    std::function<void(bool)> show;
};

// The listing editor: new, modified, removed and cleared listings, the quick editor of the
// selected listing's path and the notes of the listing being entered. Its OK runs the name
// check on the picked path.
class ListingEditor final : public QObject, public NoteEntry {
    Q_OBJECT

public:
    ListingEditor(CatalogueDocument& document, Services services,
                  const ListingEditorControls& controls, CatalogueBrowser& browser,
                  CatalogueStore& store, EditingBand band, QObject* parent = nullptr);

    void setNameQuestion(NameQuestion* question) { m_nameCheck.setQuestion(question); }
    void setNoteDialog(TfrmNote* dialog) { m_frmNote = dialog; }
    const qubrix::ListingEditFlags& editFlags() const { return m_editFlags; }
    const qubrix::PickedPath& picked() const { return m_picked; }
    // Told the number of listings selected after every change of the selection.
    void selectionChanged(std::size_t selected) { m_editFlags.selectionChanged(selected); }
    // Clears the shown category after asking; true when the author confirmed.
    bool clearShownCategory();

    std::optional<QString> noteOfEntry() const override;
    void storeNoteOfEntry(const QString& text) override;
    void noteOfEntryCancelled() override;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void connectControls();
    void cmdBrowseClick();
    // Makes the chosen file the picked path and shows it in the file-name edit. A file that
    // does not lie on the catalogue's medium is refused with an error box; false then.
    bool setPickedPath(const QString& fullPath);
    void mnuModifyClick();
    void cmdOkClick();
    void cmdCancelClick();
    void mnuDeleteClick();
    void txtFilenameKeyDown(int key);
    void txtDescriptionKeyDown(int key);
    void MenuEditClick();
    void MenuEditChange();
    void MenuEditKeyPress(int key);
    void mnuNoteClick();
    QString trimmedDescription(int row) const;
    bool isListingRow(int row) const;
    void lockListsForQuickEdit(bool locked);
    // Whether the entry has a listing to replace or a category to go to; says why not.
    bool entryHasItsPlace(int row);
    bool entryFieldsAccepted();
    void storeEntry(int row, int category);
    void saveIfAutoSave();
    std::optional<std::size_t> noteOfCurrentListing() const;
    void showError(const QString& text, const QString& caption);

    CatalogueDocument& m_document;
    Services m_services;
    ListingEditorControls m_controls;
    CatalogueBrowser& m_browser;
    CatalogueStore& m_store;
    EditingBand m_band;
    qubrix::ListingEditFlags m_editFlags;
    qubrix::PickedPath m_picked;
    NameCheck m_nameCheck;
    TfrmNote* m_frmNote = nullptr;
};
